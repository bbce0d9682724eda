#include "platform/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvora {

void QtClipboard::setImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

QImage QtClipboard::image() const {
    return QGuiApplication::clipboard()->image();
}

void QtClipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace kelvora
