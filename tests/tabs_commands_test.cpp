#include <gtest/gtest.h>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
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
    return QString::asprintf("%d %d %d %d %d %d", int(t.port->written.size()),
                             int(t.dialog->shownSaves.size()), t.dialog->printShows, t.programEnds,
                             int(t.form->grid->rows()), int(t.messages->shown.size()));
}

// Each timer's interval and state once the window has started, and the start values.
TEST(StartUp, TimersAndStateAfterFormLoad) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const std::tuple<QTimer&, int, bool> timers[] = {
        {f.Findcom, 300, true},  {f.COMtimout, 1000, true}, {f.comunication, 1000, true},
        {f.Readdat, 100, false}, {f.vrprecord, 1000, true}, {f.Movectrltimer, 200, true},
        {f.Movetimer, 5, false}, {f.Timer1, 1000, true}};
    for (const auto& entry : timers) {
        const auto& [timer, intervalMs, running] = entry;
        EXPECT_EQ(timer.interval(), intervalMs) << &entry - timers;
        EXPECT_EQ(timer.isActive(), running) << &entry - timers;
    }
    EXPECT_EQ(f.comNumber, 1);
    EXPECT_EQ(f.measureMode, 2);
    EXPECT_TRUE(f.liveView && !f.comConnected && f.grid->isHidden() && !f.Frame1->isHidden());
    QStringList texts = {f.windowTitle(),         f.StatusBar1Panels[1]->text(),
                         f.Label1->caption(),     f.Label2->caption(),
                         f.TabStrip1->tabText(0), f.TabStrip1->tabText(1)};
    for (LabelArray* values : {&f.r, &f.p, &f.p_length, &f.rc, &f.rp, &f.v, &f.i})
        texts << (*values)[0]->caption();
    EXPECT_EQ(texts, QStringList({"Kelvora", "Kelvora", "串口状态", "通信失败", "实时监控",
                                  "历史查询", "0.00 Ω", "0.00 Ωm", "0.00 m", "0.00 KΩ", "0.00 KΩ",
                                  "0.0 V", "0.00 mA"}));
}

// Clear on the live tab (the record tab's is the menu test's) empties only the record table.
TEST(Tabs, EachTabShowsItsViewAndAClickRestoresPollingOutsideADownload) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.grid->setRows(4);
    f.grid->setTextMatrix(1, 1, QStringLiteral("12.34KΩ"));
    f.p[0]->setCaption(QStringLiteral("123.4Ωm"));
    f.Command3_Click();
    EXPECT_EQ(f.grid->rows(), 2);
    EXPECT_EQ(f.grid->textMatrix(0, 0) + f.grid->textMatrix(1, 1), QStringLiteral("NO."));
    EXPECT_EQ(f.p[0]->caption(), QStringLiteral("123.4Ωm"));
    for (int tab : {1, 0, 1}) {
        SCOPED_TRACE(tab);
        f.TabStrip1->setCurrentIndex(tab);
        EXPECT_EQ(f.liveView, tab == 0);
        EXPECT_EQ(f.Frame1->isHidden(), tab != 0);
        EXPECT_EQ(f.grid->isHidden(), tab == 0);
    }
    connectOnRecordTab(*t);
    f.Command1_Click();  // a download has the line to itself until it ends
    emit f.TabStrip1->tabBarClicked(1);
    EXPECT_FALSE(f.comunication.isActive() || f.Command1->isEnabled() || f.Command2->isEnabled());
    f.EndDownload();
    f.comunication.stop();
    emit f.TabStrip1->tabBarClicked(1);  // a click on the tab already shown counts too
    EXPECT_TRUE(f.comunication.isActive() && f.Command1->isEnabled() && f.Command2->isEnabled());
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
    const FakeMessageBoxes::Shown& box = t->messages->shown.front();
    EXPECT_EQ(QStringList({box.kind, box.title, box.text}),
              QStringList({"information", QStringLiteral("欢迎使用我们公司产品"),
                           QStringLiteral("KelvoraV1.0(CN)\r   如需帮助请联系我们!\r")}));
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

// The window's close box ends the program as Close does: the event loop returns.
TEST(Commands, TheCloseBoxEndsTheProgram) {
    auto t = makeTestForm();
    QCloseEvent closeBox;  // as the window system sends it
    QCoreApplication::sendEvent(t->form.get(), &closeBox);
    EXPECT_EQ(t->programEnds, 1);
    EXPECT_FALSE(t->form->Timer1.isActive() || t->form->Findcom.isActive());
}

}  // namespace
}  // namespace kelvora::testing
