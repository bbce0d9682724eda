#include "platform/command_line_run.h"

#include <QString>
#include <QtGlobal>
#include <clocale>
#include <cstdio>

namespace kelvora {

namespace {

void dropMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {  // the toolkit ends the program next: say why, on one line
        std::fprintf(stderr, "%s\n", qUtf8Printable(message.simplified()));
    }
}

}  // namespace

void silenceToolkitMessages() {
    qInstallMessageHandler(dropMessage);
}

void useEnglishSystemMessages() {
#ifdef LC_MESSAGES
    std::setlocale(LC_MESSAGES, "C");
#endif
}

}  // namespace kelvora
