#include "modbus/meter_simulator.h"

#include "modbus/crc16.h"

namespace kelvora {

namespace {

constexpr uint8_t kAddress = 0x01;
constexpr uint8_t kFunction = 0x03;
constexpr int kRequestLength = 8;
constexpr qsizetype kKeptRequests = 4096;

constexpr int kRegHandshake = 1;
constexpr int kRegLive = 2;
constexpr int kRegCount = 3;
constexpr int kRegRecord = 4;
constexpr uint16_t kHandshake = 0x5577;

void appendWord(QByteArray& bytes, uint16_t word) {
    bytes.append(static_cast<char>(word >> 8));
    bytes.append(static_cast<char>(word & 0xFF));
}

bool checks(const QByteArray& frame) {
    uint8_t high = 0;
    uint8_t low = 0;
    Crc16(reinterpret_cast<const uint8_t*>(frame.constData()), static_cast<size_t>(frame.size()), 0,
          static_cast<int>(frame.size()), high, low);
    return high == 0 && low == 0;
}

uint16_t wordAt(const QByteArray& bytes, int index) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[index]) << 8 |
                                 static_cast<uint8_t>(bytes[index + 1]));
}

QByteArray dataReply(const QByteArray& data) {
    QByteArray payload;
    payload.append(static_cast<char>(kAddress));
    payload.append(static_cast<char>(kFunction));
    payload.append(static_cast<char>(data.size()));
    payload.append(data);
    return meterFrame(payload);
}

}  // namespace

QByteArray MeterReading::dataBytes() const {
    QByteArray data;
    appendWord(data, mainValue);
    data.append(static_cast<char>(rangeCode));
    data.append(static_cast<char>(status));
    appendWord(data, rc);
    appendWord(data, rp);
    appendWord(data, rhoLength);
    return data;
}

bool MeterReading::operator==(const MeterReading& other) const {
    return mainValue == other.mainValue && rangeCode == other.rangeCode && status == other.status &&
           rc == other.rc && rp == other.rp && rhoLength == other.rhoLength;
}

QByteArray meterFrame(const QByteArray& payload) {
    uint8_t high = 0;
    uint8_t low = 0;
    Crc16(reinterpret_cast<const uint8_t*>(payload.constData()),
          static_cast<size_t>(payload.size()), 0, static_cast<int>(payload.size()), high, low);
    QByteArray frame = payload;
    frame.append(static_cast<char>(low));
    frame.append(static_cast<char>(high));
    return frame;
}

MeterSimulator::MeterSimulator() {
    MeterReading idle;
    idle.rangeCode = 0x31;
    setLiveReading(idle);
}

void MeterSimulator::setLiveReading(const MeterReading& reading) {
    liveSource_ = [reading](qint64) { return reading; };
}

void MeterSimulator::setLiveSource(std::function<MeterReading(qint64)> source) {
    liveSource_ = std::move(source);
}

void MeterSimulator::setStoredRecords(const QList<MeterReading>& records) {
    records_ = records;
}

QByteArray MeterSimulator::exceptionFrame(uint8_t function, uint8_t code) {
    QByteArray payload;
    payload.append(static_cast<char>(kAddress));
    payload.append(static_cast<char>(function | 0x80));
    payload.append(static_cast<char>(code));
    return meterFrame(payload);
}

QByteArray MeterSimulator::replyTo(const QByteArray& request, qint64 nowMs) const {
    if (request.size() != kRequestLength || !checks(request) ||
        static_cast<uint8_t>(request[0]) != kAddress) {
        return {};
    }
    const auto function = static_cast<uint8_t>(request[1]);
    if (function != kFunction) {
        return exceptionFrame(function, kIllegalFunction);
    }
    const uint16_t registerNumber = wordAt(request, 2);
    const uint16_t count = wordAt(request, 4);
    switch (registerNumber) {
        case kRegHandshake:
            if (count != kHandshake) {
                return exceptionFrame(function, kIllegalDataValue);
            }
            return dataReply(QByteArray::fromHex("AABB"));
        case kRegLive:
            return dataReply(liveSource_(nowMs).dataBytes());
        case kRegCount: {
            QByteArray data;
            appendWord(data, static_cast<uint16_t>(records_.size()));
            return dataReply(data);
        }
        case kRegRecord:
            if (count < 1 || count > records_.size()) {
                return exceptionFrame(function, kIllegalDataAddress);
            }
            return dataReply(records_[count - 1].dataBytes());
        default:
            return exceptionFrame(function, kIllegalDataAddress);
    }
}

QList<MeterSimulator::Piece> MeterSimulator::receive(const QByteArray& bytes, qint64 nowMs) {
    if (!pending_.isEmpty() && nowMs - lastByteMs_ > kInterFrameGapMs) {
        pending_.clear();
    }
    lastByteMs_ = nowMs;
    pending_ += bytes;

    QList<Piece> out;
    // Slide over the input until a frame checks: stray bytes before a request do not hide it.
    while (pending_.size() >= kRequestLength) {
        const QByteArray candidate = pending_.left(kRequestLength);
        if (!checks(candidate)) {
            pending_.remove(0, 1);
            continue;
        }
        pending_.remove(0, kRequestLength);
        requests_.append(candidate);
        // The demo may run for days: keep the recent history only.
        if (requests_.size() > 2 * kKeptRequests) {
            requests_.remove(0, requests_.size() - kKeptRequests);
        }
        const QByteArray reply = replyTo(candidate, nowMs);
        if (!reply.isEmpty()) {
            out += misbehave(candidate, reply);
        }
    }
    return out;
}

void MeterSimulator::setRecordFaults(int record, const MeterFaults& faults, int times) {
    recordFaults_.insert(record, {faults, times});
}

QList<MeterSimulator::Piece> MeterSimulator::misbehave(const QByteArray& request,
                                                       const QByteArray& reply) {
    const int registerNumber = wordAt(request, 2);
    MeterFaults faults = faults_;
    if (auto own = recordFaults_.find(wordAt(request, 4));
        registerNumber == kRegRecord && own != recordFaults_.end()) {
        faults = own->faults;
        faults.onlyRegister = 0;
        if (own->times > 0 && --own->times == 0) {
            recordFaults_.erase(own);
        }
    }
    const bool applies = faults.onlyRegister == 0 || faults.onlyRegister == registerNumber;
    if (!applies) {
        return {Piece{0, reply}};
    }
    if (faults.silent) {
        return {};
    }
    QByteArray bytes = reply;
    if (faults.exceptionReply) {
        bytes = exceptionFrame(kFunction, kSlaveDeviceFailure);
    } else if (faults.garbage) {
        bytes = garbageOfLength(static_cast<int>(reply.size()));
    }
    if (faults.corruptCrc) {
        bytes[bytes.size() - 1] = static_cast<char>(bytes[bytes.size() - 1] ^ 0x5A);
    }
    if (faults.cutTo > 0) {
        bytes.truncate(faults.cutTo);
    }
    const int delay = qMax(0, faults.replyDelayMs);
    if (faults.splitAfter > 0 && faults.splitAfter < bytes.size()) {
        return {Piece{delay, bytes.left(faults.splitAfter)},
                Piece{delay + qMax(0, faults.splitGapMs), bytes.mid(faults.splitAfter)}};
    }
    return {Piece{delay, bytes}};
}

QByteArray MeterSimulator::garbageOfLength(int length) {
    QByteArray bytes;
    for (int n = 0; n < length; ++n) {
        // xorshift32: the same garbage on every run.
        garbageSeed_ ^= garbageSeed_ << 13;
        garbageSeed_ ^= garbageSeed_ >> 17;
        garbageSeed_ ^= garbageSeed_ << 5;
        bytes.append(static_cast<char>(garbageSeed_ & 0xFF));
    }
    if (checks(bytes)) {
        bytes[0] = static_cast<char>(bytes[0] ^ 0x01);  // garbage must never pass as a frame
    }
    return bytes;
}

}  // namespace kelvora
