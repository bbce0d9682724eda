#include "app/display_check.h"

#include <QByteArray>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace kelvora {

namespace {

QString& programName() {
    static QString name;
    return name;
}

// The platform's own complaints while it starts; the first one says why it did not.
QList<QPair<QtMsgType, QString>>& held() {
    static QList<QPair<QtMsgType, QString>> messages;
    return messages;
}

void onStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        held().append({type, text});
        Q_UNUSED(context);
        return;
    }
    QString why = held().isEmpty() ? text.section(QLatin1Char('\n'), 0, 0) : held().first().second;
    why.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString line =
        programName() + QStringLiteral(": no display (") + why.trimmed() + QStringLiteral(")\n");
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);  // the toolkit is half set up: nothing more is to be run
}

}  // namespace

QString missingDisplay(const QStringList& arguments) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const qsizetype asked = arguments.indexOf(QStringLiteral("-platform"));
    const QString platform =
        (asked >= 0 && asked + 1 < arguments.size() ? arguments[asked + 1]
                                                    : qEnvironmentVariable("QT_QPA_PLATFORM"))
            .section(QLatin1Char(':'), 0, 0);
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty()) {
        return x11 || wayland ? QString()
                              : QStringLiteral("DISPLAY and WAYLAND_DISPLAY are not set");
    }
    if (platform == QLatin1String("xcb") && !x11) {
        return QStringLiteral("DISPLAY is not set");
    }
    if (platform.startsWith(QLatin1String("wayland")) && !wayland) {
        return QStringLiteral("WAYLAND_DISPLAY is not set");
    }
#else
    Q_UNUSED(arguments);
#endif
    return {};  // offscreen, minimal, vnc ... need none
}

DisplayGuard::DisplayGuard(const QString& program) {
    programName() = program;
    held().clear();
    previous_ = qInstallMessageHandler(onStartMessage);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous_);
    // The platform started after all: what it said is passed on as it would have been.
    for (const auto& [type, text] : std::as_const(held())) {
        qt_message_output(type, QMessageLogContext(), text);
    }
    held().clear();
}

}  // namespace kelvora
