#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>

#include "form_fixture.h"
#include "menu.h"

TEST(MainMenu, ItemsActDirectlyOnTheMenuBarInTheirOrder) {
    auto main = MakeMainForm();
    auto* menu = new TMainMenu(main.get());
    std::vector<std::string> clicked;
    for (const char* caption : {"Close", "Options", "Help", "Minimize"}) {
        auto* item = new TMenuItem(main.get());
        item->SetCaption(caption);
        item->SetOnClick([&clicked, item](TObject* sender) {
            EXPECT_EQ(sender, item);
            clicked.push_back(item->Caption());
        });
        menu->Items()->Add(item);
    }
    main->SetMenu(menu);
    EXPECT_EQ(main->Menu(), menu);

    QList<QAction*> actions = menu->MenuBar()->actions();
    ASSERT_EQ(actions.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actions[i], menu->Items()->Items(i)->Action());
        EXPECT_EQ(actions[i]->menu(), nullptr);
    }
    EXPECT_EQ(actions[1]->text(), "Options");
    actions[3]->trigger();
    actions[0]->trigger();
    EXPECT_EQ(clicked, (std::vector<std::string>{"Minimize", "Close"}));

    // A freed item leaves the bar.
    delete menu->Items()->Items(1);
    EXPECT_EQ(menu->MenuBar()->actions().size(), 3);
    EXPECT_EQ(menu->Items()->Count(), 3);
}

TEST(MainMenu, ItemsHoldNoSubMenus) {
    auto main = MakeMainForm();
    TMainMenu menu(main.get());
    TMenuItem top(main.get());
    TMenuItem sub(main.get());
    menu.Items()->Add(&top);
    EXPECT_THROW(top.Add(&sub), EMenuError);
}

TEST(MainMenu, TheMenuCanGoBeforeItsForm) {
    auto main = MakeMainForm();
    auto* menu = new TMainMenu(main.get());
    main->SetMenu(menu);
    main->Show();
    delete menu;
    EXPECT_EQ(main->Menu(), nullptr);
    main->SetClientHeight(100);
    EXPECT_EQ(main->ClientArea()->height(), 100);
}
