#include "modbus/modbus_frame.h"

#include "modbus/crc16.h"

namespace kelvora {

namespace {

constexpr int kShortReply = 7;  // address, function, byte count, 2 data bytes, CRC
constexpr int kLongReply = 15;  // address, function, byte count, 10 data bytes, CRC

void crcOf(const QByteArray& bytes, uint8_t& high, uint8_t& low) {
    Crc16(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()), 0,
          static_cast<int>(bytes.size()), high, low);
}

}  // namespace

RequestFrame buildRequestFrame(uint8_t address, uint8_t function, uint8_t registerHigh,
                               uint8_t registerLow, uint8_t countHigh, uint8_t countLow) {
    RequestFrame frame{address, function, registerHigh, registerLow, countHigh, countLow, 0, 0};
    uint8_t crcHigh = 0;
    uint8_t crcLow = 0;
    Crc16(frame.data(), frame.size(), 0, 6, crcHigh, crcLow);
    frame[6] = crcLow;
    frame[7] = crcHigh;
    return frame;
}

RequestFrame buildRequestFrame(const Request& request) {
    return buildRequestFrame(request.address, request.function, request.registerHigh(),
                             request.registerLow(), request.countHigh(), request.countLow());
}

QByteArray toByteArray(const RequestFrame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()),
                      static_cast<qsizetype>(frame.size()));
}

std::optional<int> receiveThresholdFor(int registerNumber) {
    const int length = replyLengthFor(registerNumber);
    if (length == 0) {
        return std::nullopt;
    }
    return length;
}

int replyLengthFor(int registerNumber) {
    switch (registerNumber) {
        case kRegisterHandshake:
        case kRegisterRecordCount:
            return kShortReply;
        case kRegisterLiveReading:
        case kRegisterStoredRecord:
            return kLongReply;
        default:
            return 0;
    }
}

bool crcChecks(const QByteArray& frame) {
    uint8_t high = 0;
    uint8_t low = 0;
    crcOf(frame, high, low);
    return high == 0 && low == 0;
}

QByteArray withCrc(const QByteArray& payload) {
    uint8_t high = 0;
    uint8_t low = 0;
    crcOf(payload, high, low);
    QByteArray frame = payload;
    frame.append(static_cast<char>(low));
    frame.append(static_cast<char>(high));
    return frame;
}

}  // namespace kelvora
