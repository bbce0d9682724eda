#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kelvora {

// `bytes` read as GBK (the Simplified Chinese ANSI code page); empty when they are not GBK.
std::optional<QString> decodeGbk(const QByteArray& bytes);

// Whether `bytes` are well-formed UTF-8.
bool isUtf8(const QByteArray& bytes);

}  // namespace kelvora
