#include "records/reply.h"

#include "records/value_text.h"

namespace kelvora {

namespace {

uint8_t byteAt(const QByteArray& frame, int position) {
    return static_cast<uint8_t>(frame.at(position));
}

RawValue valueAt(const QByteArray& frame, int position) {
    return {byteAt(frame, position), byteAt(frame, position + 1)};
}

QString textOf(RawValue value, uint8_t rangeCode) {
    return GetValueText(value.high, value.low, rangeCode);
}

}  // namespace

MeasuringMode measuringModeOf(uint8_t rangeCode) {
    switch (rangeCode & 0xF0) {
        case 0x10:
        case 0x20:
            return MeasuringMode::EarthResistance;
        case 0x30:
        case 0x40:
            return MeasuringMode::SoilResistivity;
        case 0x50:
            return MeasuringMode::EarthVoltage;
        case 0x70:
        case 0x80:
            return MeasuringMode::ClampCurrent;
        default:  // no unit, or metres, which only the ρ length uses
            return MeasuringMode::Unrecognised;
    }
}

int recordColumn(ValueSlot slot) {
    switch (slot) {
        case ValueSlot::R:
            return 1;
        case ValueSlot::Rho:
            return 2;
        case ValueSlot::RhoLength:
            return 3;
        case ValueSlot::Rc:
            return 4;
        case ValueSlot::Rp:
            return 5;
        case ValueSlot::I:
            return 6;
        case ValueSlot::V:
            return 7;
    }
    return 0;
}

std::vector<SlotField> slotFields(const Reading& reading) {
    const SlotField main = {ValueSlot::R, reading.main, reading.rangeCode};
    const SlotField rc = {ValueSlot::Rc, reading.rc, kRangeCodeRcRp};
    const SlotField rp = {ValueSlot::Rp, reading.rp, kRangeCodeRcRp};
    switch (reading.mode()) {
        case MeasuringMode::EarthResistance:
            return {main, rc, rp};
        case MeasuringMode::SoilResistivity:
            return {{ValueSlot::Rho, reading.main, reading.rangeCode},
                    rc,
                    rp,
                    {ValueSlot::RhoLength, reading.rhoLength, kRangeCodeRhoLength}};
        case MeasuringMode::EarthVoltage:
            return {{ValueSlot::V, reading.main, reading.rangeCode}};
        case MeasuringMode::ClampCurrent:
            return {{ValueSlot::I, reading.main, reading.rangeCode}};
        case MeasuringMode::Unrecognised:
            break;
    }
    return {};
}

std::vector<SlotText> slotTexts(const Reading& reading) {
    std::vector<SlotText> texts;
    for (const SlotField& field : slotFields(reading)) {
        texts.push_back({field.slot, textOf(field.value, field.rangeCode)});
    }
    return texts;
}

bool isHandshakeReply(const QByteArray& frame) {
    static const QByteArray kLeading("\x01\x03\x02\xAA\xBB", 5);
    return frame.size() >= kHandshakeReplyLength && frame.startsWith(kLeading);
}

std::optional<Reading> parseReading(const QByteArray& frame) {
    if (frame.size() < kReadingReplyLength) {
        return std::nullopt;
    }
    Reading reading;
    reading.main = valueAt(frame, 3);
    reading.rangeCode = byteAt(frame, 5);
    reading.status = byteAt(frame, 6);
    reading.rc = valueAt(frame, 7);
    reading.rp = valueAt(frame, 9);
    reading.rhoLength = valueAt(frame, 11);
    return reading;
}

std::optional<uint16_t> parseRecordCount(const QByteArray& frame) {
    if (frame.size() < kRecordCountReplyLength) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(byteAt(frame, 3) << 8 | byteAt(frame, 4));
}

}  // namespace kelvora
