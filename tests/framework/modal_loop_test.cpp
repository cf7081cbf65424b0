#include <gtest/gtest.h>

#include <QApplication>
#include <atomic>
#include <thread>

#include "application.h"
#include "form.h"
#include "main_thread.h"
#include "message_box.h"
#include "timer.h"
#include "ui_helpers.h"

namespace {

// A worker thread that hands one method over to the main thread and notes what that method saw.
class HandOver {
public:
    void Start() {
        worker_ = std::thread([this] {
            MainThread::Synchronize([this] {
                onMainThread_ = MainThread::IsMainThread();
                QWidget* modal = QApplication::activeModalWidget();
                modalWhileRunning_ = modal != nullptr ? modal->windowTitle().toStdString() : "";
            });
            done_.store(true);
        });
    }
    ~HandOver() {
        if (worker_.joinable()) {
            worker_.join();
        }
    }
    bool Done() const { return done_.load(); }
    bool RanOnMainThread() const { return onMainThread_; }
    const std::string& ModalWhileRunning() const { return modalWhileRunning_; }

private:
    std::thread worker_;
    std::atomic<bool> done_{false};
    bool onMainThread_ = false;
    std::string modalWhileRunning_;
};

}  // namespace

TEST(ModalLoops, TimerAndHandOverGoOnWhileAModalDialogIsOpen) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    std::unique_ptr<TForm> owner(main);
    TForm dialog(main);
    dialog.SetCaption("Options of Corvane Client");
    HandOver handOver;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticksWhileModal = 0;
    timer.SetOnTimer([&](TObject*) {
        if (QApplication::activeModalWidget() == dialog.Window()) {
            ++ticksWhileModal;
        }
        if (ticksWhileModal >= 3 && handOver.Done()) {
            dialog.SetModalResult(mrOk);
        }
    });
    dialog.SetOnActivate([&](TObject*) { handOver.Start(); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_GE(ticksWhileModal, 3);
    EXPECT_TRUE(handOver.RanOnMainThread());
    EXPECT_EQ(handOver.ModalWhileRunning(), "Options of Corvane Client");
}

TEST(ModalLoops, TimerAndHandOverGoOnWhileAMessageBoxIsOpen) {
    HandOver handOver;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticksWhileBox = 0;
    QWidget* box = nullptr;
    timer.SetOnTimer([&](TObject*) {
        if (box != nullptr && QApplication::activeModalWidget() == box) {
            ++ticksWhileBox;
            if (ticksWhileBox >= 3 && handOver.Done()) {
                PressOk(box);
                box = nullptr;
            }
        }
    });
    OnNextModal([&](QWidget* modal) {
        box = modal;
        handOver.Start();
    });
    EXPECT_EQ(Application->MessageBox("Impossible to connect...", "Error", MB_OK | MB_ICONSTOP),
              IDOK);
    EXPECT_GE(ticksWhileBox, 3);
    EXPECT_TRUE(handOver.RanOnMainThread());
    EXPECT_EQ(handOver.ModalWhileRunning(), "Error");
}

TEST(ModalLoops, HandOverGoesOnWhileAnExceptionBoxIsOpen) {
    HandOver handOver;
    bool answered = false;
    OnNextModal([&](QWidget* modal) {
        handOver.Start();
        EXPECT_TRUE(PumpUntil([&] { return handOver.Done(); }));
        PressOk(modal);
        answered = true;
    });
    StderrCapture quiet;
    Application->HandleException(std::make_exception_ptr(std::runtime_error("Send failed")));
    EXPECT_TRUE(answered);
    EXPECT_EQ(handOver.ModalWhileRunning(), "Widgets Test");
}
