// libFuzzer target for the receive handler. Each input is a run of steps; a step sends one
// request (any register and count), lets some bytes arrive and may run a timer handler, so the
// handler sees replies in any order and to any request. Steps either deliver raw bytes, which
// exercises the frame check, or wrap them with a valid CRC, which reaches every decoder.
//
// Step layout: op, register (2 bytes), count (2 bytes), length, `length` payload bytes.
//   op bit 0: append a valid CRC to the payload
//   op bit 1: skip the request (the bytes answer whatever was asked last)
//   op bit 2: flip comConnected first
//   op bit 3: flip liveView first
//   op bits 4-5: then run 0 nothing, 1 Readdat tick (if running), 2 watchdog tick, 3 poll tick
//   op bit 6: raise a line-error event before the bytes arrive
//   op bit 7: raise the receive event even when fewer bytes than the threshold wait

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "bench/fuzz_form.h"
#include "modbus/modbus_frame.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace {

using kelvora::Form1;
using kelvora::bench::FuzzForm;
using kelvora::bench::makeFuzzForm;
using kelvora::bench::require;

FuzzForm& harness() {
    static FuzzForm* instance = [] {
        FuzzForm* made = makeFuzzForm("kelvora_fuzz_receive");
        made->port->open();
        // Fill the libraries' lazy caches (fonts above all) before leaks are tracked per input.
        made->form->gridinit();
        made->form->SendRequest(1, 3, 0, 4, 0, 1);
        made->port->deliver(kelvora::withCrc(QByteArray::fromHex("01030A04D2310000C8012C0032")));
        made->form->SendRequest(1, 3, 0, 2, 0, 10);
        made->port->deliver(kelvora::withCrc(QByteArray::fromHex("01030A04D2223C00C8012C0032")));
        return made;
    }();
    return *instance;
}

// What must hold after any sequence of replies.
void checkInvariants(Form1& form) {
    require(form.grid->cols() == 8, "the table keeps eight columns");
    require(form.grid->rows() >= 2, "the table keeps its header row and at least one more");
    require(form.grid->textMatrix(0, 0) == QLatin1String("NO."), "the header row is kept");
    require(form.recordTotal >= 0, "recordTotal never goes negative");
    require(form.recordIndex >= 0, "recordIndex never goes negative");
    require(form.timeoutCount >= 0 && form.timeoutCount <= 4, "watchdog count stays 0..4");
    require(form.measureMode >= 1 && form.measureMode <= 4, "measureMode is a known mode");
    require(form.Readdat.isActive() || form.recordIndex == 0 || form.recordTotal > 0,
            "a download in progress has records to fetch");
}

void resetForm(Form1& form, uint8_t flags) {
    form.gridinit();
    form.comConnected = (flags & 1) != 0;
    form.liveView = (flags & 2) != 0;
    form.timeoutCount = 0;
    form.recordTotal = 0;
    form.recordIndex = 0;
    form.measureMode = 2;
    form.Readdat.stop();
    form.comunication.stop();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzForm& h = harness();
    Form1& form = *h.form;
    if (size == 0) {
        return 0;
    }
    if (!h.port->isOpen()) {
        h.port->open();
    }
    h.port->discardInput();
    resetForm(form, data[0]);

    size_t at = 1;
    while (at + 6 <= size) {
        const uint8_t op = data[at];
        const uint8_t registerHigh = data[at + 1];
        const uint8_t registerLow = data[at + 2];
        const uint8_t countHigh = data[at + 3];
        const uint8_t countLow = data[at + 4];
        const size_t length = std::min<size_t>(data[at + 5], size - at - 6);
        QByteArray payload(reinterpret_cast<const char*>(data + at + 6),
                           static_cast<qsizetype>(length));
        at += 6 + length;

        if (op & 0x04) {
            form.comConnected = !form.comConnected;
        }
        if (op & 0x08) {
            form.liveView = !form.liveView;
        }
        if (!(op & 0x02)) {
            form.SendRequest(kelvora::kMeterAddress, kelvora::kReadHoldingRegisters, registerHigh,
                             registerLow, countHigh, countLow);
        }
        if (op & 0x40) {
            h.port->raise(kelvora::kComEventFrame);
        }
        h.port->deliver((op & 0x01) ? kelvora::withCrc(payload) : payload);
        if ((op & 0x80) && h.port->bytesWaiting() > 0) {
            h.port->raise(kelvora::kComEvReceive);
        }
        switch ((op >> 4) & 0x03) {
            case 1:
                if (form.Readdat.isActive()) {
                    form.Readdat_Timer();
                }
                break;
            case 2:
                form.COMtimout_Timer();
                break;
            case 3:
                form.comunication_Timer();
                break;
            default:
                break;
        }
        checkInvariants(form);
    }
    return 0;
}
