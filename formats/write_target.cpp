#include "formats/write_target.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kelvora {

WriteTargetFault writeTargetFault(const QString& path) {
    if (path.isEmpty()) {
        return WriteTargetFault::NoName;
    }
#ifndef _WIN32
    struct stat info {};
    // A name that cannot be looked at is left to the write, which says why it fails.
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return WriteTargetFault::NotRegular;
    }
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return WriteTargetFault::NotRegular;
    }
#endif
    return WriteTargetFault::None;
}

bool sameFile(const QString& a, const QString& b) {
#ifndef _WIN32
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
    // Without inodes at hand the resolved names are compared; Windows names ignore case.
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() &&
           first.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

QString writeTargetRefusal(const QString& path) {
    switch (writeTargetFault(path)) {
        case WriteTargetFault::NoName:
            return QCoreApplication::translate("kelvora::Messages", "没有给出文件名");
        case WriteTargetFault::NotRegular:
            return QCoreApplication::translate("kelvora::Messages",
                                               "%1 不是普通文件（设备、管道或文件夹），没有写入")
                .arg(path);
        case WriteTargetFault::None:
            break;
    }
    return {};
}

}  // namespace kelvora
