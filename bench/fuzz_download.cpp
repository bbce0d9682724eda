// libFuzzer target for the record download. Each input presses Read on the record tab and then
// plays the meter, one 100 ms record-timer tick per step: the request sent on a tick (the count
// or a record) is answered by the meter's true reply after a delay, or dropped, corrupted, sent
// from another address, cut short, followed or replaced by garbage, as the step's bytes say.
// The watchdog ticks every ten steps, as it does every second. When the input runs out the
// meter answers at once for a while, then is unplugged, so every download ends.
//
// Step layout: op, then a parameter byte for the fates that take one.
//   op bits 0-2: fate of the request sent on this tick: 0 dropped, 1 true reply after
//                (param % 9) ticks, 2 bad CRC, 3 wrong address, 4 cut to (param % length)
//                bytes, 5 true reply with garbage after it, 6 (param % 32) bytes of garbage,
//                7 true reply at once (for the count: param is the count, up to 255)
//   op bit 3:    a count reply's count is the next two bytes instead (up to 65535)
//   op bit 7:    raise the receive event whatever is waiting
// Invariants: no crash, no sanitizer report, the download ends; a row holds nothing or its own
// record, and only when that record's reply arrived with a right CRC; at the end every row is
// either filled or named missing, never both.

#include <QApplication>
#include <QByteArray>
#include <QSet>
#include <QTabBar>
#include <QVector>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "app/form1.h"
#include "bench/fuzz_form.h"
#include "modbus/modbus_frame.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"
#include "records/reply.h"
#include "seams/message_boxes.h"

namespace {

using kelvora::Form1;
using kelvora::bench::FuzzForm;
using kelvora::bench::makeFuzzForm;
using kelvora::bench::require;

constexpr int kMaxLatencyTicks = 8;  // replies later than the timeouts allow for are not played
constexpr int kDrainTicks = 400;
constexpr int kEndTicks = 200000;  // a download still running after this many ticks hangs

// The end of a download may say which records are missing; nobody is there to press OK.
class SilentBoxes : public kelvora::MessageBoxes {
public:
    void information(QWidget*, const QString&, const QString&) override {}
    void exclamation(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override {}
    bool question(QWidget*, const QString&, const QString&) override { return false; }
    void beep() override {}
};

FuzzForm& harness() {
    static FuzzForm* instance = [] {
        FuzzForm* made = makeFuzzForm("kelvora_fuzz_download", std::make_unique<SilentBoxes>());
        made->form->TabStrip1->setCurrentIndex(1);
        return made;
    }();
    return *instance;
}

// Record k reads k/100 Ω ("0.07Ω", "12.34Ω") up to 9999, so a record in another's row shows;
// later ones are not told apart.
constexpr int kTellApart = 9999;

QByteArray trueRecordReply(int record) {
    const uint16_t value = static_cast<uint16_t>(record);
    QByteArray reply = QByteArray::fromHex("01030A");
    reply += char(value >> 8);
    reply += char(value & 0xFF);
    reply += QByteArray::fromHex("120000C8012C0000");
    return kelvora::withCrc(reply);
}

QString recordText(int record) {
    return QStringLiteral("%1.%2Ω").arg(record / 100).arg(record % 100, 2, 10, QLatin1Char('0'));
}

QByteArray trueCountReply(uint16_t count) {
    QByteArray reply = QByteArray::fromHex("010302");
    reply += char(count >> 8);
    reply += char(count & 0xFF);
    return kelvora::withCrc(reply);
}

class Meter {
public:
    Meter(FuzzForm& h, const uint8_t* data, size_t size) : h_(h), data_(data), size_(size) {}

    void run() {
        Form1& form = *h_.form;
        written_ = h_.port->bytesWritten();
        form.Command1_Click();
        require(form.download.running(), "Read starts a download");
        answer(true);
        int tick = 0;
        for (; form.download.running() && tick < kEndTicks; ++tick) {
            deliverDue(tick);
            if (tick % 10 == 9) {
                form.COMtimout_Timer();
            }
            if (tick >= drainFrom_ + kDrainTicks) {
                unplugged_ = true;
            }
            form.Readdat_Timer();
            answer(false);
            ++now_;
            checkRows(false);
        }
        require(!form.download.running(), "the download ends");
        checkRows(true);
    }

private:
    // Plays the fate of the request sent since the last look, if any.
    void answer(bool first) {
        Form1& form = *h_.form;
        const long long written = h_.port->bytesWritten();
        const bool sent = written != written_;
        written_ = written;
        const uint8_t op = next(first ? 7 : 1);
        const uint8_t param = (op & 7) == 0 ? 0 : next(0);
        if (at_ >= size_ && drainFrom_ == kEndTicks) {
            drainFrom_ = now_;
        }
        if (!sent || unplugged_) {
            return;
        }
        const bool count = form.requestRegister == kelvora::kRegisterRecordCount;
        const int record = form.requestCount;
        uint16_t countValue = param;
        if (count && (op & 8)) {
            countValue = static_cast<uint16_t>(next(0) << 8 | next(0));
        }
        const QByteArray reply = count ? trueCountReply(countValue) : trueRecordReply(record);
        const int trueRecord = count ? 0 : record;
        switch (at_ > size_ ? 7 : op & 7) {
            case 0:
                break;
            case 1:
                play(now_ + param % (kMaxLatencyTicks + 1), reply, trueRecord);
                break;
            case 2:
                play(now_, reply.left(reply.size() - 1) + char(reply.back() ^ 0x5A), 0);
                break;
            case 3: {
                // Replies are taken on their CRC alone, the address byte is not examined: the
                // record's own reply from another address counts as its true reply.
                QByteArray other = reply.left(reply.size() - 2);
                other[0] = char(2 + param % 200);
                play(now_, kelvora::withCrc(other), trueRecord);
                break;
            }
            case 4:
                play(now_, reply.left(param % reply.size()), 0);
                break;
            case 5:
                play(now_, reply + garbage(param % 8 + 1), trueRecord);
                break;
            case 6:
                play(now_, garbage(param % 32), 0);
                break;
            default:
                play(now_, reply, trueRecord);
                break;
        }
        if (op & 0x80) {
            raiseAnyway_ = true;
        }
    }

    // Garbage never passes the frame check by chance.
    QByteArray garbage(int length) {
        QByteArray bytes;
        for (int k = 0; k < length; ++k) {
            bytes += char(next(0));
        }
        if (bytes.size() >= 4 && kelvora::crcChecks(bytes)) {
            bytes[0] = char(bytes[0] ^ 0x01);
        }
        return bytes;
    }

    void play(int due, const QByteArray& bytes, int trueRecord) {
        pending_.insert({due, {bytes, trueRecord}});
    }

    void deliverDue(int tick) {
        while (!pending_.empty() && pending_.begin()->first <= tick) {
            const auto [bytes, trueRecord] = pending_.begin()->second;
            pending_.erase(pending_.begin());
            if (unplugged_) {
                continue;
            }
            if (trueRecord > 0) {
                trueArrived_.resize(std::max<int>(trueArrived_.size(), trueRecord + 1));
                trueArrived_[trueRecord] = true;
            }
            h_.port->deliver(bytes);
            if (raiseAnyway_ && h_.port->bytesWaiting() > 0) {
                raiseAnyway_ = false;
                h_.port->raise(kelvora::kComEvReceive);
            }
        }
    }

    void checkRows(bool ended) {
        Form1& form = *h_.form;
        const int total = form.download.total();
        if (total <= 0) {
            return;
        }
        const QList<int>& named = form.download.missing();
        const QSet<int> missing(named.cbegin(), named.cend());
        // While it runs, the rows about the record on the line; at the end, all of them.
        const int first = ended ? 1 : std::max(1, form.download.current() - 2);
        const int last = ended ? total : std::min(total, form.download.current() + 1);
        for (int k = first; k <= last; ++k) {
            // The table grows as the records come; a row not there yet is empty.
            const QString text = k < form.grid->rows() ? form.grid->textMatrix(k, 1) : QString();
            if (text.isEmpty()) {
                require(!ended || missing.contains(k), "an empty row is named missing");
                continue;
            }
            require(k > kTellApart || text == recordText(k), "a row holds its own record");
            require(k < trueArrived_.size() && trueArrived_[k],
                    "a row is filled from a true reply");
            require(!missing.contains(k), "a filled row is not named missing");
        }
    }

    uint8_t next(uint8_t otherwise) { return at_ < size_ ? data_[at_++] : (++at_, otherwise); }

    FuzzForm& h_;
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    long long written_ = 0;
    int now_ = 0;
    int drainFrom_ = kEndTicks;
    bool unplugged_ = false;
    bool raiseAnyway_ = false;
    std::multimap<int, std::pair<QByteArray, int>> pending_;
    QVector<bool> trueArrived_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzForm& h = harness();
    Form1& form = *h.form;
    if (!h.port->isOpen()) {
        h.port->open();
    }
    h.port->discardInput();
    form.gridinit();
    form.comConnected = true;
    form.liveView = false;
    form.timeoutCount = 0;
    Meter(h, data, size).run();
    return 0;
}
