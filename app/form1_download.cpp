#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/form1.h"
#include "app/record_table.h"
#include "app/timer_control.h"
#include "app/ui_texts.h"
#include "modbus/modbus_frame.h"
#include "platform/record_grid.h"

namespace kelvora {

void Form1::Command1_Click() {
    if (liveView || !comConnected || download.running()) {
        return;
    }
    disableTimer(comunication);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    mnuread->setEnabled(false);
    mnusave->setEnabled(false);
    download.beginCount();
    SendRequest(Request::recordCount());
    // The record timer also times the count's reply, so a lost one is asked again.
    enableTimer(Readdat);
}

void Form1::Readdat_Timer() {
    if (!download.running() || !MSComm1->isOpen()) {
        EndDownload();
        return;
    }
    const RecordDownload::Step step = download.tick();
    if (step.gaveUp > 0) {
        writeRecordRow(*this, step.gaveUp, nullptr);
    }
    switch (step.kind) {
        case RecordDownload::Step::Wait:
            break;
        case RecordDownload::Step::AskCount:
            SendRequest(Request::recordCount());
            break;
        case RecordDownload::Step::AskRecord:
            recordIndex = static_cast<int16_t>(step.record);
            SendRequest(Request::storedRecord(static_cast<uint16_t>(step.record)));
            ShowDownloadProgress();
            break;
        case RecordDownload::Step::Finish:
            EndDownload();
            break;
    }
}

void Form1::EndDownload() {
    disableTimer(Readdat);
    recordIndex = 0;
    if (!download.running()) {
        return;
    }
    const bool reading = download.phase() == RecordDownload::Phase::Reading;
    const int inFlight = std::max(download.current(), 1);
    if (reading && download.total() > 0 && download.settled() < inFlight) {
        // Its row may still hold an earlier download's record.
        writeRecordRow(*this, inFlight, nullptr);
    }
    download.end();
    enableTimer(comunication);
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    mnuread->setEnabled(true);
    mnusave->setEnabled(true);
    ShowDownloadProgress();
    const QList<int>& missing = download.missing();
    if (!reading) {
        messageBoxes->warning(this, QString::fromUtf8(texts::kCaption), tr("未能读取记录数。"));
    } else if (!missing.isEmpty()) {
        messageBoxes->warning(
            this, QString::fromUtf8(texts::kCaption),
            tr("以下记录未能读取：%1\n共 %2 条。").arg(recordRanges(missing)).arg(missing.size()));
    }
}

void Form1::ShowDownloadProgress() {
    QLabel& panel = *StatusBar1Panels[1];
    if (download.phase() != RecordDownload::Phase::Reading) {
        panel.setText(QString::fromUtf8(texts::kCaption));
        downloadProgress->hide();
        return;
    }
    panel.setText(tr("读取记录 %1/%2").arg(download.settled()).arg(download.total()));
    downloadProgress->setMaximum(download.total());
    downloadProgress->setValue(download.settled());
    downloadProgress->show();
}

}  // namespace kelvora
