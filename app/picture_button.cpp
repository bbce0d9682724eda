#include "app/picture_button.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace kelvora {

PictureButton::PictureButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int lineHeight = fontMetrics().height();
    const QSize picture = iconSize();
    const int spacing = 2;
    const int blockHeight = (icon().isNull() ? 0 : picture.height() + spacing) + lineHeight;
    int top = content.top() + (content.height() - blockHeight) / 2;
    // A pressed button shifts its contents as a plain push button does.
    const int shift = isDown() ? style()->pixelMetric(QStyle::PM_ButtonShiftVertical) : 0;
    const int shiftX = isDown() ? style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal) : 0;

    if (!icon().isNull()) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pixmap = icon().pixmap(picture, devicePixelRatio(), mode);
        const QRect pictureRect(content.left() + (content.width() - picture.width()) / 2 + shiftX,
                                top + shift, picture.width(), picture.height());
        painter.drawPixmap(pictureRect, pixmap);
        top += picture.height() + spacing;
    }
    const QRect textRect(content.left() + shiftX, top + shift, content.width(), lineHeight);
    painter.drawItemText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                         text(), QPalette::ButtonText);

    // Keyboard users see which button has the focus, as on any push button.
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace kelvora
