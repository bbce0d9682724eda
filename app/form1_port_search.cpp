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
    comopen(comNumber);
    SendRequest(Request::handshake());
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
