#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvora {

// Measuring modes by the unit nibble of a range code; the numbers are those of `measureMode`.
enum class MeasuringMode : int {
    Unrecognised = 0,
    EarthResistance = 1,
    SoilResistivity = 2,
    EarthVoltage = 3,
    ClampCurrent = 4,
};

MeasuringMode measuringModeOf(uint8_t rangeCode);

// One raw value of a reply, high byte first.
struct RawValue {
    uint8_t high = 0;
    uint8_t low = 0;
    uint16_t raw() const { return static_cast<uint16_t>(high << 8 | low); }
};

// Status bits of a live reading.
constexpr uint8_t kStatusNoise = 0x04;
constexpr uint8_t kStatusHvolt = 0x08;
constexpr uint8_t kStatusLowbat = 0x10;
constexpr uint8_t kStatusClamp = 0x20;

// The ten data bytes of a live reading or a stored record (positions 3..12 of the reply).
struct Reading {
    RawValue main;
    uint8_t rangeCode = 0;
    uint8_t status = 0;  // live reading only; a stored record's byte is not read
    RawValue rc;
    RawValue rp;
    RawValue rhoLength;

    MeasuringMode mode() const { return measuringModeOf(rangeCode); }
    bool noise() const { return (status & kStatusNoise) != 0; }
    bool hvolt() const { return (status & kStatusHvolt) != 0; }
    bool lowbat() const { return (status & kStatusLowbat) != 0; }
    bool clamp() const { return (status & kStatusClamp) != 0; }
};

// Where a value goes: a live label array and the record-table column of the same quantity.
enum class ValueSlot { R, Rho, RhoLength, Rc, Rp, I, V };

// Record-table column of a slot: "R" 1, "ρ" 2, "ρLenght" 3, "Rc" 4, "Rp" 5, "I" 6, "V" 7.
int recordColumn(ValueSlot slot);

// A value field of a reading with the range code it is read with.
struct SlotField {
    ValueSlot slot;
    RawValue value;
    uint8_t rangeCode;
};

// The fields a reading's mode shows, in the order it writes them; none for an unrecognised unit.
std::vector<SlotField> slotFields(const Reading& reading);

struct SlotText {
    ValueSlot slot;
    QString text;
};

// The texts a reading shows, in the order its mode writes them; none for an unrecognised unit.
std::vector<SlotText> slotTexts(const Reading& reading);

// Layout lengths: a frame shorter than its kind's layout is not read.
constexpr int kHandshakeReplyLength = 7;
constexpr int kRecordCountReplyLength = 7;
constexpr int kReadingReplyLength = 15;

// Whole frames as read from the port (CRC already checked). Each returns nothing when the
// frame is shorter than its layout; no byte past the frame is ever read.
bool isHandshakeReply(const QByteArray& frame);
std::optional<Reading> parseReading(const QByteArray& frame);
std::optional<uint16_t> parseRecordCount(const QByteArray& frame);

}  // namespace kelvora
