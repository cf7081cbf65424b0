// The link component: opens a web address in the system's browser, or a new e-mail message in
// the system's mail program, through the desktop's launcher (xdg-open).
#pragma once

#include <string>

#include "component.h"

enum TBrowserState { gwNormal, gwMaximized };

class TGoToWeb : public TComponent {
public:
    explicit TGoToWeb(TComponent* owner) : TComponent(owner) {}

    const std::string& Url() const { return url_; }
    void SetUrl(const std::string& url) { url_ = url; }
    const std::string& EMail() const { return email_; }
    void SetEMail(const std::string& email) { email_ = email; }
    const std::string& EMailSubject() const { return emailSubject_; }
    void SetEMailSubject(const std::string& subject) { emailSubject_ = subject; }
    // The launcher cannot ask for a window state; the browser opens its window its own way.
    TBrowserState BrowserState() const { return browserState_; }
    void SetBrowserState(TBrowserState state) { browserState_ = state; }

    // True when the browser was started with Url ("www.example.com" counts as a web address);
    // false when Url is no address, the system names no program for it, or the start failed.
    bool OpenUrl();
    // The same for a mailto address to EMail with the subject EMailSubject.
    bool OpenEMail();

private:
    std::string url_;
    std::string email_;
    std::string emailSubject_;
    TBrowserState browserState_ = gwNormal;
};

// The mailto address of a new message: the address and the subject percent-encoded.
std::string MailtoAddress(const std::string& email, const std::string& subject);
