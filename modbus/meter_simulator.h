#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <cstdint>
#include <functional>

namespace kelvora {

// What the meter measures, as its live reading and its stored records carry it. Kept apart
// from the program's own decoding types on purpose: the simulated meter lays its replies out
// from this description, so a layout mistake on either side shows up in the tests.
struct MeterReading {
    uint16_t mainValue = 0;  // 10000 is the overload mark
    uint8_t rangeCode = 0;   // high nibble unit, low nibble decimals
    uint8_t status = 0;      // NOISE 0x04, HVOLT 0x08, LOWBAT 0x10, CLAMP 0x20
    uint16_t rc = 0;         // KΩ, two decimals
    uint16_t rp = 0;         // KΩ, two decimals
    uint16_t rhoLength = 0;  // m, one decimal

    // The ten data bytes of a live-reading or stored-record reply.
    QByteArray dataBytes() const;

    bool operator==(const MeterReading& other) const;
};

constexpr uint8_t kMeterNoise = 0x04;
constexpr uint8_t kMeterHighVoltage = 0x08;
constexpr uint8_t kMeterLowBattery = 0x10;
constexpr uint8_t kMeterClamp = 0x20;
constexpr uint16_t kMeterOverload = 10000;

// Ways the meter can be told to misbehave.
struct MeterFaults {
    bool silent = false;          // no reply at all
    int replyDelayMs = 0;         // from the end of the request to the first reply byte
    bool corruptCrc = false;      // the last byte of every reply is flipped
    int splitAfter = 0;           // > 0: the reply goes out in two pieces, this many bytes first
    int splitGapMs = 0;           // pause between the two pieces
    bool exceptionReply = false;  // a Modbus exception (slave device failure) instead of data
    bool garbage = false;         // bytes of the reply's length that form no frame
    int onlyRegister = 0;         // 0: every request misbehaves; else only this register's
    int cutTo = 0;                // > 0: only this many bytes of the reply are sent
};

// The simulated meter: a Modbus RTU slave at address 1 that answers function 3 only.
// Pure: request bytes go in, reply pieces with their delays come out; nothing here does I/O.
class MeterSimulator {
public:
    struct Piece {
        int delayMs = 0;  // after the end of the request that caused it
        QByteArray bytes;
    };

    // Exception codes of the replies to requests the meter cannot serve.
    static constexpr uint8_t kIllegalFunction = 0x01;
    static constexpr uint8_t kIllegalDataAddress = 0x02;
    static constexpr uint8_t kIllegalDataValue = 0x03;
    static constexpr uint8_t kSlaveDeviceFailure = 0x04;

    // Bytes of a partial request older than this belong to no frame (RTU frames end in
    // silence; the gap is generous because a pseudo-terminal has no baud timing).
    static constexpr int kInterFrameGapMs = 50;

    MeterSimulator();

    void setLiveReading(const MeterReading& reading);
    // A reading that changes with time, asked for at every live-reading request.
    void setLiveSource(std::function<MeterReading(qint64 nowMs)> source);
    void setStoredRecords(const QList<MeterReading>& records);
    void setFaults(const MeterFaults& faults) { faults_ = faults; }
    const MeterFaults& faults() const { return faults_; }
    // Faults of one stored record's replies, for its next `times` requests (< 0: every one);
    // they take the place of the meter-wide faults for that record.
    void setRecordFaults(int record, const MeterFaults& faults, int times = -1);

    // Feeds bytes received at time nowMs; returns what the meter sends back, in order.
    QList<Piece> receive(const QByteArray& bytes, qint64 nowMs = 0);

    // Whole requests recognised so far (eight bytes each, CRC checked), oldest first; the
    // most recent few thousand.
    const QList<QByteArray>& requests() const { return requests_; }

    // The reply to one well-formed request, as a well-behaved meter sends it; empty when the
    // meter does not answer (another address, a bad CRC).
    QByteArray replyTo(const QByteArray& request, qint64 nowMs = 0) const;

    static QByteArray exceptionFrame(uint8_t function, uint8_t code);

private:
    struct RecordFaults {
        MeterFaults faults;
        int times = -1;
    };

    QList<Piece> misbehave(const QByteArray& request, const QByteArray& reply);
    QByteArray garbageOfLength(int length);

    std::function<MeterReading(qint64)> liveSource_;
    QList<MeterReading> records_;
    MeterFaults faults_;
    QHash<int, RecordFaults> recordFaults_;
    QByteArray pending_;
    qint64 lastByteMs_ = 0;
    QList<QByteArray> requests_;
    uint32_t garbageSeed_ = 0x2545F491u;
};

// `payload` with its CRC-16 appended, low byte first.
QByteArray meterFrame(const QByteArray& payload);

}  // namespace kelvora
