#include "app/argument_text.h"

#include <QByteArray>

namespace kelvora {

QString unreadableArgument(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return {};  // the toolkit takes the arguments from the wide command line there
#else
    for (int k = 1; k < argc; ++k) {
        const QByteArray bytes(argv[k]);
        if (QString::fromLocal8Bit(bytes).toLocal8Bit() == bytes) {
            continue;
        }
        QString shown;
        for (const char byte : bytes) {
            const auto code = static_cast<unsigned char>(byte);
            shown +=
                code >= 0x20 && code < 0x7F
                    ? QString(QLatin1Char(byte))
                    : QStringLiteral("\\x") +
                          QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        }
        return shown;
    }
    return {};
#endif
}

}  // namespace kelvora
