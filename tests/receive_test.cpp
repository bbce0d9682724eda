#include <gtest/gtest.h>

#include <QPushButton>

#include "app/twip_label.h"
#include "modbus/modbus_frame.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

const char* const kEarthResistance = "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34";
const char* const kVoltage = "01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87";
const char* const kUnknownUnit = "01 03 0A 04 D2 61 14 00 C8 01 2C 00 32 D2 13";

// The connected window with the meter's port open; every value label shows "-".
class Receive : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm();
        t->port->forceOpen(3);
        f().comConnected = true;
        for (LabelArray* values : labels()) (*values)[0]->setCaption(QStringLiteral("-"));
    }
    Form1& f() { return *t->form; }
    std::vector<LabelArray*> labels() {
        return {&f().r, &f().rc, &f().rp, &f().p, &f().p_length, &f().v, &f().i};
    }
    void request(uint16_t reg, uint16_t count) {
        f().SendRequest(1, 3, 0, uint8_t(reg), uint8_t(count >> 8), uint8_t(count & 0xFF));
    }
    QString rowText(int row) {
        QStringList cells;
        for (int column = 0; column < f().grid->cols(); ++column)
            cells << f().grid->textMatrix(row, column);
        return cells.join('|');
    }
    std::array<TwipLabel*, 4> lamps() { return {f().NOISE, f().HVOLT, f().LOWBAT, f().CLAMP}; }
    QString readout() {  // r|rc|rp|p|p_length|v|i|NOISE HVOLT LOWBAT CLAMP shown|measureMode
        QString text;
        for (LabelArray* values : labels()) text += (*values)[0]->caption() + '|';
        for (TwipLabel* lamp : lamps()) text += lamp->isHidden() ? '0' : '1';
        return text + '|' + QString::number(f().measureMode);
    }
    // Everything a reply may change, timeoutCount first.
    QStringList state() {
        QStringList lines = {QString::number(f().timeoutCount), f().Label2->caption(), readout()};
        for (int value : {int(f().comConnected), int(f().recordTotal), int(f().recordIndex),
                          int(f().Readdat.isActive()), int(f().comunication.isActive()),
                          int(f().Command1->isEnabled()), int(f().Command2->isEnabled())})
            lines << QString::number(value);
        for (int row = 0; row < f().grid->rows(); ++row) lines << rowText(row);
        return lines;
    }

    std::unique_ptr<TestForm> t;
};

TEST_F(Receive, LiveReadingsSetLabelsModeAndEveryLamp) {
    const char* const cases[][2] = {
        // frame, readout
        {kEarthResistance, "12.34KΩ|2.00KΩ|3.00KΩ|-|-|-|-|1111|1"},
        {"01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E", "-|2.00KΩ|3.00KΩ|123.4Ωm|5.0m|-|-|0000|2"},
        {kVoltage, "-|-|-|-|-|50.0V|-|1000|3"},
        {"01 03 0A 27 10 22 08 00 00 00 00 00 00 53 C7", "OL KΩ|0.00KΩ|0.00KΩ|-|-|-|-|0100|1"},
        {kUnknownUnit, "-|-|-|-|-|-|-|1010|7"}};
    for (const auto& [frame, readoutText] : cases) {
        SCOPED_TRACE(frame);
        SetUp();
        f().measureMode = 7;
        const QString expected = QString::fromUtf8(readoutText);
        for (int k = 0; k < 4; ++k)  // each lamp starts opposite to where it must end
            lamps()[k]->setVisible(expected.section('|', 7, 7)[k] == '0');
        request(2, 10);
        t->port->arrive(bytes(frame));
        EXPECT_EQ(readout(), expected);
    }
}

TEST_F(Receive, StoredRecordsGrowTheTableNeverMixAndResetToTheHeader) {
    const auto expectFreshTable = [this] {
        ASSERT_EQ(f().grid->rows(), 2);
        EXPECT_EQ(rowText(0), QString::fromUtf8("NO.|R|ρ|ρLenght|Rc|Rp|I|V"));
        EXPECT_EQ(rowText(1), QStringLiteral("|||||||"));
    };
    expectFreshTable();
    askForRecord(f(), 3);
    t->port->arrive(bytes(kEarthResistance));
    ASSERT_EQ(f().grid->rows(), 4);
    EXPECT_EQ(rowText(2), QStringLiteral("|||||||"));
    EXPECT_EQ(rowText(3), QString::fromUtf8("3|12.34KΩ|||2.00KΩ|3.00KΩ||"));
    EXPECT_EQ(readout().left(14), QStringLiteral("-|-|-|-|-|-|-|")) << "live labels untouched";

    askForRecord(f(), 3);
    t->port->arrive(bytes(kVoltage));
    EXPECT_EQ(rowText(3), QStringLiteral("3|||||||50.0V"));
    askForRecord(f(), 4);  // an unknown unit: the row and its number, no values
    t->port->arrive(bytes(kUnknownUnit));
    EXPECT_EQ(rowText(4), QStringLiteral("4|||||||"));

    askForRecord(f(), 32767);
    t->port->arrive(bytes(kVoltage));
    ASSERT_EQ(f().grid->rows(), 32768);
    EXPECT_EQ(rowText(32767), QStringLiteral("32767|||||||50.0V"));
    for (int row : {0, 3, 4, 32767}) EXPECT_EQ(f().grid->rowHeight(row), 300) << row;
    f().grid->setCols(10);
    f().gridinit();
    expectFreshTable();
}

// A checked frame shorter than its layout, a record numbered 0 or a handshake reply while
// connected only resets the watchdog; any one byte changed, or the CRC bytes swapped, nothing;
// other port events leave the bytes waiting.
TEST_F(Receive, ShortOrCorruptedFramesAreNotRead) {
    const struct {
        uint16_t reg, count;
        bool connected;
        const char *frame, *inert;  // inert: sent with its CRC
    } cases[] = {
        {1, 0x5577, false, "01 03 02 AA BB 86 97", "01 03 02 AA"},
        {1, 0x5577, true, "01 03 02 AA BB 86 97", "01 03 02 AA BB"},
        {2, 10, true, kEarthResistance, "01 03 0A 04 D2 22 3C 00 C8 01 2C 00"},
        {3, 2, true, "01 03 02 00 05 78 47", "01 03 02 00"},
        {4, 3, true, "01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E", "01"},
        {4, 0, true, kVoltage, "01 03 0A 01 F4 51 04 00 00 00 00 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        f().comConnected = c.connected;
        f().Label2->setCaption(QStringLiteral("-"));  // only a handshake may change it
        f().liveView = false;
        if (c.reg == 3)
            f().Command1_Click();
        f().timeoutCount = 3;
        request(c.reg, c.count);
        QStringList expected = state();
        expected[0] = QStringLiteral("0");
        t->port->arrive(withCrc(bytes(c.inert)));
        t->port->raise(kComEvReceive);  // shorter than the threshold
        EXPECT_EQ(state(), expected);
        const QByteArray good = bytes(c.frame);
        f().timeoutCount = 3;
        const QStringList before = state();
        for (int position = 0; position < good.size(); ++position) {
            for (uint8_t flip : {0x01, 0x80, 0xFF}) {
                QByteArray bad = good;
                bad[position] = static_cast<char>(bad[position] ^ flip);
                t->port->arrive(bad);
                ASSERT_EQ(state(), before) << "byte " << position << " ^ " << +flip;
            }
        }
        t->port->arrive(good.left(good.size() - 2) + good.right(1) + good.at(good.size() - 2));
        EXPECT_EQ(state(), before) << "CRC bytes swapped";
        t->port->arrive(good.chopped(1));  // line errors and line-state changes leave it waiting
        for (int code :
             {1, 3, 4, kComEventBreak, kComEventFrame, kComEventOverrun, kComEventRxOver})
            t->port->raise(code);
        EXPECT_EQ(t->port->bytesWaiting(), good.size() - 1);
        EXPECT_EQ(state(), before);
        t->port->arrive(good.right(1));  // the frame itself is read
        EXPECT_EQ(f().timeoutCount, 0);
        EXPECT_TRUE(f().comConnected);
    }
}

}  // namespace
}  // namespace kelvora::testing
