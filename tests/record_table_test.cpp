#include <gtest/gtest.h>

#include "link/modbus_frame.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

const QByteArray kVoltageRecord = bytes("01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87");

class RecordTable : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm();
        t->port->forceOpen(3);
        t->form->comConnected = true;
    }
    Form1& f() { return *t->form; }
    RecordGrid& grid() { return *t->form->grid; }

    void storeRecord(int number, const QByteArray& frame = kVoltageRecord) {
        f().SendRequest(1, 3, 0, 4, static_cast<uint8_t>(number >> 8),
                        static_cast<uint8_t>(number & 0xFF));
        t->port->arrive(frame);
    }

    // Everything the layout steps set, checked after start-up and after Clear.
    void expectFreshTable() {
        EXPECT_EQ(grid().leftTwips(), 1550);
        EXPECT_EQ(grid().topTwips(), 2440);
        EXPECT_EQ(grid().widthTwips(), 9615);
        EXPECT_EQ(grid().heightTwips(), 6500);
        ASSERT_EQ(grid().rows(), 2);
        ASSERT_EQ(grid().cols(), 8);
        const char* headers[] = {"NO.", "R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"};
        for (int column = 0; column < 8; ++column) {
            EXPECT_EQ(grid().textMatrix(0, column), QString::fromUtf8(headers[column]));
            EXPECT_EQ(grid().textMatrix(1, column), QString()) << column;
            EXPECT_EQ(grid().colWidth(column), 1160) << column;
            EXPECT_EQ(grid().colAlignment(column), Qt::AlignHCenter | Qt::AlignVCenter);
        }
        for (int row = 0; row < 2; ++row) {
            EXPECT_EQ(grid().rowHeight(row), 300) << row;
        }
        EXPECT_EQ(grid().font().family(), QString::fromUtf8("宋体"));
        EXPECT_DOUBLE_EQ(grid().font().pointSizeF(), 10.5);
    }

    std::unique_ptr<TestForm> t;
};

TEST_F(RecordTable, AfterStartUp) {
    expectFreshTable();
}

TEST_F(RecordTable, AfterATableWithManyRows) {
    for (int record = 1; record <= 200; ++record) {
        storeRecord(record);
    }
    grid().setTextMatrix(1, 3, QStringLiteral("stale"));
    grid().setRowHeight(7, 500);
    grid().setCols(10);
    f().gridinit();
    expectFreshTable();
}

TEST_F(RecordTable, DownloadOfFiveRecordsNumbersRowsOneToFive) {
    for (int record = 1; record <= 5; ++record) {
        storeRecord(record);
    }
    ASSERT_EQ(grid().rows(), 6);
    for (int record = 1; record <= 5; ++record) {
        EXPECT_EQ(grid().textMatrix(record, 0), QString::number(record));
        EXPECT_EQ(grid().textMatrix(record, 7), QStringLiteral("50.0V"));
        EXPECT_EQ(grid().rowHeight(record), 300);
    }
}

TEST_F(RecordTable, ClearDuringADownloadLeavesTheRowsBeforeTheNextRecordEmpty) {
    for (int record = 1; record <= 3; ++record) {
        storeRecord(record);
    }
    f().gridinit();
    storeRecord(4);
    ASSERT_EQ(grid().rows(), 5);
    for (int row = 1; row <= 3; ++row) {
        for (int column = 0; column < 8; ++column) {
            EXPECT_EQ(grid().textMatrix(row, column), QString()) << row << "," << column;
        }
    }
    EXPECT_EQ(grid().textMatrix(4, 0), QStringLiteral("4"));
    EXPECT_EQ(grid().textMatrix(0, 0), QStringLiteral("NO."));
}

TEST_F(RecordTable, SecondDownloadReplacesTheFirstCellForCell) {
    const QByteArray earthResistance = bytes("01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34");
    for (int record = 1; record <= 4; ++record) {
        storeRecord(record, earthResistance);
    }
    storeRecord(1);  // voltage now
    ASSERT_EQ(grid().rows(), 2);
    for (int column = 1; column <= 6; ++column) {
        EXPECT_EQ(grid().textMatrix(1, column), QString()) << column;
    }
    EXPECT_EQ(grid().textMatrix(1, 7), QStringLiteral("50.0V"));
    storeRecord(2, earthResistance);
    EXPECT_EQ(grid().rows(), 3);
    EXPECT_EQ(grid().textMatrix(2, 1), QString::fromUtf8("12.34KΩ"));
}

}  // namespace
}  // namespace kelvora::testing
