#include "platform/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvora {

void QtClipboard::setImage(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }

QImage QtClipboard::image() const { return QGuiApplication::clipboard()->image(); }

}  // namespace kelvora
