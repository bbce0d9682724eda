#include "records/record_model.h"

#include "records/value_text.h"

namespace kelvora {

namespace {

// Power of ten that takes a unit to its base unit (KΩ: 3, mA: -3); false for no unit.
bool unitExponent(uint8_t rangeCode, int& exponent) {
    switch (rangeCode & 0xF0) {
        case 0x10:  // Ω
        case 0x30:  // Ωm
        case 0x50:  // V
        case 0x60:  // m
        case 0x80:  // A
            exponent = 0;
            return true;
        case 0x20:  // KΩ
        case 0x40:  // KΩm
            exponent = 3;
            return true;
        case 0x70:  // mA
            exponent = -3;
            return true;
        default:
            return false;
    }
}

constexpr double kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

}  // namespace

RecordValue recordValueOf(RawValue value, uint8_t rangeCode) {
    int exponent = 0;
    if (!unitExponent(rangeCode, exponent)) {
        return {};
    }
    const unsigned raw = value.raw();
    if (raw == kOverloadRaw) {
        return {RecordValue::Overload, 0};
    }
    const int decimals = rangeCode & 0x0F;
    if (decimals > 3) {
        return {RecordValue::NoNumber, 0};
    }
    exponent -= decimals;
    // Dividing by an exact power of ten gives the double nearest to the decimal the text shows.
    const double number =
        exponent >= 0 ? raw * kPowersOfTen[exponent] : raw / kPowersOfTen[-exponent];
    return {RecordValue::Number, number};
}

const char* baseUnit(ValueSlot slot) {
    switch (slot) {
        case ValueSlot::R:
        case ValueSlot::Rc:
        case ValueSlot::Rp:
            return "Ω";
        case ValueSlot::Rho:
            return "Ωm";
        case ValueSlot::RhoLength:
            return "m";
        case ValueSlot::I:
            return "A";
        case ValueSlot::V:
            return "V";
    }
    return "";
}

void RecordModel::take(int number, const Reading& reading) {
    if (number < 1) {
        return;
    }
    records_.resize(static_cast<size_t>(number));
    Record& record = records_.back();
    record = Record{};
    record.number = number;
    record.mode = reading.mode();
    for (const SlotField& field : slotFields(reading)) {
        record.values[recordColumn(field.slot) - 1] = recordValueOf(field.value, field.rangeCode);
    }
    emit recordTaken(number);
}

void RecordModel::take(int number, const QByteArray& frame) {
    if (const std::optional<Reading> reading = parseReading(frame)) {
        take(number, *reading);
    }
}

void RecordModel::miss(int number) {
    if (number < 1) {
        return;
    }
    records_.resize(static_cast<size_t>(number));
    records_.back() = Record{};
    emit recordTaken(number);
}

void RecordModel::clear() {
    records_.clear();
    emit cleared();
}

const Record& RecordModel::record(int number) const {
    static const Record kBlank;
    if (number < 1 || number > count()) {
        return kBlank;
    }
    return records_[static_cast<size_t>(number) - 1];
}

}  // namespace kelvora
