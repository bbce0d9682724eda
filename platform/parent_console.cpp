#include "platform/parent_console.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <cstdio>
#endif

namespace kelvora {

void useParentConsole() {
#ifdef Q_OS_WIN
    // Redirected output already has its handles; only a bare start needs the console.
    if (GetStdHandle(STD_ERROR_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

}  // namespace kelvora
