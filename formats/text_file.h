#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace kelvora {

// Writes `bytes` to a temporary file beside `path` and puts it in place of `path` only once
// it is complete, so a failure never leaves a half-written file or harms an existing one.
// Returns the reason of a failure, empty on success.
QString writeFileSafely(const QString& path, const QByteArray& bytes);

// Receives the lines of a text file one at a time.
using LineSink = std::function<void(const QString& line)>;

// The lines that `produce` hands to its sink, each ended by CR LF, in `charset`, written as
// writeFileSafely does. The text is encoded and written a chunk at a time as the lines come,
// so the whole file is never held in memory.
QString writeTextFile(const QString& path, const QByteArray& charset,
                      const std::function<void(const LineSink&)>& produce);

// `lines`, each ended by CR LF, in `charset`, written as writeFileSafely does.
QString writeTextFile(const QString& path, const QStringList& lines, const QByteArray& charset);

}  // namespace kelvora
