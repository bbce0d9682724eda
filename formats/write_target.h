#pragma once

#include <QString>

namespace kelvora {

// Why a file may not be put in the place of `path`: no name, or something there that is not
// a regular file (a device, FIFO, socket or folder), which a rename would replace. A symbolic
// link to a regular file is followed; a name not yet taken is fine.
enum class WriteTargetFault { None, NoName, NotRegular };
WriteTargetFault writeTargetFault(const QString& path);

// Whether the two names lead to the same file (device and inode), whatever the spelling, link
// or hard link. False when either does not exist.
bool sameFile(const QString& a, const QString& b);

// The window's reason for refusing `path`, in the language shown; empty when it may be written.
QString writeTargetRefusal(const QString& path);

}  // namespace kelvora
