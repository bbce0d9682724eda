#include "formats/text_codec.h"

#include <QtGlobal>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#endif

namespace kelvora {

namespace {

bool isUtf8(const QByteArray& charset) {
    const QByteArray upper = charset.toUpper();
    return upper == "UTF-8" || upper == "UTF8";
}

#ifdef Q_OS_WIN

UINT codePageFor(const QByteArray& charset) {
    const QByteArray upper = charset.toUpper();
    if (upper == "GBK" || upper == "GB2312") {
        return 936;
    }
    if (upper == "GB18030") {
        return 54936;
    }
    if (upper.startsWith("CP")) {
        bool ok = false;
        const uint page = upper.mid(2).toUInt(&ok);
        return ok ? page : 0;
    }
    return 0;
}

// These pages refuse the no-best-fit flag and the default-character report.
bool noBestFitAllowed(UINT page) {
    return page != 54936 && page != 65001 && page != 42 && !(page >= 50220 && page <= 50229) &&
           !(page >= 57002 && page <= 57011) && page != 65000;
}

std::optional<QByteArray> encodeWithCodePage(const QString& text, UINT page) {
    if (page == 0 || !IsValidCodePage(page)) {
        return std::nullopt;
    }
    if (text.isEmpty()) {
        return QByteArray();
    }
    const auto* wide = reinterpret_cast<LPCWCH>(text.utf16());
    // No look-alikes: a sign the page cannot hold becomes "?", not another letter.
    const DWORD flags = noBestFitAllowed(page) ? WC_NO_BEST_FIT_CHARS : 0;
    const int needed =
        WideCharToMultiByte(page, flags, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return std::nullopt;
    }
    QByteArray out(needed, Qt::Uninitialized);
    WideCharToMultiByte(page, flags, wide, int(text.size()), out.data(), needed, nullptr, nullptr);
    return out;
}

// Whether the page holds the unit signs ρ and Ω; one that does not would lose every unit.
bool holdsUnitSigns(UINT page) {
    if (!noBestFitAllowed(page)) {
        return true;  // GB18030 and UTF-8 hold every character
    }
    const wchar_t signs[] = {0x03C1, 0x03A9};
    char out[8];
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, signs, 2, out,
                                            int(sizeof out), nullptr, &usedDefault);
    return written > 0 && !usedDefault;
}

#else

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
int utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// glibc's iconv knows the Chinese sets whether or not Qt was built with ICU, and lets an
// unmappable character become "?" instead of ending the conversion.
std::optional<QByteArray> encodeWithIconv(const QString& text, const QByteArray& charset) {
    iconv_t cd = iconv_open(charset.constData(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    QByteArray in = text.toUtf8();
    QByteArray out;
    out.resize(in.size() + 16);
    char* inPtr = in.data();
    size_t inLeft = size_t(in.size());
    size_t written = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        size_t outLeft = size_t(out.size()) - written;
        const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        written = size_t(out.size()) - outLeft;
        if (result != size_t(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {  // EILSEQ or EINVAL: replace one character and go on
            const size_t skip = std::min<size_t>(
                inLeft, size_t(utf8SequenceLength(static_cast<unsigned char>(*inPtr))));
            inPtr += skip;
            inLeft -= skip;
            if (written == size_t(out.size())) {
                out.resize(out.size() * 2);
            }
            out[qsizetype(written++)] = '?';
        }
    }
    iconv_close(cd);
    out.resize(qsizetype(written));
    return out;
}

#endif

}  // namespace

QByteArray textCharsetForCodeset(const QByteArray& codeset) {
    const QByteArray upper = codeset.toUpper();
    if (upper == "GBK" || upper == "GB18030" || upper == "GB2312") {
        return upper;
    }
    if (upper == "EUC-CN") {  // another name of GB2312
        return QByteArrayLiteral("GB2312");
    }
    return QByteArrayLiteral("UTF-8");
}

QByteArray systemTextCharset() {
#ifdef Q_OS_WIN
    return textCharsetForCodePage(GetACP());  // GBK (936) on Simplified Chinese systems
#else
    // A locale object of its own, so the process-wide locale is not touched.
    locale_t userLocale = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    if (userLocale == locale_t(nullptr)) {
        return QByteArrayLiteral("UTF-8");
    }
    const QByteArray codeset(nl_langinfo_l(CODESET, userLocale));
    freelocale(userLocale);
    return textCharsetForCodeset(codeset);
#endif
}

#ifdef Q_OS_WIN
QByteArray textCharsetForCodePage(unsigned page) {
    return holdsUnitSigns(page) ? "CP" + QByteArray::number(page) : QByteArrayLiteral("UTF-8");
}
#endif

std::optional<QByteArray> encodeText(const QString& text, const QByteArray& charset) {
    if (isUtf8(charset)) {
        return text.toUtf8();
    }
#ifdef Q_OS_WIN
    return encodeWithCodePage(text, codePageFor(charset));
#else
    return encodeWithIconv(text, charset);
#endif
}

}  // namespace kelvora
