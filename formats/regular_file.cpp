#include "formats/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

#include "formats/os_error.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvora {

namespace {

QString tooLarge(qint64 size, qint64 cap) {
    return QStringLiteral("it holds %1 bytes, more than the %2 MiB an input file may have")
        .arg(size)
        .arg(cap >> 20);
}

QString notRegular() {
    return QStringLiteral("not a regular file (a device, FIFO or folder): nothing is read from it");
}

}  // namespace

std::optional<QByteArray> readRegularFile(const QString& path, QString* error, qint64 cap) {
#ifndef _WIN32
    // Non-blocking, so opening a FIFO without a writer returns at once; fstat then refuses it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("cannot read it: ") + englishErrorText(errno);
        return std::nullopt;
    }
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        *error =
            known ? notRegular() : QStringLiteral("cannot read it: ") + englishErrorText(errno);
        ::close(fd);
        return std::nullopt;
    }
    if (info.st_size > cap) {
        *error = tooLarge(info.st_size, cap);
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(info.st_size) + 1);  // one more shows a file that grew meanwhile
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *error = QStringLiteral("cannot read it: ") + englishErrorText(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += got;
        if (filled == bytes.size() && filled <= cap) {
            bytes.resize(std::min<qsizetype>(cap + 1, bytes.size() * 2));
        }
    }
    ::close(fd);
    if (filled > cap) {
        *error = tooLarge(filled, cap);
        return std::nullopt;
    }
    bytes.resize(filled);
    return bytes;
#else
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("cannot read it: ") + englishErrorText(ENOENT);
        return std::nullopt;
    }
    if (!info.isFile()) {
        *error = notRegular();
        return std::nullopt;
    }
    if (info.size() > cap) {
        *error = tooLarge(info.size(), cap);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Qt's reason would be in the system's language; the cause is not told apart here.
        *error = QStringLiteral("cannot open it for reading");
        return std::nullopt;
    }
    QByteArray bytes = file.read(cap + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read it: ") + englishErrorText(EIO);
        return std::nullopt;
    }
    if (bytes.size() > cap) {
        *error = tooLarge(bytes.size(), cap);
        return std::nullopt;
    }
    return bytes;
#endif
}

}  // namespace kelvora
