#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

namespace kelvora {

// The meter is a Modbus RTU slave at address 1 that answers function 3 only. Each register
// number names a kind of request; the count field carries that request's parameter.
constexpr uint8_t kMeterAddress = 1;
constexpr uint8_t kReadHoldingRegisters = 3;

constexpr uint16_t kRegisterHandshake = 1;
constexpr uint16_t kRegisterLiveReading = 2;
constexpr uint16_t kRegisterRecordCount = 3;
constexpr uint16_t kRegisterStoredRecord = 4;

constexpr uint16_t kHandshakeWord = 0x5577;
constexpr uint16_t kLiveReadingCount = 10;  // data bytes of the reply, not registers
constexpr uint16_t kRecordCountCount = 2;

constexpr int kRequestFrameSize = 8;
using RequestFrame = std::array<uint8_t, kRequestFrameSize>;

// Fields of one function-3 request, in wire order.
struct Request {
    uint8_t address = kMeterAddress;
    uint8_t function = kReadHoldingRegisters;
    uint16_t registerNumber = 0;
    uint16_t count = 0;

    static Request handshake() {
        return {kMeterAddress, kReadHoldingRegisters, kRegisterHandshake, kHandshakeWord};
    }
    static Request liveReading() {
        return {kMeterAddress, kReadHoldingRegisters, kRegisterLiveReading, kLiveReadingCount};
    }
    static Request recordCount() {
        return {kMeterAddress, kReadHoldingRegisters, kRegisterRecordCount, kRecordCountCount};
    }
    static Request storedRecord(uint16_t recordNumber) {
        return {kMeterAddress, kReadHoldingRegisters, kRegisterStoredRecord, recordNumber};
    }

    uint8_t registerHigh() const { return static_cast<uint8_t>(registerNumber >> 8); }
    uint8_t registerLow() const { return static_cast<uint8_t>(registerNumber & 0xFF); }
    uint8_t countHigh() const { return static_cast<uint8_t>(count >> 8); }
    uint8_t countLow() const { return static_cast<uint8_t>(count & 0xFF); }
};

// The eight bytes on the wire: six fields big-endian, then the CRC low byte, then its high byte.
RequestFrame buildRequestFrame(uint8_t address, uint8_t function, uint8_t registerHigh,
                               uint8_t registerLow, uint8_t countHigh, uint8_t countLow);
RequestFrame buildRequestFrame(const Request& request);
QByteArray toByteArray(const RequestFrame& frame);

// Bytes the port must hold before the reply to a request of this register is complete;
// nothing for a register the meter does not know (the threshold is then left alone).
std::optional<int> receiveThresholdFor(int registerNumber);

// Length of a whole reply to a request of this register (the threshold above), 0 if unknown.
int replyLengthFor(int registerNumber);

// True when the CRC over the whole frame, its own two check bytes included, gives 0 and 0.
bool crcChecks(const QByteArray& frame);

// `payload` followed by its CRC, low byte first: how the meter frames every reply.
QByteArray withCrc(const QByteArray& payload);

}  // namespace kelvora
