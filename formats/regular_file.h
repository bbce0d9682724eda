#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kelvora {

// The largest input file read: 16 MiB. A full meter's record CSV (32767 records of at most
// ~175 bytes) is under 6 MB; this leaves room for a spreadsheet's re-save with every field
// quoted, or for UTF-16, while no file given by mistake can take the memory.
constexpr qint64 kMaxInputFileBytes = qint64(16) << 20;

// The bytes of `path` when it is a regular file of at most `cap` bytes. A device, FIFO or
// folder is refused at once, without waiting for a writer. Empty with `error` set (English,
// without the file's name) otherwise.
std::optional<QByteArray> readRegularFile(const QString& path, QString* error,
                                          qint64 cap = kMaxInputFileBytes);

}  // namespace kelvora
