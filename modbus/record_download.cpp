#include "modbus/record_download.h"

#include <QStringList>
#include <algorithm>

namespace kelvora {

void RecordDownload::beginCount() {
    *this = RecordDownload();
    phase_ = Phase::Counting;
    tries_ = 1;
}

void RecordDownload::beginRecords(int total) {
    phase_ = Phase::Reading;
    total_ = total;
    current_ = 0;
    taken_ = false;
}

RecordDownload::Step RecordDownload::ask(Step::Kind kind, int record) {
    ++tries_;
    ticksSinceLastTry_ = 0;
    return {kind, record};
}

RecordDownload::Step RecordDownload::advance() {
    if (current_ >= total_) {
        return {Step::Finish};
    }
    ++current_;
    tries_ = 0;
    taken_ = false;
    ticksSinceFirstTry_ = 0;
    return ask(Step::AskRecord, current_);
}

RecordDownload::Step RecordDownload::tick() {
    ++ticksSinceFirstTry_;
    ++ticksSinceLastTry_;
    switch (phase_) {
        case Phase::Idle:
            return {Step::Finish};
        case Phase::Counting:
            if (ticksSinceLastTry_ < kReplyTimeoutTicks) {
                return {Step::Wait};
            }
            if (tries_ < kTries) {
                return ask(Step::AskCount, 0);
            }
            return {Step::Finish};
        case Phase::Reading:
            break;
    }
    if (current_ == 0) {
        return advance();
    }
    if (taken_) {
        // After a retry, the tries not yet answered may still be; their replies must find this
        // record on the line, not the next one.
        return tries_ > 1 && ticksSinceLastTry_ < settleTicks_ ? Step{Step::Wait} : advance();
    }
    if (ticksSinceLastTry_ < kReplyTimeoutTicks) {
        return {Step::Wait};
    }
    if (tries_ < kTries) {
        return ask(Step::AskRecord, current_);
    }
    // Given up: nothing more is written for it, and the next record waits as long again in case
    // a try is answered late after all.
    missing_.append(current_);
    taken_ = true;
    settleTicks_ = 2 * kReplyTimeoutTicks;
    return {Step::Wait, 0, current_};
}

bool RecordDownload::take(int record) {
    if (phase_ != Phase::Reading || record != current_ || current_ == 0 ||
        missing_.contains(record)) {
        return false;
    }
    if (!taken_) {
        taken_ = true;
        // The slowest the meter may be, judged from this reply as if it answered the first try,
        // and a timeout more.
        settleTicks_ = ticksSinceFirstTry_ + kReplyTimeoutTicks;
    }
    return true;
}

void RecordDownload::end() {
    if (phase_ == Phase::Reading) {
        for (int record = taken_ ? current_ + 1 : std::max(current_, 1); record <= total_;
             ++record) {
            missing_.append(record);
        }
    }
    phase_ = Phase::Idle;
}

QString recordRanges(const QList<int>& records, int maxParts) {
    QStringList parts;
    for (qsizetype k = 0; k < records.size();) {
        if (parts.size() == maxParts) {
            parts << QStringLiteral("…");
            break;
        }
        qsizetype last = k;
        while (last + 1 < records.size() && records[last + 1] == records[last] + 1) {
            ++last;
        }
        parts << (last == k ? QString::number(records[k])
                            : QString::number(records[k]) + QLatin1Char('-') +
                                  QString::number(records[last]));
        k = last + 1;
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace kelvora
