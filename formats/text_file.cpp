#include "formats/text_file.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "formats/text_codec.h"
#include "formats/text_lines.h"
#include "formats/write_target.h"

namespace kelvora {

namespace {

// A short write or failed flush (a full disk) may leave the device without an error of its
// own ("Unknown error"); the errno of the failed system call says why.
QString writeFailureReason(const QSaveFile& file, int failedErrno) {
    if (failedErrno != 0) {
        return QString::fromLocal8Bit(std::strerror(failedErrno));
    }
    if (file.error() != QFileDevice::NoError) {
        return file.errorString();
    }
    return QCoreApplication::translate("kelvora::Messages", "文件没有写完");
}

// Fills a temporary file beside `path` through `fill` and puts it in place only when every byte
// got out; `fill` returns false, with the errno of the failed write, when one did not.
QString saveThrough(const QString& path,
                    const std::function<bool(QSaveFile& file, int& failedErrno)>& fill) {
    // A rename would put a regular file in the place of a device or FIFO: never do it.
    if (const QString refusal = writeTargetRefusal(path); !refusal.isEmpty()) {
        return refusal;
    }
    QSaveFile file(path);
    // Writing straight into the target would lose the old file on a failure: never do it.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    int failedErrno = 0;
    bool written = fill(file, failedErrno);
    // A full disk may only show when the buffer goes out, so flush before deciding.
    if (written) {
        errno = 0;
        written = file.flush();
        failedErrno = errno;
    }
    if (!written) {
        const QString reason = writeFailureReason(file, failedErrno);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace

QString writeFileSafely(const QString& path, const QByteArray& bytes) {
    return saveThrough(path, [&bytes](QSaveFile& file, int& failedErrno) {
        errno = 0;
        const bool written = file.write(bytes) == bytes.size();
        failedErrno = errno;
        return written;
    });
}

QString writeTextFile(const QString& path, const QByteArray& charset,
                      const std::function<void(const LineSink&)>& produce) {
    if (!encodeText(QString(), charset)) {
        return QCoreApplication::translate("kelvora::Messages", "不支持的字符集 %1")
            .arg(QString::fromLatin1(charset));
    }
    return saveThrough(path, [&](QSaveFile& file, int& failedErrno) {
        // Chunks end at line ends, so no character is ever split between two of them and the
        // bytes are those of the whole text encoded at once.
        constexpr qsizetype kChunkChars = 32 * 1024;
        QString chunk;
        chunk.reserve(kChunkChars + 512);
        bool written = true;
        const auto sendChunk = [&] {
            if (written && !chunk.isEmpty()) {
                const QByteArray bytes = *encodeText(chunk, charset);
                errno = 0;
                written = file.write(bytes) == bytes.size();
                failedErrno = errno;
            }
            chunk.resize(0);  // keeps the capacity
        };
        produce([&](const QString& line) {
            chunk += line;
            chunk += QLatin1String("\r\n");
            if (chunk.size() >= kChunkChars) {
                sendChunk();
            }
        });
        sendChunk();
        return written;
    });
}

QString writeTextFile(const QString& path, const QStringList& lines, const QByteArray& charset) {
    return writeTextFile(path, charset, [&lines](const LineSink& line) {
        for (const QString& text : lines) {
            line(text);
        }
    });
}

}  // namespace kelvora
