#include "formats/os_error.h"

#include <cstring>

#ifndef _WIN32
#include <locale.h>
#endif

namespace kelvora {

QString englishErrorText(int errorNumber) {
#ifndef _WIN32
    // The C locale's texts are the untranslated English ones.
    static const locale_t plain = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (plain != locale_t(nullptr)) {
        return QString::fromLocal8Bit(strerror_l(errorNumber, plain));
    }
#endif
    return QString::fromLocal8Bit(std::strerror(errorNumber));  // the C runtime's are English
}

}  // namespace kelvora
