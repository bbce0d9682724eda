#include <QByteArray>
#include <algorithm>
#include <chrono>
#include <vector>

#include "app/form1.h"
#include "app/twip_label.h"
#include "bench/bench.h"
#include "bench/memory_port.h"
#include "modbus/modbus_frame.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace kelvora::bench {

namespace {

using Clock = BenchClock;

struct BenchWindow {
    MemoryPort* port = nullptr;
    std::unique_ptr<Form1> form;
};

// The real window on the real platform seams, but with the port in memory and its timers
// stopped, so only the handlers driven here run.
BenchWindow makeWindow() {
    Form1Seams seams = makeRealSeams(PortMap());
    auto port = std::make_unique<MemoryPort>();
    BenchWindow window;
    window.port = port.get();
    seams.serialPort = std::move(port);
    window.form = std::make_unique<Form1>(std::move(seams));
    stopTimers(*window.form);
    window.port->open();
    window.form->comConnected = true;
    return window;
}

void request(Form1& form, const Request& r) {
    form.SendRequest(r.address, r.function, r.registerHigh(), r.registerLow(), r.countHigh(),
                     r.countLow());
}

// A record reply whose main value depends on the record number, so rows differ.
QByteArray recordReply(int number) {
    QByteArray payload = QByteArray::fromHex("01030A");
    payload.append(static_cast<char>((number >> 8) & 0xFF)).append(static_cast<char>(number));
    payload.append(QByteArray::fromHex("2200") + QByteArray::fromHex("00C8012C0032"));
    return withCrc(payload);
}

// Median cost of storing record `number` into a table that holds rows 0 .. number-1.
double recordReplyMicroseconds(BenchWindow& window, int number, int samples) {
    Form1& form = *window.form;
    const QByteArray reply = recordReply(number);
    request(form, Request::storedRecord(static_cast<uint16_t>(number)));
    std::vector<double> costs;
    for (int sample = 0; sample < samples; ++sample) {
        form.grid->setRows(number);
        const Clock::time_point start = Clock::now();
        window.port->deliver(reply);
        costs.push_back(microsecondsSince(start));
    }
    return median(costs);
}

}  // namespace

void runDecodeBenchmarks() {
    BenchWindow live = makeWindow();
    const QByteArray readings[] = {
        QByteArray::fromHex("01030A04D2223C00C8012C00323E34"),
        withCrc(QByteArray::fromHex("01030A162E223C00C9012D0033")),
    };
    live.form->show();
    for (LabelArray* values : {&live.form->r, &live.form->rc, &live.form->rp}) {
        (*values)[0]->show();
    }
    request(*live.form, Request::liveReading());
    constexpr int kLiveSamples = 5000;
    std::vector<double> liveCosts;
    for (int sample = 0; sample < kLiveSamples; ++sample) {
        const Clock::time_point start = Clock::now();
        live.port->deliver(readings[sample % 2]);
        liveCosts.push_back(microsecondsSince(start));
    }
    printFigure("decode: live-reading reply, receive event to labels (median)", median(liveCosts),
                "us");

    // Downloads run on the record tab: the table is shown.
    BenchWindow records = makeWindow();
    records.form->liveView = false;
    records.form->Frame1->hide();
    records.form->grid->show();
    records.form->show();
    constexpr int kSmall = 100;
    constexpr int kLarge = 30000;
    constexpr int kSamples = 400;
    const double small = recordReplyMicroseconds(records, kSmall, kSamples);

    // Fill the table the way a download does, one reply per record.
    const Clock::time_point downloadStart = Clock::now();
    for (int number = 1; number < kLarge; ++number) {
        request(*records.form, Request::storedRecord(static_cast<uint16_t>(number)));
        records.port->deliver(recordReply(number));
    }
    const double downloadMs = microsecondsSince(downloadStart) / 1000.0;
    const double large = recordReplyMicroseconds(records, kLarge, kSamples);

    printFigure("decode: record reply 100 into a 100-row table (median)", small, "us");
    printFigure("decode: record reply 30000 into a 30000-row table (median)", large, "us");
    printFigure("decode: ratio 30000-row / 100-row (must stay within 2)", large / small, "x");
    printFigure("decode: handling 29999 record replies one by one, total", downloadMs, "ms");
}

}  // namespace kelvora::bench
