#include "formats/csv_text.h"

#include <QStringDecoder>

#include "formats/text_decode.h"

namespace kelvora {

namespace {

QString decoded(QStringDecoder::Encoding encoding, const QByteArray& bytes) {
    QStringDecoder decoder(encoding);
    return decoder(bytes);
}

}  // namespace

CsvText decodeCsvText(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        return {decoded(QStringDecoder::Utf16LE, bytes.mid(2)), QStringLiteral("UTF-16LE")};
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return {decoded(QStringDecoder::Utf16BE, bytes.mid(2)), QStringLiteral("UTF-16BE")};
    }
    if (bytes.startsWith("\xEF\xBB\xBF") || isUtf8(bytes)) {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
        return {text, QStringLiteral("UTF-8")};
    }
    if (std::optional<QString> text = decodeGbk(bytes)) {
        return {*text, QStringLiteral("GBK")};
    }
    return {QString::fromUtf8(bytes), QStringLiteral("an unknown encoding")};
}

}  // namespace kelvora
