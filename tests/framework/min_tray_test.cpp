#include <gtest/gtest.h>

#include <QSystemTrayIcon>
#include <QWidget>

#include "form_fixture.h"
#include "min_tray.h"
#include "ui_helpers.h"

namespace {

// The offscreen platform has no notification area; this tray acts as if the desktop had one.
class TrayWithNotificationArea : public TDCMinTray {
public:
    using TDCMinTray::TDCMinTray;

protected:
    bool NotificationAreaAvailable() const override { return true; }
};

struct TrayForm {
    TrayForm() : form(MakeMainForm()) {
        form->SetCaption("Corvane Client");
        form->SetClientWidth(340);
        form->SetClientHeight(220);
        tray = new TrayWithNotificationArea(form.get());
        form->SetOnActivate([this](TObject*) { ++activations; });
        form->Show();
        PumpUntil([this] { return activations == 1; });
    }
    void Minimize() { form->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0); }
    void Mouse(LPARAM mouseMessage) {
        form->Perform(TDCMinTray::kCallbackMessage, TDCMinTray::kIconId, mouseMessage);
    }

    std::unique_ptr<TForm> form;
    TDCMinTray* tray;
    int activations = 0;
};

}  // namespace

TEST(MinTray, MinimiseCommandHidesTheFormAndShowsTheIconWithTheCaptionAsTip) {
    TrayForm t;
    const QRect geometry = t.form->Window()->geometry();
    EXPECT_FALSE(t.tray->IconShown());
    t.Minimize();
    EXPECT_FALSE(t.form->Visible());
    EXPECT_FALSE(t.form->Window()->isMinimized());
    ASSERT_TRUE(t.tray->IconShown());
    EXPECT_EQ(t.tray->TrayIcon()->toolTip(), "Corvane Client");
    EXPECT_FALSE(t.tray->TrayIcon()->icon().isNull());

    t.Mouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(t.form->Visible());
    EXPECT_FALSE(t.tray->IconShown());
    EXPECT_EQ(t.form->Window()->geometry(), geometry);
    FlushEvents();
    EXPECT_EQ(t.activations, 1);
}

TEST(MinTray, HintIsTheTipAndEveryTipIsCutTo63Characters) {
    TrayForm t;
    const std::string longCaption(70, 'c');
    t.form->SetCaption(longCaption);
    t.Minimize();
    EXPECT_EQ(t.tray->TrayIcon()->toolTip().toStdString(), std::string(63, 'c'));
    // Set while the icon shows, the hint replaces the tip at once.
    t.tray->SetHint("Quenadi Servidor");
    EXPECT_EQ(t.tray->TrayIcon()->toolTip(), "Quenadi Servidor");
    t.tray->SetHint(std::string(64, 'h'));
    EXPECT_EQ(t.tray->TrayIcon()->toolTip().toStdString(), std::string(63, 'h'));
}

TEST(MinTray, OtherMouseActionsAndOtherCommandsDoNothingOfTheTray) {
    TrayForm t;
    t.Minimize();
    for (LPARAM mouse :
         {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEMOVE}) {
        t.Mouse(mouse);
        EXPECT_FALSE(t.form->Visible()) << mouse;
        EXPECT_TRUE(t.tray->IconShown()) << mouse;
    }
    t.Mouse(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(t.form->Visible());

    // Only exactly SC_MINIMIZE goes to the tray; the form minimises on anything else.
    t.form->Perform(WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
    FlushEvents();
    EXPECT_TRUE(t.form->Window()->isMinimized());
    EXPECT_FALSE(t.tray->IconShown());
}

TEST(MinTray, TheIconsOwnDoubleClickBringsTheFormBack) {
    TrayForm t;
    t.Minimize();
    QSystemTrayIcon* icon = t.tray->TrayIcon();
    emit icon->activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(t.form->Visible());
    emit icon->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(t.form->Visible());
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(t.form->Visible());
    EXPECT_FALSE(t.tray->IconShown());
}

TEST(MinTray, MinimisingFromTheWindowSystemAlsoGoesToTheTray) {
    TrayForm t;
    t.form->Window()->showMinimized();
    ASSERT_TRUE(PumpUntil([&] { return t.tray->IconShown(); }));
    EXPECT_FALSE(t.form->Visible());
    t.Mouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(t.form->Visible());
    EXPECT_FALSE(t.form->Window()->isMinimized());
}

TEST(MinTray, TheIconGoesWithTheFormAndTheWindowProcedureWithTheTray) {
    TrayForm t;
    t.Minimize();
    QPointer<QSystemTrayIcon> icon = t.tray->TrayIcon();
    ASSERT_FALSE(icon.isNull());
    t.form.reset();
    EXPECT_TRUE(icon.isNull());

    TrayForm other;
    delete other.tray;
    other.Minimize();
    FlushEvents();
    EXPECT_TRUE(other.form->Visible());
    EXPECT_TRUE(other.form->Window()->isMinimized());
}

TEST(MinTray, OnlyTheMainFormIsTakenOver) {
    TrayForm t;
    TForm dialog(t.form.get());
    TrayWithNotificationArea dialogTray(&dialog);
    dialog.Show();
    dialog.Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    FlushEvents();
    EXPECT_FALSE(dialogTray.IconShown());
    EXPECT_TRUE(dialog.Window()->isMinimized());
}

TEST(MinTray, WithoutANotificationAreaTheFormIsMinimisedAndThatIsSaidOnce) {
    auto form = MakeMainForm();
    auto* tray = new TDCMinTray(form.get());
    form->Show();
    StderrCapture capture;
    form->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    FlushEvents();
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(form->Window()->isMinimized());
    EXPECT_FALSE(tray->IconShown());
    form->Show();
    EXPECT_FALSE(form->Window()->isMinimized());
    form->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    FlushEvents();
    EXPECT_EQ(capture.Reports(), std::string(program_invocation_short_name) +
                                     ": the desktop has no notification area; the window is "
                                     "minimised instead of hidden there\n");
}
