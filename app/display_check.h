#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace kelvora {

// Why no window can be shown here ("DISPLAY and WAYLAND_DISPLAY are not set"), or empty when
// a display or a platform that needs none is at hand (QT_QPA_PLATFORM, or -platform among the
// arguments). Only Linux and the like can tell early.
QString missingDisplay(const QStringList& arguments);

// While it lives, a platform plugin that fails to load ends the program with one line,
// "<program>: no display (<why>)", and exit code 1, instead of the toolkit's abort.
class DisplayGuard {
public:
    explicit DisplayGuard(const QString& program);
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

private:
    QtMessageHandler previous_;
};

}  // namespace kelvora
