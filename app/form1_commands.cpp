#include "app/form1.h"

#include <QCloseEvent>

namespace kelvora {

void Form1::Command3_Click() {
    gridinit();
}

void Form1::Command5_Click() {
    for (QTimer* timer : {&Findcom, &COMtimout, &comunication, &Readdat, &vrprecord, &Movectrltimer,
                          &Movetimer, &Timer1}) {
        timer->stop();
    }
    MSComm1->setEventHandler(nullptr);
    if (MSComm1->isOpen()) {
        MSComm1->close();
    }
    hide();
    if (endProgram) {
        endProgram();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    Command5_Click();
    event->accept();
}

void Form1::Command6_Click() {
    // Carriage returns alone, as the box's text has always had them; the box shows them as breaks.
    // The version line reads the same in every language.
    messageBoxes->information(
        this, tr("欢迎使用我们公司产品"),
        QStringLiteral("KelvoraV1.0(CN)\r") + tr("   如需帮助请联系我们!") + QLatin1Char('\r'));
}

void Form1::mnuread_Click() {
    Command1_Click();
}
void Form1::mnusave_Click() {
    Command2_Click();
}
void Form1::mnuclose_Click() {
    Command5_Click();
}
void Form1::mnuclear_Click() {
    Command3_Click();
}
void Form1::mnuprint_Click() {
    Command4_Click();
}
void Form1::aboutsoftware_Click() {
    Command6_Click();
}

}  // namespace kelvora
