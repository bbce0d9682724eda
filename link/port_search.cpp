#include <QPushButton>

#include "app/form1.h"
#include "app/timer_control.h"
#include "app/twip_label.h"
#include "link/modbus_frame.h"
#include "link/port_map.h"

namespace kelvora {

void Form1::comopen(int16_t portNumber) {
    if (MSComm1->isOpen()) {
        MSComm1->close();
    }
    MSComm1->setPortNumber(portNumber);
    linkCaptions.portTried(portNumber, MSComm1->open());
    Label1->setCaption(linkCaptions.portText());
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
