// A helper for the desktop tests, run on the test's X display:
//   desktop_probe clipboard   prints the clipboard's text, which another program owns
//   desktop_probe tip TEXT    shows TEXT as a tool tip at the top left of the screen until
//                             ended, in the programs' font, so that a test can compare a
//                             program's tip with it
#include <QApplication>
#include <QClipboard>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QToolTip>
#include <cstdio>
#include <cstring>

#include "graphics.h"

namespace {

constexpr int kTipShownMs = 10 * 60 * 1000;

int Usage() {
    std::fprintf(stderr, "usage: desktop_probe clipboard | desktop_probe tip TEXT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "clipboard") == 0) {
        std::printf("%s\n", QApplication::clipboard()->text().toUtf8().constData());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "tip") == 0) {
        // The font that the framework gives every program.
        QApplication::setFont(TFont().ToQFont());
        const QString text = QString::fromUtf8(argv[2]);
        // Shown once the event loop runs, as a program's tip is.
        QTimer::singleShot(0, [text] {
            QToolTip::showText(QPoint(20, 20), text, nullptr, QRect(), kTipShownMs);
            std::printf("shown\n");
            std::fflush(stdout);
        });
        return app.exec();
    }
    return Usage();
}
