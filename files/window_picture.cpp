#include "files/window_picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>

#include "formats/text_file.h"

namespace kelvora {

QByteArray pictureFormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) {
        return QByteArrayLiteral("PNG");
    }
    if (suffix == QLatin1String("bmp")) {
        return QByteArrayLiteral("BMP");
    }
    return QByteArrayLiteral("JPEG");
}

QString writePicture(const QString& path, const QImage& picture) {
    if (picture.isNull()) {
        return QCoreApplication::translate("kelvora::Messages", "没有可保存的图片");
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, pictureFormatFor(path));
    writer.setQuality(90);
    if (!writer.write(picture)) {
        return writer.errorString();
    }
    return writeFileSafely(path, encoded);
}

}  // namespace kelvora
