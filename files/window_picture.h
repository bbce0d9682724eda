#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace kelvora {

// Image format for the name the user chose: PNG for .png, BMP for .bmp, JPEG otherwise (the
// type list offers the picture as jpg).
QByteArray pictureFormatFor(const QString& path);

// Encodes `picture` in the format its name asks for and writes it safely. Returns the reason
// of a failure, empty on success.
QString writePicture(const QString& path, const QImage& picture);

}  // namespace kelvora
