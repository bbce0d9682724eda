#include "link/link_captions.h"

#include "app/form1.h"
#include "app/ui_texts.h"

namespace kelvora {

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
    return Form1::tr(text).arg(portNumber);
}

QString LinkCaptions::portText() const {
    return port_ ? portText(port_->number, port_->result) : Form1::tr(texts::kPortState);
}

QString LinkCaptions::linkText() const {
    return Form1::tr(linkUp_ ? texts::kLinkUp : texts::kLinkDown);
}

}  // namespace kelvora
