#include <QPushButton>

#include "app/form1.h"
#include "app/timer_control.h"
#include "app/twip_label.h"
#include "modbus/modbus_frame.h"
#include "modbus/port_map.h"

namespace kelvora {

void Form1::comopen(int16_t portNumber) {
    if (MSComm1->isOpen()) {
        MSComm1->close();
    }
    MSComm1->setPortNumber(portNumber);
    const OpenResult result = MSComm1->open();
    if (result == OpenResult::Pending) {
        openWait.start(portNumber);  // comOpened finishes it
        return;
    }
    showOpenResult(portNumber, result);
}

void Form1::showOpenResult(int16_t portNumber, OpenResult result) {
    linkCaptions.portTried(portNumber, result);
    Label1->setCaption(linkCaptions.portText());
    if (linkCaptions.firstRefusal(result)) {
        // After this tick, so that the search goes on while the box is read.
        const QString device = MSComm1->deviceName().isEmpty()
                                   ? QStringLiteral("COM%1").arg(portNumber)
                                   : MSComm1->deviceName();
        QTimer::singleShot(0, this, [this, device] {
            messageBoxes->warning(this, tr("串口权限"),
                                  tr("当前用户没有打开串口 %1 的权限。\n\n"
                                     "请把用户加入 dialout 组：\n"
                                     "    sudo usermod -aG dialout $USER\n"
                                     "然后注销并重新登录，新的组才会生效。")
                                      .arg(device));
        });
    }
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
    if (openWait.pending()) {
        if (openWait.tickIsLast()) {
            MSComm1->close();  // given up: should it open after all, it is closed at once
            showOpenResult(static_cast<int16_t>(openWait.finish()), OpenResult::Pending);
            nextPort();
        }
        return;
    }
    // A port whose earlier open still hangs is passed over until that open ends.
    for (int skipped = 0; MSComm1->openPending(comNumber); ++skipped) {
        if (skipped >= kLastPort) {
            return;
        }
        nextPort();
    }
    comopen(comNumber);
    if (openWait.pending()) {
        return;
    }
    SendRequest(Request::handshake());
    nextPort();
}

void Form1::comOpened(OpenResult result) {
    if (!openWait.pending()) {
        return;
    }
    showOpenResult(static_cast<int16_t>(openWait.finish()), result);
    SendRequest(Request::handshake());
    nextPort();
}

void Form1::nextPort() {
    comNumber = comNumber >= kLastPort ? static_cast<int16_t>(kFirstPort)
                                       : static_cast<int16_t>(comNumber + 1);
}

void Form1::COMtimout_Timer() {
    // Four silent ticks are tolerated; the fifth declares the link lost.
    if (timeoutCount >= 4) {
        timeoutCount = 0;
        linkCaptions.setLinkUp(false);
        Label2->setCaption(linkCaptions.linkText());
        comConnected = false;
        enableTimer(Findcom);
        EndDownload();  // what was read stays; the rest is reported missing
        return;
    }
    ++timeoutCount;
}

}  // namespace kelvora
