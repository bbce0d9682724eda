#include <QPushButton>

#include "app/form1.h"
#include "app/timer_control.h"
#include "app/twip_label.h"
#include "app/ui_texts.h"
#include "link/modbus_frame.h"
#include "link/port_map.h"

namespace kelvora {

namespace {

QString portStatusText(int16_t portNumber, OpenResult result) {
    const char* outcome = "已打开";
    switch (result) {
        case OpenResult::InUse:
            outcome = "被占用";
            break;
        case OpenResult::InvalidPort:
            outcome = "无效";
            break;
        case OpenResult::OtherFailure:
            // Saying "opened" here would send the user looking at the wrong thing; "打开失败" is
            // too wide for the label from COM10 on.
            outcome = "未打开";
            break;
        case OpenResult::Ok:
            break;
    }
    return QStringLiteral("COM") + QString::number(portNumber) + QString::fromUtf8(outcome);
}

}  // namespace

void Form1::comopen(int16_t portNumber) {
    if (MSComm1->isOpen()) {
        MSComm1->close();
    }
    MSComm1->setPortNumber(portNumber);
    Label1->setCaption(portStatusText(portNumber, MSComm1->open()));
}

void Form1::Findcom_Timer() {
    if (comConnected) {
        disableTimer(Findcom);
        // Read may have been pressed since the meter answered: its download has the line.
        if (!download.running()) {
            enableTimer(comunication);
            Command1->setEnabled(true);
            Command2->setEnabled(true);
        }
        return;
    }
    comopen(comNumber);
    SendRequest(Request::handshake());
    comNumber = comNumber >= kLastPort ? static_cast<int16_t>(kFirstPort)
                                       : static_cast<int16_t>(comNumber + 1);
}

void Form1::COMtimout_Timer() {
    // Four silent ticks are tolerated; the fifth declares the link lost.
    if (timeoutCount >= 4) {
        timeoutCount = 0;
        Label2->setCaption(QString::fromUtf8(texts::kLinkDown));
        comConnected = false;
        enableTimer(Findcom);
        EndDownload();  // what was read stays; the rest is reported missing
        return;
    }
    ++timeoutCount;
}

}  // namespace kelvora
