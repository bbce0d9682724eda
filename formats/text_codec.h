#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kelvora {

// Character set of the text files on this system: the ANSI code page on Windows (UTF-8 where
// that page cannot hold ρ and Ω); elsewhere the locale's when it is a Chinese one (GBK,
// GB18030, GB2312), UTF-8 otherwise.
QByteArray systemTextCharset();

// The text-file character set for a locale whose codeset is `codeset` (as nl_langinfo reports
// it): the Chinese sets are kept, anything else becomes UTF-8, since ASCII cannot hold ρ or Ω.
QByteArray textCharsetForCodeset(const QByteArray& codeset);

#ifdef _WIN32
// The text-file character set under the ANSI code page `page`: "CP<page>", or UTF-8 when that
// page cannot hold ρ and Ω.
QByteArray textCharsetForCodePage(unsigned page);
#endif

// `text` in `charset` ("UTF-8", "GBK", "GB18030", "GB2312"; on Windows also "CP<n>").
// A character the set cannot hold becomes "?", as the system's own conversion does.
// Empty when the character set is unknown on this system.
std::optional<QByteArray> encodeText(const QString& text, const QByteArray& charset);

}  // namespace kelvora
