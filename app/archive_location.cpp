#include "app/archive_location.h"

#include "archive/archive.h"

namespace kelvora {

namespace {

QString& overridden() {
    static QString path;
    return path;
}

}  // namespace

QString archiveLocation() {
    return overridden().isEmpty() ? archive::defaultArchivePath() : overridden();
}

void overrideArchiveLocationForThisRun(const QString& path) {
    overridden() = path;
}

}  // namespace kelvora
