#pragma once

#include <QByteArray>
#include <QString>

namespace kelvora {

// Character set of the text files on this system: the ANSI code page on Windows; elsewhere the
// locale's when it is a Chinese one (GBK, GB18030, GB2312), UTF-8 otherwise.
QByteArray systemTextCharset();

}  // namespace kelvora
