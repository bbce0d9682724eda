#pragma once

#include <QByteArray>
#include <QObject>
#include <array>
#include <cstdint>
#include <vector>

#include "records/reply.h"

namespace kelvora {

// One value of a record as a number in its base unit (Ω, Ωm, m, V, A).
struct RecordValue {
    enum Kind : uint8_t {
        Absent,    // the record's mode has no such value, or its unit is not recognised
        Overload,  // the meter's overload mark: no number
        NoNumber,  // a decimals nibble the meter never sends: the text holds the unit alone
        Number,
    };
    Kind kind = Absent;
    double number = 0;

    bool hasNumber() const { return kind == Number; }
};

// The number of a raw value read with its range code, by the rules of the value texts.
RecordValue recordValueOf(RawValue value, uint8_t rangeCode);

constexpr int kValueSlotCount = 7;

// The seven value slots in the order of their record-table columns 1 to 7.
constexpr std::array<ValueSlot, kValueSlotCount> kValueSlots = {
    ValueSlot::R,  ValueSlot::Rho, ValueSlot::RhoLength, ValueSlot::Rc,
    ValueSlot::Rp, ValueSlot::I,   ValueSlot::V};

// Base unit of a slot: "Ω", "Ωm", "m", "A" or "V".
const char* baseUnit(ValueSlot slot);

struct Record {
    int number = 0;  // 0: no reply for this row yet
    MeasuringMode mode = MeasuringMode::Unrecognised;
    std::array<RecordValue, kValueSlotCount> values{};

    bool received() const { return number > 0; }
    const RecordValue& value(ValueSlot slot) const { return values[recordColumn(slot) - 1]; }
};

// The numbers of the downloaded records, kept beside the record table's texts and filled
// from the same replies: row k of the table is record k here.
class RecordModel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The reply for record `number` (>= 1). As in the table, the rows end with this one, so
    // record 1 starts a new download afresh.
    void take(int number, const Reading& reading);
    void take(int number, const QByteArray& frame);
    // No reply for record `number`: its row stays blank, and the rows end with it.
    void miss(int number);
    // No records, as after Clear.
    void clear();

    // Rows below the header that the table has been given (some may not be received yet).
    int count() const { return static_cast<int>(records_.size()); }
    // Record `number`; a blank Record for a row without a reply or outside the table.
    const Record& record(int number) const;

signals:
    void recordTaken(int number);
    void cleared();

private:
    std::vector<Record> records_;  // records_[k - 1] is record k
};

}  // namespace kelvora
