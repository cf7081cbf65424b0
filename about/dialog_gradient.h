// The background that every dialog of both programs shares: 2-pixel lines shading grey to
// white, white to grey, grey to white and white to black from top to bottom.
#pragma once

class TGradient;

void ApplyDialogGradient(TGradient* gradient);
