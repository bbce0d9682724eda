#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <map>

#include "modbus/meter_simulator.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

// How the scripted meter answers one record: the first `drops` requests go unanswered (-1: all),
// answers come `lateTicks` record-timer ticks after their request, corrupted or cut short.
struct Fault {
    int drops = 0;
    int lateTicks = 0;
    bool corrupt = false;
    bool cut = false;
};

// Record k reads "k.00Ω", so a record in the wrong row shows at once.
QByteArray recordReply(int record) {
    const int raw = record * 100;
    return meterFrame(bytes("01 03 0A") + char(raw >> 8) + char(raw & 0xFF) +
                      bytes("12 00 00 C8 01 2C 00 00"));
}

// The record tab with the link up; the test plays the meter, one record-timer tick at a time.
class RecordDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm();
        t->port->forceOpen(3);
        f().comConnected = true;
        f().TabStrip1->setCurrentIndex(1);
        ASSERT_FALSE(f().liveView);
    }
    QStringList writes() const { return t->port->log.filter(QStringLiteral("write ")); }
    void expectPollingAndButtons(bool on) {
        EXPECT_EQ(f().comunication.isActive(), on);
        EXPECT_EQ(f().Command1->isEnabled(), on);
        EXPECT_EQ(f().Command2->isEnabled(), on);
        EXPECT_EQ(f().mnuread->isEnabled() && f().mnusave->isEnabled(), on);
    }
    void startWithCount(int count) {
        f().Command1_Click();
        t->port->arrive(meterFrame(bytes("01 03 02") + char(count >> 8) + char(count & 0xFF)));
    }
    // Runs ticks until the download ends; returns the tick on which each request went out.
    std::multimap<int, int> run(const std::map<int, Fault>& faults, int maxTicks = 400) {
        std::multimap<int, int> asked;           // record -> tick
        std::multimap<int, QByteArray> replies;  // tick -> reply
        for (int tick = 1; tick <= maxTicks && f().download.running(); ++tick) {
            const qsizetype before = t->port->written.size();
            f().Readdat_Timer();
            for (const QByteArray& request : t->port->written.mid(before)) {
                const int record = uint8_t(request[4]) << 8 | uint8_t(request[5]);
                asked.insert({record, tick});
                const Fault fault = faults.count(record) ? faults.at(record) : Fault{};
                if (fault.drops < 0 || int(asked.count(record)) <= fault.drops) {
                    continue;
                }
                QByteArray reply = recordReply(record);
                reply[14] = char(reply[14] ^ (fault.corrupt ? 0x5A : 0));
                replies.insert({tick + fault.lateTicks, fault.cut ? reply.left(10) : reply});
            }
            for (auto it = replies.begin(); it != replies.end() && it->first <= tick;) {
                t->port->arrive(it->second);
                it = replies.erase(it);
            }
        }
        return asked;
    }
    QString row(int record) const {
        return f().grid->textMatrix(record, 0) + u'|' + f().grid->textMatrix(record, 1);
    }
    Form1& f() const { return *t->form; }

    std::unique_ptr<TestForm> t;
};

TEST_F(RecordDownloadTest, EveryRecordLandsInItsOwnRowOrIsReportedMissing) {
    const Fault always{-1};
    const struct {
        const char* name;
        std::map<int, Fault> faults;
        QList<int> missing;
        const char* box;
        int requestsOfRecord3;
    } cases[] = {
        {"healthy", {}, {}, nullptr, 1},
        {"dropped once", {{3, {1}}}, {}, nullptr, 2},
        {"dropped always", {{3, always}}, {3}, "以下记录未能读取：3\n共 1 条。", 3},
        {"300 ms late", {{3, {0, 3}}}, {}, nullptr, 1},
        {"later than the retry", {{3, {0, 7}}}, {}, nullptr, 2},
        {"every reply late", {{1, {0, 6}}, {2, {0, 6}}, {3, {0, 6}}, {4, {0, 6}}}, {}, nullptr, 2},
        {"given up, then answered late",
         {{3, {2, 6}}, {4, {0, 2}}, {5, {0, 2}}, {6, {0, 2}}},
         {3},
         "以下记录未能读取：3\n共 1 条。",
         3},
        {"corrupted", {{3, {0, 0, true}}}, {3}, "以下记录未能读取：3\n共 1 条。", 3},
        {"cut short", {{3, {0, 0, false, true}}}, {3}, "以下记录未能读取：3\n共 1 条。", 3},
        {"several",
         {{2, always}, {3, always}, {4, always}, {6, always}},
         {2, 3, 4, 6},
         "以下记录未能读取：2-4, 6\n共 4 条。",
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        f().grid->setRows(9);
        f().grid->setTextMatrix(3, 1, QStringLiteral("old"));  // an earlier download's row
        startWithCount(6);
        const std::multimap<int, int> asked = run(c.faults);
        EXPECT_FALSE(f().download.running());
        ASSERT_EQ(f().grid->rows(), 7);
        for (int record = 1; record <= 6; ++record) {
            EXPECT_EQ(row(record), c.missing.contains(record)
                                       ? QStringLiteral("|")
                                       : QStringLiteral("%1|%1.00Ω").arg(record))
                << "row " << record;
        }
        EXPECT_EQ(int(asked.count(3)), c.requestsOfRecord3);
        // Lock-step: a record is first asked for only after the one before was settled.
        for (int record = 2; record <= 6; ++record) {
            EXPECT_GT(asked.lower_bound(record)->second,
                      std::prev(asked.upper_bound(record - 1))->second);
        }
        ASSERT_EQ(t->messages->shown.size(), c.box ? 1 : 0);
        if (c.box) {
            EXPECT_EQ(t->messages->shown[0].title, QStringLiteral("Kelvora"));
            EXPECT_EQ(t->messages->shown[0].text, QString::fromUtf8(c.box));
        }
        expectPollingAndButtons(true);
        EXPECT_FALSE(f().Readdat.isActive());
        EXPECT_EQ(f().recordIndex, 0);
        EXPECT_EQ(f().StatusBar1Panels[1]->text(), QStringLiteral("Kelvora"));
    }
}

TEST_F(RecordDownloadTest, OnTimeRepliesKeepOneRequestPerTick) {
    startWithCount(4);
    const std::multimap<int, int> asked = run({});
    const std::multimap<int, int> expected = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(writes().first(), "write " + hex(bytes("01 03 00 03 00 02 34 0B")));
    EXPECT_EQ(writes()[1], "write " + hex(bytes("01 03 00 04 00 01 C5 CB")));
}

TEST_F(RecordDownloadTest, CountRepliesThatStartNothingGiveEverythingBackAtOnce) {
    f().comunication_Timer();  // a keep-alive whose answer comes after Read
    f().Command1_Click();
    t->port->arrive(bytes("01 03 02 AA BB 86 97"));
    EXPECT_EQ(f().download.phase(), RecordDownload::Phase::Counting);
    for (const int count : {0, 0x8000, 0xFFFF}) {
        SCOPED_TRACE(count);
        SetUp();
        startWithCount(count);
        EXPECT_FALSE(f().download.running());
        EXPECT_FALSE(f().Readdat.isActive());
        expectPollingAndButtons(true);
        EXPECT_TRUE(t->messages->shown.isEmpty());
    }
    SetUp();
    startWithCount(32767);
    EXPECT_EQ(f().recordTotal, 32767);
    EXPECT_TRUE(f().Readdat.isActive());
    EXPECT_EQ(f().StatusBar1Panels[1]->text(), QStringLiteral("读取记录 0/32767"));
    EXPECT_EQ(f().downloadProgress->maximum(), 32767);
}

TEST_F(RecordDownloadTest, ALostCountIsAskedThreeTimesThenGivenUpWithABox) {
    f().Command1_Click();
    for (int tick = 0; tick < 20 && f().download.running(); ++tick) {
        f().Readdat_Timer();
    }
    EXPECT_EQ(writes().size(), 3);
    EXPECT_EQ(writes().filter(hex(bytes("01 03 00 03 00 02 34 0B"))).size(), 3);
    expectPollingAndButtons(true);
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_EQ(t->messages->shown[0].text, QStringLiteral("未能读取记录数。"));
}

// Nothing but the download may talk or re-enable Read and Save until it ends.
TEST_F(RecordDownloadTest, TabsSearchAndReadLeaveARunningDownloadAlone) {
    startWithCount(3);
    const qsizetype before = writes().size();
    for (int tab : {0, 1, 1}) {
        f().TabStrip1->setCurrentIndex(tab);
        f().TabStrip1_Click();
        EXPECT_EQ(f().Frame1->isHidden(), tab == 1);
    }
    f().Findcom.start();
    f().Findcom_Timer();  // the search's tick after a re-link
    f().Command1_Click();
    f().mnuread_Click();
    f().mnusave_Click();
    EXPECT_EQ(writes().size(), before);
    EXPECT_TRUE(t->dialog->shownSaves.isEmpty());
    expectPollingAndButtons(false);
    run({});
    for (int record = 1; record <= 3; ++record) {
        EXPECT_EQ(row(record), QStringLiteral("%1|%1.00Ω").arg(record));
    }
    expectPollingAndButtons(true);
}

TEST_F(RecordDownloadTest, ALostLinkOrClosedPortEndsTheDownloadKeepingWhatWasRead) {
    for (const bool watchdog : {true, false}) {
        SCOPED_TRACE(watchdog ? "watchdog" : "port closed");
        SetUp();
        startWithCount(6);
        run({{3, {-1}}}, 3);  // records 1 and 2 read; 3 is on the line
        if (watchdog) {
            f().timeoutCount = 4;
            f().COMtimout_Timer();
            EXPECT_TRUE(f().Findcom.isActive());
        } else {
            t->port->close();
            f().Readdat_Timer();
        }
        EXPECT_FALSE(f().download.running());
        EXPECT_EQ(f().grid->rows(), 4);
        EXPECT_EQ(row(2), QStringLiteral("2|2.00Ω"));
        EXPECT_EQ(row(3), QStringLiteral("|"));
        ASSERT_EQ(t->messages->shown.size(), 1);
        EXPECT_EQ(t->messages->shown[0].text, QStringLiteral("以下记录未能读取：3-6\n共 4 条。"));
        expectPollingAndButtons(true);
        EXPECT_FALSE(f().Readdat.isActive());
    }
}

TEST_F(RecordDownloadTest, StrayFramesNeitherFillARowNorMoveOn) {
    startWithCount(2);
    f().Readdat_Timer();
    ASSERT_EQ(f().StatusBar1Panels[1]->text(), QStringLiteral("读取记录 0/2"));
    EXPECT_FALSE(f().downloadProgress->isHidden());
    t->port->setReceiveThreshold(7);
    t->port->arrive(meterFrame(bytes("01 03 02 00 05")));  // a checked frame of the wrong length
    t->port->arrive(recordReply(1).left(7));               // and bytes that never make a frame
    EXPECT_EQ(f().grid->textMatrix(1, 0), QString());
    EXPECT_EQ(f().download.settled(), 0);
    t->port->setReceiveThreshold(15);
    t->port->arrive(recordReply(1));
    EXPECT_EQ(f().StatusBar1Panels[1]->text(), QStringLiteral("读取记录 1/2"));
    EXPECT_EQ(f().downloadProgress->value(), 1);
    run({});
    t->port->arrive(recordReply(9));  // after the end: nobody asked
    EXPECT_EQ(f().grid->rows(), 3);
    EXPECT_TRUE(f().downloadProgress->isHidden());
}

TEST(RecordRanges, RunsAreJoinedAndLongListsCut) {
    QList<int> many;
    for (int k = 1; k <= 100; k += 2) {
        many << k;
    }
    const struct {
        QList<int> records;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{3}, "3"},
        {{1, 2}, "1-2"},
        {{3, 7, 8, 9}, "3, 7-9"},
        {{1, 2, 3, 5, 9, 10}, "1-3, 5, 9-10"},
        {many.mid(0, 3), "1, 3, 5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recordRanges(c.records), QString::fromUtf8(c.text));
    }
    EXPECT_TRUE(recordRanges(many).endsWith(QStringLiteral("77, 79, …")));
}

}  // namespace
}  // namespace kelvora::testing
