#pragma once

namespace kelvora {

// On Windows the program has no console of its own: started from one, its messages (a bad
// option, --help, a demo that cannot start) go to that console. Elsewhere nothing to do.
void useParentConsole();

}  // namespace kelvora
