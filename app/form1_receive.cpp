#include <QPushButton>

#include "app/form1.h"
#include "app/record_table.h"
#include "app/timer_control.h"
#include "app/twip_label.h"
#include "modbus/modbus_frame.h"
#include "platform/record_grid.h"
#include "records/reply.h"

namespace kelvora {

namespace {

TwipLabel* labelFor(Form1& form, ValueSlot slot) {
    switch (slot) {
        case ValueSlot::R:
            return form.r[0];
        case ValueSlot::Rho:
            return form.p[0];
        case ValueSlot::RhoLength:
            return form.p_length[0];
        case ValueSlot::Rc:
            return form.rc[0];
        case ValueSlot::Rp:
            return form.rp[0];
        case ValueSlot::I:
            return form.i[0];
        case ValueSlot::V:
            return form.v[0];
    }
    return nullptr;
}

void showLiveReading(Form1& form, const Reading& reading) {
    if (reading.mode() != MeasuringMode::Unrecognised) {
        for (const SlotText& value : slotTexts(reading)) {
            labelFor(form, value.slot)->setCaption(value.text);
        }
        form.measureMode = static_cast<int>(reading.mode());
    }
    form.NOISE->setVisible(reading.noise());
    form.HVOLT->setVisible(reading.hvolt());
    form.LOWBAT->setVisible(reading.lowbat());
    form.CLAMP->setVisible(reading.clamp());
}

void takeRecordCount(Form1& form, uint16_t count) {
    if (form.download.phase() != RecordDownload::Phase::Counting) {
        return;  // nobody asked
    }
    // recordTotal is 16-bit signed; a count that does not fit is treated as no records rather
    // than wrapping negative.
    form.recordTotal = count <= 0x7FFF ? static_cast<int16_t>(count) : int16_t{0};
    form.download.beginRecords(form.recordTotal);  // with none, it ends at once
    if (form.recordTotal > 0) {
        form.recordIndex = 1;
        enableTimer(form.Readdat);
        form.ShowDownloadProgress();
        return;
    }
    form.EndDownload();
}

void takeRecord(Form1& form, const QByteArray& frame) {
    // Only a whole reply for the record on the line: a stray frame must not settle it.
    const std::optional<Reading> reading = parseReading(frame);
    if (!reading || frame.size() != kReadingReplyLength || !form.download.take(form.requestCount)) {
        return;
    }
    writeRecordRow(form, form.requestCount, &*reading);
    form.ShowDownloadProgress();
}

}  // namespace

void Form1::MSComm1_OnComm(int commEvent) {
    if (commEvent != kComEvReceive) {
        return;
    }
    rxBuffer = MSComm1->readAll();
    MSComm1->discardInput();
    MSComm1->discardOutput();
    if (!crcChecks(rxBuffer)) {
        return;
    }
    timeoutCount = 0;

    if (!comConnected && requestRegister == kRegisterHandshake) {
        if (isHandshakeReply(rxBuffer)) {
            linkCaptions.setLinkUp(true);
            Label2->setCaption(linkCaptions.linkText());
            comConnected = true;
        }
        return;
    }
    switch (requestRegister) {
        case kRegisterLiveReading:
            if (const std::optional<Reading> reading = parseReading(rxBuffer)) {
                showLiveReading(*this, *reading);
            }
            break;
        case kRegisterRecordCount:
            // The keep-alive's answer can still arrive after Read has asked for the count.
            if (isHandshakeReply(rxBuffer)) {
                break;
            }
            if (const std::optional<uint16_t> count = parseRecordCount(rxBuffer)) {
                takeRecordCount(*this, *count);
            }
            break;
        case kRegisterStoredRecord:
            takeRecord(*this, rxBuffer);
            break;
        default:  // the keep-alive: its reply only shows the link is alive
            break;
    }
}

}  // namespace kelvora
