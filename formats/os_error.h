#pragma once

#include <QString>

namespace kelvora {

// The system's reason for `errorNumber` in English, whatever the user's language, for messages
// that must read the same everywhere (the command line's).
QString englishErrorText(int errorNumber);

}  // namespace kelvora
