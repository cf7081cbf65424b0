#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "go_to_web.h"
#include "ui_helpers.h"

namespace {

// A folder that stands in for PATH with fake desktop tools that write down how they were
// called. The test's PATH comes back afterwards.
class FakeDesktopTools {
public:
    FakeDesktopTools() : previousPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        setenv("PATH", folder_.path().toLocal8Bit().constData(), 1);
    }
    ~FakeDesktopTools() { setenv("PATH", previousPath_.c_str(), 1); }

    // xdg-open records its arguments in "opened", one per line.
    void AddLauncher() {
        Write("xdg-open",
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"${0%/*}/opened.tmp\"\n"
              "/bin/mv \"${0%/*}/opened.tmp\" \"${0%/*}/opened\"\n");
    }
    // xdg-mime names a handler for the schemes given, and records every query.
    void AddAssociations(const std::string& schemes) {
        std::string script = "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"${0%/*}/queried\"\n";
        for (const auto& scheme :
             {std::string("http"), std::string("https"), std::string("mailto")}) {
            if (schemes.find(scheme + " ") != std::string::npos) {
                script += "[ \"$3\" = x-scheme-handler/" + scheme + " ] && echo handler.desktop\n";
            }
        }
        script += "exit 0\n";
        Write("xdg-mime", script);
    }
    std::string Opened() {
        EXPECT_TRUE(PumpUntil([&] { return QFile::exists(folder_.filePath("opened")); }));
        return Read("opened");
    }
    bool SomethingOpened() const { return QFile::exists(folder_.filePath("opened")); }
    std::string Queried() { return Read("queried"); }

private:
    void Write(const QString& name, const std::string& script) {
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.c_str());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    std::string Read(const QString& name) {
        QFile file(folder_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    QTemporaryDir folder_;
    std::string previousPath_;
};

}  // namespace

TEST(GoToWeb, OpensTheWebAddressThroughTheDesktopsLauncher) {
    FakeDesktopTools tools;
    tools.AddLauncher();
    tools.AddAssociations("http https ");
    TGoToWeb link(nullptr);
    link.SetBrowserState(gwMaximized);
    link.SetUrl("www.example.com/corvane");
    EXPECT_TRUE(link.OpenUrl());
    EXPECT_EQ(tools.Opened(), "http://www.example.com/corvane\n");
    EXPECT_EQ(tools.Queried(), "query default x-scheme-handler/http\n");
}

TEST(GoToWeb, OpensANewMessageWithTheSubjectEncoded) {
    FakeDesktopTools tools;
    tools.AddLauncher();
    tools.AddAssociations("mailto ");
    TGoToWeb link(nullptr);
    link.SetEMail("info@example.com");
    link.SetEMailSubject("Hello & you?");
    EXPECT_TRUE(link.OpenEMail());
    EXPECT_EQ(tools.Opened(), "mailto:info@example.com?subject=Hello%20%26%20you%3F\n");
    EXPECT_EQ(MailtoAddress("a b@example.com", ""), "mailto:a%20b@example.com");
}

TEST(GoToWeb, ReportsFailureWhenTheSystemNamesNoProgram) {
    struct Case {
        const char* name;
        bool launcher;
        const char* schemes;
    };
    const Case cases[] = {
        {"no launcher at all", false, "http mailto "},
        {"no program for either scheme", true, ""},
        {"a mail program only", true, "mailto "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDesktopTools tools;
        if (c.launcher) {
            tools.AddLauncher();
        }
        tools.AddAssociations(c.schemes);
        TGoToWeb link(nullptr);
        link.SetUrl("http://www.example.com/");
        EXPECT_FALSE(link.OpenUrl());
        link.SetEMail("info@example.com");
        EXPECT_EQ(link.OpenEMail(),
                  std::string(c.schemes).find("mailto") != std::string::npos && c.launcher);
        if (!std::string(c.schemes).empty() && c.launcher) {
            EXPECT_EQ(tools.Opened(), "mailto:info@example.com\n");
        } else {
            EXPECT_FALSE(tools.SomethingOpened());
        }
    }
}

TEST(GoToWeb, AnEmptyAddressOpensNothing) {
    FakeDesktopTools tools;
    tools.AddLauncher();
    tools.AddAssociations("http https mailto ");
    TGoToWeb link(nullptr);
    EXPECT_FALSE(link.OpenUrl());
    EXPECT_FALSE(tools.SomethingOpened());
}
