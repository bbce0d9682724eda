#include <gtest/gtest.h>

#include "modbus/meter_simulator.h"
#include "modbus/modbus_frame.h"
#include "platform/record_grid.h"
#include "records/record_model.h"
#include "records/value_text.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// The number a value text stands for, read back independently: digits, then the unit's factor.
// The text read back independently: digits, then the unit's factor.
void expectSameAsText(const RecordValue& value, const QString& text) {
    static const QList<QPair<QString, double>> kUnits = {{"KΩm", 1000}, {"KΩ", 1000},  {"Ωm", 1},
                                                         {"Ω", 1},      {"mA", 0.001}, {"A", 1},
                                                         {"V", 1},      {"m", 1}};
    for (const auto& [unit, factor] : kUnits) {
        if (!text.isEmpty() && text.endsWith(unit)) {
            const QString digits = text.chopped(unit.size());
            EXPECT_EQ(value.kind, digits == "OL "    ? RecordValue::Overload
                                  : digits.isEmpty() ? RecordValue::NoNumber
                                                     : RecordValue::Number)
                << text.toStdString();
            if (value.hasNumber()) {
                EXPECT_DOUBLE_EQ(value.number, digits.toDouble() * factor) << text.toStdString();
            }
            return;
        }
    }
    EXPECT_EQ(value.kind, RecordValue::Absent) << text.toStdString();
}

// Every range code with raw values around the edges: the number agrees with the text.
TEST(RecordModel, EveryRangeCodeAgreesWithItsText) {
    for (int code = 0; code <= 0xFF; ++code) {
        for (uint16_t raw : {0, 5, 1234, 9999, 10000, 10001, 65535}) {
            const RawValue value{uint8_t(raw >> 8), uint8_t(raw & 0xFF)};
            expectSameAsText(recordValueOf(value, uint8_t(code)),
                             GetValueText(value.high, value.low, uint8_t(code), "."));
        }
    }
    const struct {
        uint16_t raw;
        uint8_t code;
        RecordValue expected;
    } kAnchors[] = {
        {1234, 0x22, {RecordValue::Number, 12340}},  {1234, 0x13, {RecordValue::Number, 1.234}},
        {65535, 0x43, {RecordValue::Number, 65535}}, {12345, 0x70, {RecordValue::Number, 12.345}},
        {5, 0x73, {RecordValue::Number, 0.000005}},  {500, 0x51, {RecordValue::Number, 50}},
        {10000, 0x22, {RecordValue::Overload, 0}},   {100, 0x24, {RecordValue::NoNumber, 0}},
        {10000, 0x95, {RecordValue::Absent, 0}},     {50, 0x61, {RecordValue::Number, 5}}};
    for (const auto& anchor : kAnchors) {
        const RecordValue value =
            recordValueOf({uint8_t(anchor.raw >> 8), uint8_t(anchor.raw)}, anchor.code);
        EXPECT_EQ(value.kind, anchor.expected.kind) << anchor.raw << " " << int(anchor.code);
        EXPECT_EQ(value.number, anchor.expected.number) << anchor.raw << " " << int(anchor.code);
    }
}

// A download through the receive handler: modes, overload, an unknown unit; then Clear and a
// new download. The model and the table's texts never disagree.
TEST(RecordModel, FilledByTheReceivePathBesideTheTable) {
    auto t = makeTestForm();
    t->port->forceOpen(3);
    t->form->comConnected = true;
    Form1& f = *t->form;
    auto download = [&](int number, const MeterReading& reading) {
        askForRecord(f, number);
        t->port->arrive(withCrc(QByteArray("\x01\x03\x0A", 3) + reading.dataBytes()));
    };
    auto expectAgreement = [&] {
        for (int k = 1; k < f.grid->rows(); ++k) {
            for (ValueSlot slot : kValueSlots) {
                expectSameAsText(f.records.record(k).value(slot),
                                 f.grid->textMatrix(k, recordColumn(slot)));
            }
        }
    };
    const QList<MeterReading> records = {
        {1234, 0x22, 0, 200, 300, 0}, {10000, 0x31, 0, 0, 10000, 50}, {65535, 0x83, 0, 0, 0, 0},
        {0, 0x50, 0, 0, 0, 0},        {1234, 0x92, 0, 200, 300, 50},  {7, 0x40, 0, 1, 2, 3}};
    for (int k = 1; k <= records.size(); ++k) {
        download(k, records[k - 1]);
    }
    expectAgreement();
    EXPECT_EQ(f.records.record(1).mode, MeasuringMode::EarthResistance);
    EXPECT_EQ(f.records.record(2).value(ValueSlot::Rho).kind, RecordValue::Overload);
    EXPECT_EQ(f.records.record(3).value(ValueSlot::I).number, 65.535);
    EXPECT_EQ(f.records.record(5).mode, MeasuringMode::Unrecognised);
    EXPECT_TRUE(f.records.record(5).received());

    f.Command3_Click();  // Clear
    EXPECT_EQ(f.records.count(), 0);
    expectAgreement();
    download(3, records[3]);  // a download that goes on after Clear leaves rows 1 and 2 empty
    expectAgreement();
    EXPECT_FALSE(f.records.record(1).received());
    download(1, records[0]);  // a new download starts afresh
    expectAgreement();
    EXPECT_EQ(f.records.count(), 1);
    EXPECT_EQ(f.grid->rows(), 2);
}

}  // namespace
}  // namespace kelvora::testing
