#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <functional>

#include "app/twip_label.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

void clickTab(Form1& f, int index) {
    const QPointF at = f.TabStrip1->tabRect(index).center();
    const QPointF global = f.TabStrip1->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(f.TabStrip1, &press);
    QApplication::sendEvent(f.TabStrip1, &release);
}

void selectTab(Form1& f, int index) {
    f.TabStrip1->setCurrentIndex(index);
    f.TabStrip1_Click();
}

// A record download under way, as the Read command leaves it: poll stopped, Read and Save off.
void startDownload(TestForm& t) {
    Form1& f = *t.form;
    t.port->forceOpen();
    f.comConnected = true;
    selectTab(f, 1);
    f.Command1_Click();
    ASSERT_FALSE(f.comunication.isActive());
    ASSERT_FALSE(f.Command1->isEnabled());
    ASSERT_FALSE(f.Command2->isEnabled());
}

TEST(Tabs, EachSwitchShowsOneViewAndSetsLiveView) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const struct {
        int tab;
        bool live;
    } steps[] = {{1, false}, {0, true}, {1, false}, {1, false}, {0, true}, {0, true}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.tab);
        selectTab(f, step.tab);
        EXPECT_EQ(f.liveView, step.live);
        EXPECT_EQ(f.Frame1->isHidden(), !step.live);
        EXPECT_EQ(f.grid->isHidden(), step.live);
        EXPECT_TRUE(f.comunication.isActive());
        EXPECT_TRUE(f.Command1->isEnabled());
        EXPECT_TRUE(f.Command2->isEnabled());
    }
}

TEST(Tabs, SwitchRestartsPollingAndReenablesReadAndSaveAfterADownloadDisabledThem) {
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        auto t = makeTestForm();
        Form1& f = *t->form;
        startDownload(*t);
        selectTab(f, tab);
        EXPECT_TRUE(f.comunication.isActive());
        EXPECT_TRUE(f.Command1->isEnabled());
        EXPECT_TRUE(f.Command2->isEnabled());
        // Nothing else is switched on or off.
        for (QPushButton* other : {f.Command3, f.Command4, f.Command5, f.Command6}) {
            EXPECT_TRUE(other->isEnabled());
        }
    }
}

TEST(Tabs, UserClicksAndKeyboardChangesReachTheHandler) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    // A change of tab however it happens (mouse, keyboard) switches the view.
    f.TabStrip1->setCurrentIndex(1);
    EXPECT_FALSE(f.liveView);
    EXPECT_FALSE(f.grid->isHidden());
    f.TabStrip1->setCurrentIndex(0);
    EXPECT_TRUE(f.liveView);
    EXPECT_TRUE(f.grid->isHidden());

    // A click on the tab already selected runs the handler too.
    f.comunication.stop();
    emit f.TabStrip1->tabBarClicked(0);
    EXPECT_TRUE(f.comunication.isActive());
    EXPECT_TRUE(f.liveView);

    // A click beside the tabs is no tab click.
    f.comunication.stop();
    emit f.TabStrip1->tabBarClicked(-1);
    EXPECT_FALSE(f.comunication.isActive());
}

TEST(Tabs, MouseClicksOnTheTabs) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    clickTab(f, 1);
    EXPECT_EQ(f.TabStrip1->currentIndex(), 1);
    EXPECT_FALSE(f.liveView);
    EXPECT_TRUE(f.Frame1->isHidden());
    EXPECT_FALSE(f.grid->isHidden());
    // Again on the selected tab: still a tab click, polling and the buttons come back.
    startDownload(*t);
    clickTab(f, 1);
    EXPECT_TRUE(f.comunication.isActive());
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_TRUE(f.Command2->isEnabled());
    clickTab(f, 0);
    EXPECT_TRUE(f.liveView);
    EXPECT_FALSE(f.Frame1->isHidden());
    EXPECT_TRUE(f.grid->isHidden());
}

TEST(Commands, ClearEmptiesOnlyTheRecordTableOnEitherTab) {
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        auto t = makeTestForm();
        Form1& f = *t->form;
        selectTab(f, tab);
        f.grid->setRows(4);
        f.grid->setTextMatrix(3, 1, QStringLiteral("12.34KΩ"));
        f.p[0]->setCaption(QStringLiteral("123.4Ωm"));
        f.rc[0]->setCaption(QStringLiteral("2.00KΩ"));
        const bool frameHidden = f.Frame1->isHidden();

        f.Command3_Click();
        EXPECT_EQ(f.grid->rows(), 2);
        EXPECT_EQ(f.grid->cols(), 8);
        EXPECT_EQ(f.grid->textMatrix(0, 0), QStringLiteral("NO."));
        EXPECT_EQ(f.p[0]->caption(), QStringLiteral("123.4Ωm"));
        EXPECT_EQ(f.rc[0]->caption(), QStringLiteral("2.00KΩ"));
        EXPECT_EQ(f.liveView, tab == 0);
        EXPECT_EQ(f.Frame1->isHidden(), frameHidden);
    }
}

TEST(Commands, ReadOnTheLiveTabDoesNothing) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    t->port->forceOpen();
    f.comConnected = true;
    t->port->log.clear();
    f.Command1_Click();
    f.mnuread_Click();
    EXPECT_TRUE(t->port->written.isEmpty());
    EXPECT_TRUE(f.comunication.isActive());
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_TRUE(f.Command2->isEnabled());
    EXPECT_FALSE(f.Readdat.isActive());
}

TEST(Commands, HelpBoxTitleAndText) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.Command6_Click();
    ASSERT_EQ(t->messages->shown.size(), 1);
    const FakeMessageBoxes::Shown& box = t->messages->shown.front();
    EXPECT_EQ(box.kind, QStringLiteral("information"));
    EXPECT_EQ(box.title, QStringLiteral("欢迎使用我们公司产品"));
    EXPECT_EQ(box.text, QStringLiteral("KelvoraV1.0(CN)\r   如需帮助请联系我们!\r"));
    EXPECT_EQ(t->messages->beeps, 0);
    EXPECT_EQ(t->programEnds, 0);
}

TEST(Commands, CloseEndsTheProgramOnceAndStopsEverything) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    startDownload(*t);
    f.Readdat.start();
    f.show();
    f.Command5_Click();
    EXPECT_EQ(t->programEnds, 1);
    EXPECT_TRUE(t->messages->shown.isEmpty());  // nothing asked
    EXPECT_EQ(t->dialog->saveShows, 0);         // nothing saved
    EXPECT_FALSE(t->port->isOpen());
    EXPECT_FALSE(f.isVisible());
    for (QTimer* timer : {&f.Findcom, &f.COMtimout, &f.comunication, &f.Readdat, &f.vrprecord,
                          &f.Movectrltimer, &f.Movetimer, &f.Timer1}) {
        EXPECT_FALSE(timer->isActive());
    }
    // A reply still on its way is not handled by a program that has ended.
    const int rowsBefore = f.grid->rows();
    t->port->arrive(bytes("01 03 02 00 05 78 47"));
    EXPECT_EQ(f.grid->rows(), rowsBefore);
    EXPECT_EQ(f.recordTotal, 0);
}

struct MenuCase {
    const char* name;
    QAction* Form1::*action;
    QPushButton* Form1::*button;
    std::function<bool(TestForm&)> ran;  // did the button's handler run?
};

class MenuWithDisabledButton : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MenuWithDisabledButton, RunsTheSameHandler) {
    const MenuCase& c = GetParam();
    auto t = makeTestForm();
    Form1& f = *t->form;
    // Read and Save act on the record tab with the meter connected.
    t->port->forceOpen();
    f.comConnected = true;
    selectTab(f, 1);
    f.grid->setRows(5);
    t->port->log.clear();
    t->port->written.clear();

    (f.*c.button)->setEnabled(false);
    QAction* action = f.*c.action;
    EXPECT_TRUE(action->isEnabled());
    action->trigger();
    EXPECT_TRUE(c.ran(*t));
}

INSTANTIATE_TEST_SUITE_P(
    Items, MenuWithDisabledButton,
    ::testing::Values(
        MenuCase{"mnuread", &Form1::mnuread, &Form1::Command1,
                 [](TestForm& t) {
                     return t.port->written.size() == 1 &&
                            hex(t.port->written.front()).startsWith(QStringLiteral("01 03 00 03"));
                 }},
        MenuCase{"mnusave", &Form1::mnusave, &Form1::Command2,
                 [](TestForm& t) { return t.dialog->saveShows == 1; }},
        MenuCase{"mnuclose", &Form1::mnuclose, &Form1::Command5,
                 [](TestForm& t) { return t.programEnds == 1; }},
        MenuCase{"mnuclear", &Form1::mnuclear, &Form1::Command3,
                 [](TestForm& t) { return t.form->grid->rows() == 2; }},
        MenuCase{"mnuprint", &Form1::mnuprint, &Form1::Command4,
                 [](TestForm& t) { return t.dialog->printShows == 1; }},
        MenuCase{"aboutsoftware", &Form1::aboutsoftware, &Form1::Command6,
                 [](TestForm& t) { return t.messages->shown.size() == 1; }}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

TEST(Menu, BarItemsCaptionsAndNoShortcuts) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const struct {
        QMenu* menu;
        const char* title;
        std::vector<std::pair<QAction*, const char*>> items;
    } menus[] = {
        {f.mnufile, "文件", {{f.mnuread, "读取"}, {f.mnusave, "保存"}, {f.mnuclose, "关闭"}}},
        {f.mnuoperate, "操作", {{f.mnuclear, "清空"}, {f.mnuprint, "打印"}}},
        {f.mnuhelp, "帮助", {{f.aboutsoftware, "关于软件"}}},
    };
    const QList<QAction*> bar = f.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (size_t index = 0; index < std::size(menus); ++index) {
        const auto& menu = menus[index];
        SCOPED_TRACE(menu.title);
        EXPECT_EQ(bar[static_cast<int>(index)]->menu(), menu.menu);
        EXPECT_EQ(menu.menu->title(), QString::fromUtf8(menu.title));
        const QList<QAction*> actions = menu.menu->actions();
        ASSERT_EQ(actions.size(), static_cast<int>(menu.items.size()));
        for (size_t item = 0; item < menu.items.size(); ++item) {
            QAction* action = menu.items[item].first;
            EXPECT_EQ(actions[static_cast<int>(item)], action);
            EXPECT_EQ(action->text(), QString::fromUtf8(menu.items[item].second));
            EXPECT_TRUE(action->shortcut().isEmpty());
            EXPECT_FALSE(action->isCheckable());
            EXPECT_TRUE(action->isEnabled());
        }
    }
}

}  // namespace
}  // namespace kelvora::testing
