#include "export/text_file.h"

#include <QSaveFile>

#include "export/text_lines.h"
#include "platform/text_codec.h"

namespace kelvora {

QString writeFileSafely(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Writing straight into the target would lose the old file on a failure: never do it.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    // A full disk may only show when the buffer goes out, so flush before deciding.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

QString writeTextFile(const QString& path, const QStringList& lines, const QByteArray& charset) {
    const std::optional<QByteArray> bytes = encodeText(joinCrLf(lines), charset);
    if (!bytes) {
        return QStringLiteral("不支持的字符集 %1").arg(QString::fromLatin1(charset));
    }
    return writeFileSafely(path, *bytes);
}

}  // namespace kelvora
