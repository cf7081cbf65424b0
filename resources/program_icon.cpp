#include "program_icon.h"

#include <QSize>
#include <QString>

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256}) {
        icon.addFile(QString(":/corvane/icon-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
