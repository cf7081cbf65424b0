// The check that a dialog's background has the settings every dialog of both programs shares.
#pragma once

class TGradient;

void ExpectDialogGradient(const TGradient* gradient);
