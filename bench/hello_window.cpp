// The peer of the start-up figure: a Qt Widgets hello-world measured as the program is.
// Prints "startup_ms" (process start to the window's first show event) and "peak_kb" (peak
// resident memory once the window has been painted). With "--sized W H" the window has that
// size and a Chinese text, for a peer whose backing store and fonts match the program's.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#include "bench/process_stats.h"

namespace {

class FirstShow : public QObject {
public:
    double startupMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && startupMs < 0) {
            startupMs = kelvora::bench::millisecondsSinceProcessStart();
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Hello, world"));
    if (argc == 4 && QString::fromLatin1(argv[1]) == QLatin1String("--sized")) {
        window.setText(QString::fromUtf8("你好，世界"));
        window.resize(QString::fromLatin1(argv[2]).toInt(), QString::fromLatin1(argv[3]).toInt());
    }
    FirstShow watch;
    window.installEventFilter(&watch);
    window.show();
    QTimer::singleShot(300, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("startup_ms %.3f\npeak_kb %ld\n", watch.startupMs,
                kelvora::bench::statusKilobytes("VmHWM"));
    return 0;
}
