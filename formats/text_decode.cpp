#include "formats/text_decode.h"

#include <QStringDecoder>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace kelvora {

std::optional<QString> decodeGbk(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return QString();
    }
#ifdef _WIN32
    const int size = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.constData(),
                                         int(bytes.size()), nullptr, 0);
    if (size <= 0) {
        return std::nullopt;
    }
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(text.data()), size);
    return text;
#else
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    QByteArray in = bytes;
    QByteArray out(bytes.size() * 2 + 4, Qt::Uninitialized);  // a GBK pair is 3 UTF-8 bytes
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = size_t(in.size());
    size_t outLeft = size_t(out.size());
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
#endif
}

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    Q_UNUSED(text)
    return !decoder.hasError();
}

}  // namespace kelvora
