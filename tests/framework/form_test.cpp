#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <vector>

#include "bit_btn.h"
#include "control.h"
#include "edit.h"
#include "form_fixture.h"
#include "gradient.h"
#include "label.h"
#include "menu.h"
#include "ui_helpers.h"

namespace {

// A dialog as the options and range dialogs are built: an edit box and three buttons.
struct ButtonDialog {
    explicit ButtonDialog(TComponent* owner) : form(new TForm(owner)) {
        form->SetBorderStyle(bsDialog);
        form->SetBorderIcons(0);
        form->SetClientWidth(360);
        form->SetClientHeight(121);
        edit = new TEdit(form.get());
        edit->SetBounds(8, 40, 73, 21);
        ok = new TBitBtn(form.get());
        ok->SetCaption("O.K.");
        ok->SetDefault(true);
        ok->SetBounds(8, 88, 75, 25);
        cancel = new TBitBtn(form.get());
        cancel->SetCaption("Cancel");
        cancel->SetCancel(true);
        cancel->SetBounds(232, 88, 75, 25);
        other = new TBitBtn(form.get());
        other->SetCaption("Other");
        other->SetBounds(120, 88, 75, 25);
        for (TBitBtn* button : {ok, cancel, other}) {
            button->SetOnClick([this](TObject* sender) {
                clicked.push_back(static_cast<TBitBtn*>(sender)->Caption());
                if (sender != other) {
                    form->SetModalResult(sender == ok ? mrOk : mrCancel);
                }
            });
        }
    }

    std::unique_ptr<TForm> form;
    TEdit* edit;
    TBitBtn* ok;
    TBitBtn* cancel;
    TBitBtn* other;
    std::vector<std::string> clicked;
};

}  // namespace

TEST(FormActivation, MainFormActivatesOnceAcrossDialogsAndRestoring) {
    auto main = MakeMainForm();
    int mainActivations = 0;
    main->SetOnActivate([&](TObject* sender) {
        EXPECT_EQ(sender, main.get());
        ++mainActivations;
    });
    main->Show();
    ASSERT_TRUE(PumpUntil([&] { return mainActivations == 1; }));

    // A dialog opened and closed from the main form.
    ButtonDialog dialog(main.get());
    int dialogActivations = 0;
    dialog.form->SetOnActivate([&](TObject*) {
        ++dialogActivations;
        dialog.form->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog.form->ShowModal(), mrOk);
    EXPECT_EQ(dialogActivations, 1);
    FlushEvents();
    EXPECT_EQ(Application->ActiveForm(), main.get());

    // Hidden and shown again, as the tray does.
    main->Hide();
    main->Show();
    FlushEvents();
    EXPECT_EQ(mainActivations, 1);
}

TEST(FormActivation, DialogActivatesEachShowButNotWhenItsOwnDialogCloses) {
    auto main = MakeMainForm();
    main->Show();
    ButtonDialog outer(main.get());
    ButtonDialog inner(outer.form.get());
    int outerActivations = 0;
    int innerActivations = 0;
    int outerActivationsAfterInner = -1;
    inner.form->SetOnActivate([&](TObject*) {
        ++innerActivations;
        inner.form->SetModalResult(mrOk);
    });
    outer.form->SetOnActivate([&](TObject*) {
        ++outerActivations;
        if (outerActivations == 1) {
            EXPECT_EQ(inner.form->ShowModal(), mrOk);
        }
        // Closes once every queued activation has had its chance.
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                outerActivationsAfterInner = outerActivations;
                outer.form->SetModalResult(mrCancel);
            });
        });
    });
    EXPECT_EQ(outer.form->ShowModal(), mrCancel);
    EXPECT_EQ(innerActivations, 1);
    EXPECT_EQ(outerActivationsAfterInner, 1);

    EXPECT_EQ(outer.form->ShowModal(), mrCancel);
    EXPECT_EQ(outerActivations, 2);
}

TEST(FormActivation, ShowModalOfAVisibleFormIsRefused) {
    auto main = MakeMainForm();
    main->Show();
    try {
        main->ShowModal();
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot make a visible window modal");
    }
}

TEST(DialogKeys, EnterAndEscPressTheDefaultAndCancelButtons) {
    struct Case {
        const char* name;
        int focus;  // 0 edit, 1 ok, 2 cancel, 3 other
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool okEnabled;
        std::vector<std::string> clicked;
        TModalResult result;
    };
    const Case cases[] = {
        {"Enter in the edit box", 0, Qt::Key_Return, Qt::NoModifier, true, {"O.K."}, mrOk},
        {"keypad Enter", 0, Qt::Key_Enter, Qt::KeypadModifier, true, {"O.K."}, mrOk},
        {"Esc in the edit box", 0, Qt::Key_Escape, Qt::NoModifier, true, {"Cancel"}, mrCancel},
        {"Enter on the cancel button",
         2,
         Qt::Key_Return,
         Qt::NoModifier,
         true,
         {"Cancel"},
         mrCancel},
        {"Esc on the O.K. button", 1, Qt::Key_Escape, Qt::NoModifier, true, {"Cancel"}, mrCancel},
        // A focused button takes Enter itself; the dialog stays, and Esc then closes it.
        {"Enter on another button",
         3,
         Qt::Key_Return,
         Qt::NoModifier,
         true,
         {"Other", "Cancel"},
         mrCancel},
        {"Enter with the default button disabled",
         0,
         Qt::Key_Return,
         Qt::NoModifier,
         false,
         {"Cancel"},
         mrCancel},
    };
    auto main = MakeMainForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonDialog dialog(main.get());
        dialog.ok->SetEnabled(c.okEnabled);
        TWinControl* focus[] = {dialog.edit, dialog.ok, dialog.cancel, dialog.other};
        dialog.form->SetOnActivate([&](TObject*) {
            focus[c.focus]->SetFocus();
            QWidget* target = focus[c.focus]->Widget();
            QTest::keyClick(target, c.key, c.modifiers);
            if (dialog.form->ModalResult() == mrNone) {
                QTest::keyClick(target, Qt::Key_Escape);
            }
        });
        EXPECT_EQ(dialog.form->ShowModal(), c.result);
        EXPECT_EQ(dialog.clicked, c.clicked);
    }
}

TEST(DialogKeys, OneButtonCanBeBothDefaultAndCancel) {
    auto main = MakeMainForm();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        TForm dialog(main.get());
        TLabel label(&dialog);
        label.SetCaption("The allowed range is  1  to  999  minutes");
        auto* ok = new TBitBtn(&dialog);
        ok->SetDefault(true);
        ok->SetCancel(true);
        ok->SetModalResult(mrOk);
        int clicks = 0;
        ok->SetOnClick([&](TObject*) { ++clicks; });
        dialog.SetOnActivate([&](TObject*) { QTest::keyClick(dialog.Window(), key); });
        EXPECT_EQ(dialog.ShowModal(), mrOk);
        EXPECT_EQ(clicks, 1);
    }
}

TEST(FormFocus, FirstControlInTabOrderHasTheFocusAndTabOrderMovesOthersAlong) {
    auto main = MakeMainForm();
    ButtonDialog dialog(main.get());
    EXPECT_EQ(dialog.edit->TabOrder(), 0);
    EXPECT_EQ(dialog.other->TabOrder(), 3);
    dialog.cancel->SetTabOrder(0);
    dialog.ok->SetTabOrder(1);
    EXPECT_EQ(dialog.cancel->TabOrder(), 0);
    EXPECT_EQ(dialog.ok->TabOrder(), 1);
    EXPECT_EQ(dialog.edit->TabOrder(), 2);
    EXPECT_EQ(dialog.other->TabOrder(), 3);

    std::vector<TWinControl*> visited;
    dialog.form->SetOnActivate([&](TObject*) {
        for (int i = 0; i < 4; ++i) {
            visited.push_back(dialog.form->ActiveControl());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        visited.push_back(dialog.form->ActiveControl());
        dialog.form->SetModalResult(mrOk);
    });
    dialog.form->ShowModal();
    std::vector<TWinControl*> expected = {dialog.cancel, dialog.ok, dialog.edit, dialog.other,
                                          dialog.cancel};
    EXPECT_EQ(visited, expected);
}

// Qt's own focus chain may start elsewhere after the tab order was set in steps, as the about
// dialog's stored layout does; showing the form still focuses the first control in tab order.
TEST(FormFocus, ShowFocusesTheFirstControlInTabOrderHoweverTheOrderWasSet) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> orders;  // button index, tab order, set in this order
        int first;
    };
    const std::vector<Case> cases = {
        {"creation order", {}, 0},
        {"last created moved to the front", {{2, 0}}, 2},
        {"set one by one as stored", {{1, 1}, {2, 2}, {0, 0}}, 0},
        {"set one by one, last first", {{0, 2}, {1, 1}, {2, 0}}, 2},
    };
    auto main = MakeMainForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm dialog(main.get());
        dialog.SetBorderStyle(bsDialog);
        std::vector<TBitBtn*> buttons;
        for (int i = 0; i < 3; ++i) {
            buttons.push_back(new TBitBtn(&dialog));
            buttons.back()->SetBounds(8 + 80 * i, 8, 75, 25);
        }
        for (const auto& [index, order] : c.orders) {
            buttons[index]->SetTabOrder(order);
        }
        TWinControl* focused = nullptr;
        dialog.SetOnActivate([&](TObject*) {
            focused = dialog.ActiveControl();
            dialog.SetModalResult(mrOk);
        });
        dialog.ShowModal();
        EXPECT_EQ(focused, buttons[c.first]);
    }
}

TEST(FormFocus, EditBoxSelectsAllAndTakesTheFocus) {
    auto main = MakeMainForm();
    ButtonDialog dialog(main.get());
    try {
        dialog.edit->SetFocus();
        ADD_FAILURE() << "focused on a hidden form";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
    }
    dialog.form->SetOnActivate([&](TObject*) {
        dialog.edit->SetText("  1.00");
        dialog.edit->SelectAll();
        dialog.edit->SetFocus();
        EXPECT_TRUE(dialog.edit->Focused());
        EXPECT_FALSE(dialog.ok->Focused());
        EXPECT_EQ(dialog.form->ActiveControl(), dialog.edit);
        EXPECT_EQ(dialog.edit->SelText(), "  1.00");
        // Typing replaces the selected text.
        QTest::keyClicks(dialog.edit->Widget(), "2");
        EXPECT_EQ(dialog.edit->Text(), "2");
        dialog.form->SetModalResult(mrOk);
    });
    dialog.form->ShowModal();
}

TEST(FormWindow, ClientAreaMenuAndBorderAsStored) {
    auto main = MakeMainForm();
    main->SetCaption("Corvane Server");
    main->SetClientWidth(340);
    main->SetClientHeight(221);
    main->SetBorderStyle(bsSingle);
    main->SetBorderIcons(biMinimize);
    main->SetPosition(poScreenCenter);
    auto* menu = new TMainMenu(main.get());
    auto* close = new TMenuItem(main.get());
    close->SetCaption("Close");
    menu->Items()->Add(close);
    main->SetMenu(menu);
    main->Show();
    FlushEvents();

    QWidget* window = main->Window();
    EXPECT_EQ(window->windowTitle(), "Corvane Server");
    EXPECT_EQ(main->ClientArea()->size(), QSize(340, 221));
    const int menuHeight = menu->MenuBar()->height();
    EXPECT_GT(menuHeight, 10);
    EXPECT_EQ(window->size(), QSize(340, 221 + menuHeight));
    // Fixed size, and no buttons on the title bar without the system menu.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);

    // Centred when first shown; later shows keep where the window is.
    QRect area = window->screen()->availableGeometry();
    EXPECT_NEAR(window->x() + window->width() / 2, area.center().x(), 2);
    EXPECT_NEAR(window->y() + window->height() / 2, area.center().y(), 2);
    main->Hide();
    main->SetLeft(10);
    main->SetTop(20);
    main->Show();
    FlushEvents();
    EXPECT_EQ(window->pos(), QPoint(10, 20));
}

TEST(FormWindow, DialogBorderWithoutIconsHasNoCloseBox) {
    auto main = MakeMainForm();
    TForm dialog(main.get());
    dialog.SetBorderStyle(bsDialog);
    dialog.SetBorderIcons(0);
    const Qt::WindowFlags flags = dialog.Window()->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);

    dialog.SetBorderIcons(biSystemMenu);
    EXPECT_TRUE(dialog.Window()->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST(FormWindow, CloseEndsAModalRunWithCancel) {
    auto main = MakeMainForm();
    ButtonDialog dialog(main.get());
    dialog.form->SetOnActivate([&](TObject*) { dialog.form->Close(); });
    EXPECT_EQ(dialog.form->ShowModal(), mrCancel);
    EXPECT_FALSE(dialog.form->Visible());

    // A close request from the window system does the same.
    dialog.form->SetOnActivate([&](TObject*) { dialog.form->Window()->close(); });
    EXPECT_EQ(dialog.form->ShowModal(), mrCancel);
}

TEST(FormWindow, ButtonModalResultEndsTheModalRun) {
    auto main = MakeMainForm();
    TForm dialog(main.get());
    auto* yes = new TBitBtn(&dialog);
    yes->SetModalResult(mrYes);
    dialog.SetOnActivate([&](TObject*) { static_cast<QPushButton*>(yes->Widget())->click(); });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
}

TEST(FormFont, FormsUseTheClassicDialogFontOrTheClosestSansSerif) {
    auto main = MakeMainForm();
    EXPECT_EQ(main->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(main->Font()->Height(), -11);
    EXPECT_EQ(main->Font()->Size(), 8);
    QFontInfo info(main->Window()->font());
    EXPECT_EQ(info.pixelSize(), 11);
    EXPECT_FALSE(info.family().isEmpty());
    EXPECT_NE(QFontDatabase::isFixedPitch(info.family()), true);

    main->Font()->SetSize(10);
    EXPECT_EQ(main->Font()->Height(), -13);
    EXPECT_EQ(QFontInfo(main->Window()->font()).pixelSize(), 13);
}

TEST(LabelControl, SizesItselfToItsTextInTheFormsFont) {
    auto main = MakeMainForm();
    TLabel* label = new TLabel(main.get());
    label->SetBounds(8, 40, 43, 13);
    label->SetCaption("Minute(s)");
    QFontMetrics metrics(main->Window()->font());
    EXPECT_EQ(label->Width(), metrics.horizontalAdvance("Minute(s)"));
    EXPECT_EQ(label->Height(), metrics.height());
    EXPECT_EQ(label->Widget()->geometry(), QRect(8, 40, label->Width(), label->Height()));
    EXPECT_EQ(label->Left(), 8);

    label->SetCaption("Minute(s) and more");
    EXPECT_EQ(label->Width(), metrics.horizontalAdvance("Minute(s) and more"));

    // A bigger form font makes the label bigger.
    const int before = label->Width();
    main->Font()->SetHeight(-16);
    EXPECT_GT(label->Width(), before);

    label->SetAutoSize(false);
    label->SetBounds(0, 0, 5, 5);
    EXPECT_EQ(label->Widget()->size(), QSize(5, 5));
}

TEST(LabelControl, TransparentLabelShowsTheGradientBehindIt) {
    auto main = MakeMainForm();
    main->SetClientWidth(200);
    main->SetClientHeight(100);
    auto* gradient = new TDfGradient(main.get());
    gradient->SetBounds(0, 0, 200, 100);
    gradient->Gradient()->SetColorCount(1);
    gradient->Gradient()->SetColor1(clBlack);
    gradient->Gradient()->SetColor2(clBlack);
    auto* transparent = new TLabel(main.get());
    transparent->SetCaption("In which time interval");
    transparent->SetTransparent(true);
    transparent->SetBounds(8, 16, 0, 0);
    auto* opaque = new TLabel(main.get());
    opaque->SetCaption("In which time interval");
    opaque->SetBounds(8, 50, 0, 0);
    main->Show();
    FlushEvents();
    QImage shot = main->ClientArea()->grab().toImage();
    // The top-left corner of each label lies above its first letter.
    EXPECT_EQ(QColor(shot.pixel(8, 16)), QColor(Qt::black));
    EXPECT_NE(QColor(shot.pixel(8, 50)), QColor(Qt::black));
}

TEST(Controls, FreedControlsLeaveTheirFormAndFormsFreeTheirControls) {
    auto main = MakeMainForm();
    auto* edit = new TEdit(main.get());
    auto* button = new TBitBtn(main.get());
    QPointer<QWidget> editWidget = edit->Widget();
    QPointer<QWidget> buttonWidget = button->Widget();
    EXPECT_EQ(editWidget->parentWidget(), main->ClientArea());
    delete edit;
    EXPECT_TRUE(editWidget.isNull());
    EXPECT_EQ(button->TabOrder(), 0);
    EXPECT_EQ(main->ComponentCount(), 1);
    main.reset();
    EXPECT_TRUE(buttonWidget.isNull());
    EXPECT_EQ(Application->MainForm(), nullptr);
}
