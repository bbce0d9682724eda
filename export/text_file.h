#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kelvora {

// Writes `bytes` to a temporary file beside `path` and puts it in place of `path` only once
// it is complete, so a failure never leaves a half-written file or harms an existing one.
// Returns the reason of a failure, empty on success.
QString writeFileSafely(const QString& path, const QByteArray& bytes);

// `lines`, each ended by CR LF, in `charset`, written as writeFileSafely does.
QString writeTextFile(const QString& path, const QStringList& lines, const QByteArray& charset);

}  // namespace kelvora
