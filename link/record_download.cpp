#include "link/record_download.h"

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
        // A reply taken after a retry may answer any of the tries; the others may still be on
        // their way and must land here, not in the next record's row.
        return tries_ > 1 && ticksSinceLastTry_ < settleTicks_ ? Step{Step::Wait} : advance();
    }
    if (ticksSinceLastTry_ < kReplyTimeoutTicks) {
        return {Step::Wait};
    }
    if (tries_ < kTries) {
        return ask(Step::AskRecord, current_);
    }
    const int lost = current_;
    missing_.append(lost);
    taken_ = true;  // given up: settled, nothing more will be written for it
    settleTicks_ = 0;
    Step next = advance();
    next.gaveUp = lost;
    return next;
}

bool RecordDownload::take(int record) {
    if (phase_ != Phase::Reading || record != current_ || current_ == 0 ||
        missing_.contains(record)) {
        return false;
    }
    if (!taken_) {
        taken_ = true;
        // As long as the meter has just shown it can take, counted from the first try.
        settleTicks_ = std::max(kReplyTimeoutTicks, ticksSinceFirstTry_ + 1);
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
