#pragma once

#include <QString>

namespace kelvora {

// The first argument that is not text in the system's character set (a device path with a
// stray byte), shown with its bytes escaped ("/tmp/\xFF"); empty when all are. Such an argument
// would turn into another path and silently never open.
QString unreadableArgument(int argc, char* argv[]);

}  // namespace kelvora
