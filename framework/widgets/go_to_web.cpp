#include "go_to_web.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "error_report.h"

namespace {

constexpr int kQueryTimeoutMs = 10000;

// Whether the desktop's associations name a program for the scheme. Without xdg-mime there is
// nothing to ask, and the launcher decides.
bool SystemNamesHandler(const QString& scheme) {
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) {
        return true;
    }
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"),
                          QStringLiteral("x-scheme-handler/") + scheme});
    if (!process.waitForFinished(kQueryTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        ReportError("xdg-mime gave no answer about " + scheme.toStdString() + " addresses");
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
           !process.readAllStandardOutput().trimmed().isEmpty();
}

bool Launch(const QString& address, const QString& scheme) {
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty() || !SystemNamesHandler(scheme)) {
        return false;
    }
    return QProcess::startDetached(launcher, {address});
}

}  // namespace

bool TGoToWeb::OpenUrl() {
    QUrl url = QUrl::fromUserInput(QString::fromStdString(url_));
    if (!url.isValid() || url.isEmpty() || url.scheme().isEmpty()) {
        return false;
    }
    return Launch(url.toString(QUrl::FullyEncoded), url.scheme());
}

bool TGoToWeb::OpenEMail() {
    return Launch(QString::fromStdString(MailtoAddress(email_, emailSubject_)),
                  QStringLiteral("mailto"));
}

std::string MailtoAddress(const std::string& email, const std::string& subject) {
    std::string address =
        "mailto:" + QUrl::toPercentEncoding(QString::fromStdString(email), "@").toStdString();
    if (!subject.empty()) {
        address +=
            "?subject=" + QUrl::toPercentEncoding(QString::fromStdString(subject)).toStdString();
    }
    return address;
}
