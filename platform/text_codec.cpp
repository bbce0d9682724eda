#include "platform/text_codec.h"

namespace kelvora {

QByteArray systemTextCharset() { return QByteArrayLiteral("UTF-8"); }

}  // namespace kelvora
