#pragma once

namespace kelvora {

// For a run that ends without a window: the toolkit's own warnings (such as QStandardPaths'
// about XDG_RUNTIME_DIR) stay off stderr, which carries the program's one-line messages.
void silenceToolkitMessages();

// The system's reasons (strerror, and the toolkit's texts built on it) in English, as every
// other word of the command line is; call after the application object set the locale.
void useEnglishSystemMessages();

}  // namespace kelvora
