#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTabBar>

#include "app/twip_label.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// The meter connected and the record tab shown, as Read and Save need them.
void connectOnRecordTab(TestForm& t) {
    t.port->forceOpen();
    t.form->comConnected = true;
    t.form->TabStrip1->setCurrentIndex(1);
    t.port->written.clear();
}

// Requests sent, save and print dialogs, program ends, table rows, message boxes.
QString effects(TestForm& t) {
    return QString::asprintf("%d %d %d %d %d %d", int(t.port->written.size()), t.dialog->saveShows,
                             t.dialog->printShows, t.programEnds, int(t.form->grid->rows()),
                             int(t.messages->shown.size()));
}

TEST(Tabs, EachTabShowsItsViewAndAClickRestoresPollingAfterADownload) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    for (int tab : {1, 0, 1}) {
        SCOPED_TRACE(tab);
        f.TabStrip1->setCurrentIndex(tab);
        EXPECT_EQ(f.liveView, tab == 0);
        EXPECT_EQ(f.Frame1->isHidden(), tab != 0);
        EXPECT_EQ(f.grid->isHidden(), tab == 0);
    }
    connectOnRecordTab(*t);
    f.Command1_Click();  // a download stops polling and disables Read and Save
    ASSERT_FALSE(f.comunication.isActive());
    ASSERT_FALSE(f.Command2->isEnabled());
    emit f.TabStrip1->tabBarClicked(1);  // a click on the tab already shown counts too
    EXPECT_TRUE(f.comunication.isActive());
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_TRUE(f.Command2->isEnabled());
}

TEST(Commands, ClearEmptiesOnlyTheRecordTableOnEitherTab) {
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        auto t = makeTestForm();
        Form1& f = *t->form;
        f.TabStrip1->setCurrentIndex(tab);
        f.grid->setRows(4);
        f.p[0]->setCaption(QStringLiteral("123.4Ωm"));
        f.Command3_Click();
        EXPECT_EQ(f.grid->rows(), 2);
        EXPECT_EQ(f.grid->textMatrix(0, 0), QStringLiteral("NO."));
        EXPECT_EQ(f.p[0]->caption(), QStringLiteral("123.4Ωm"));
    }
}

TEST(Commands, ReadOnTheLiveTabDoesNothing) {
    auto t = makeTestForm();
    t->port->forceOpen();
    t->form->comConnected = true;
    t->form->Command1_Click();
    t->form->mnuread_Click();
    EXPECT_EQ(effects(*t), QStringLiteral("0 0 0 0 2 0"));
    EXPECT_TRUE(t->form->comunication.isActive());
}

TEST(Commands, MenuItemsRunTheHandlerEvenWithTheirButtonDisabled) {
    const struct {
        QAction* Form1::*action;
        QPushButton* Form1::*button;
        const char *caption, *effects;
    } items[] = {{&Form1::mnuread, &Form1::Command1, "读取", "1 0 0 0 5 0"},
                 {&Form1::mnusave, &Form1::Command2, "保存", "0 1 0 0 5 0"},
                 {&Form1::mnuclose, &Form1::Command5, "关闭", "0 0 0 1 5 0"},
                 {&Form1::mnuclear, &Form1::Command3, "清空", "0 0 0 0 2 0"},
                 {&Form1::mnuprint, &Form1::Command4, "打印", "0 0 1 0 5 0"},
                 {&Form1::aboutsoftware, &Form1::Command6, "关于软件", "0 0 0 0 5 1"}};
    for (const auto& item : items) {
        SCOPED_TRACE(item.caption);
        auto t = makeTestForm();
        Form1& f = *t->form;
        connectOnRecordTab(*t);
        f.grid->setRows(5);
        (f.*item.button)->setEnabled(false);
        EXPECT_EQ((f.*item.action)->text(), QString::fromUtf8(item.caption));
        (f.*item.action)->trigger();
        EXPECT_EQ(effects(*t), QString::fromLatin1(item.effects));
    }
}

TEST(Commands, HelpBoxTitleAndText) {
    auto t = makeTestForm();
    t->form->Command6_Click();
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_EQ(t->messages->shown.front().kind, QStringLiteral("information"));
    EXPECT_EQ(t->messages->shown.front().title, QStringLiteral("欢迎使用我们公司产品"));
    EXPECT_EQ(t->messages->shown.front().text,
              QStringLiteral("KelvoraV1.0(CN)\r   如需帮助请联系我们!\r"));
}

TEST(Commands, CloseEndsTheProgramOnceAndStopsEverything) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    connectOnRecordTab(*t);
    f.Command1_Click();
    f.Readdat.start();
    f.show();
    f.Command5_Click();
    EXPECT_FALSE(t->port->isOpen());
    EXPECT_FALSE(f.isVisible());
    for (QTimer* timer : {&f.Findcom, &f.COMtimout, &f.comunication, &f.Readdat, &f.vrprecord,
                          &f.Movectrltimer, &f.Movetimer, &f.Timer1})
        EXPECT_FALSE(timer->isActive());
    t->port->arrive(bytes("01 03 02 00 05 78 47"));         // a late reply is not handled
    EXPECT_EQ(effects(*t), QStringLiteral("1 0 0 1 2 0"));  // ended once, nothing asked
    EXPECT_EQ(f.recordTotal, 0);
}

}  // namespace
}  // namespace kelvora::testing
