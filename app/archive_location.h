#pragma once

#include <QString>

namespace kelvora {

// The archive file the windows use: --archive FILE for this run, or else the user's own
// archive.sqlite in the application's data folder.
QString archiveLocation();
void overrideArchiveLocationForThisRun(const QString& path);  // empty: the user's own

}  // namespace kelvora
