#include "modbus/link_captions.h"

#include <QCoreApplication>

namespace kelvora {

namespace {

// Worded in the window's context, where the translations of its labels live.
QString windowText(const char* source) {
    return QCoreApplication::translate("kelvora::Form1", source);
}

}  // namespace

QString LinkCaptions::portText(int portNumber, OpenResult result) {
    const char* text = QT_TRANSLATE_NOOP("kelvora::Form1", "COM%1已打开");
    switch (result) {
        case OpenResult::InUse:
            text = QT_TRANSLATE_NOOP("kelvora::Form1", "COM%1被占用");
            break;
        case OpenResult::InvalidPort:
            text = QT_TRANSLATE_NOOP("kelvora::Form1", "COM%1无效");
            break;
        case OpenResult::PermissionDenied:
        case OpenResult::OtherFailure:
        case OpenResult::Pending:  // given up
            // Saying "opened" here would send the user looking at the wrong thing; "打开失败" is
            // too wide for the label from COM10 on.
            text = QT_TRANSLATE_NOOP("kelvora::Form1", "COM%1未打开");
            break;
        case OpenResult::Ok:
            break;
    }
    return windowText(text).arg(portNumber);
}

QString LinkCaptions::portText() const {
    return port_ ? portText(port_->number, port_->result)
                 : windowText(QT_TRANSLATE_NOOP("kelvora::Form1", "串口状态"));
}

QString LinkCaptions::linkText() const {
    return linkUp_ ? windowText(QT_TRANSLATE_NOOP("kelvora::Form1", "通信成功"))
                   : windowText(QT_TRANSLATE_NOOP("kelvora::Form1", "通信失败"));
}

}  // namespace kelvora
