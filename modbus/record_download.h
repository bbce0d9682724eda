#pragma once

#include <QList>
#include <QString>

namespace kelvora {

// One download of the meter's stored records, paced by the 100 ms record timer. A record reply
// carries no record number, so only one record is ever in flight: the next one is asked for once
// the current reply has been taken or the record has been given up. Pure bookkeeping: the
// window sends the requests and writes the table.
class RecordDownload {
public:
    // 500 ms: the reply takes about 24 ms on the line at 9600 baud, a USB-serial adapter adds
    // its latency timer (16 ms by default, more under load) in each direction, and a late timer
    // tick must not make a slow but healthy meter look silent.
    static constexpr int kReplyTimeoutTicks = 5;
    static constexpr int kTries = 3;

    enum class Phase { Idle, Counting, Reading };
    struct Step {
        enum Kind { Wait, AskCount, AskRecord, Finish };
        Kind kind = Wait;
        int record = 0;  // with AskRecord
        int gaveUp = 0;  // a record given up on this tick, if any
    };

    Phase phase() const { return phase_; }
    bool running() const { return phase_ != Phase::Idle; }
    int total() const { return total_; }
    int current() const { return current_; }
    // Records taken or given up so far.
    int settled() const { return current_ == 0 ? 0 : current_ - (taken_ ? 0 : 1); }
    const QList<int>& missing() const { return missing_; }

    // The record-count request has just been sent.
    void beginCount();
    // The meter reported `total` (> 0) records; the next tick asks for record 1.
    void beginRecords(int total);
    // What the record timer's tick must do now.
    Step tick();
    // A well-formed record reply arrived while `record` was the request on the line; true when
    // it is the current record's and belongs in its row.
    bool take(int record);
    // The download is over, done or cut short; records not taken count as missing.
    void end();

private:
    Step advance();
    Step ask(Step::Kind kind, int record);

    Phase phase_ = Phase::Idle;
    int total_ = 0;
    int current_ = 0;
    int tries_ = 0;
    bool taken_ = false;
    int ticksSinceFirstTry_ = 0;
    int ticksSinceLastTry_ = 0;
    int settleTicks_ = 0;
    QList<int> missing_;
};

// "3, 7-9": record numbers in order, runs joined with '-'; past `maxParts` parts, "…".
QString recordRanges(const QList<int>& records, int maxParts = 40);

}  // namespace kelvora
