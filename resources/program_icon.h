// The program icon for windows and the notification area, with every size drawn for it, so the
// desktop picks the one that fits instead of scaling a single picture.
#pragma once

#include <QIcon>

QIcon ProgramIcon();
