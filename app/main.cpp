#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <memory>

#include "app/archive_command.h"
#include "app/archive_location.h"
#include "app/argument_text.h"
#include "app/command_line.h"
#include "app/demo_meter.h"
#include "app/display_check.h"
#include "app/form1.h"
#include "app/report_command.h"
#include "app/soil_command.h"
#include "formats/replace_file.h"
#include "platform/command_line_run.h"
#include "platform/parent_console.h"
#include "platform/pty_meter.h"
#include "platform/quit_on_signal.h"
#include "platform/real_seams.h"

namespace {

constexpr int kDemoPort = 3;

void printTo(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

bool reportBadCommandLine(const QString& program, const kelvora::CommandLine& line) {
    if (line.ok()) {
        return false;
    }
    // One line, as every message of a command-line run is; the usage is a --help away.
    printTo(stderr, program + QStringLiteral(": ") + line.error +
                        QStringLiteral(" (see %1 --help)\n").arg(program));
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    kelvora::useParentConsole();
    QStringList raw;
    for (int k = 1; k < argc; ++k) {
        raw << QString::fromLocal8Bit(argv[k]);
    }
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    if (const QString bad = kelvora::unreadableArgument(argc, argv); !bad.isEmpty()) {
        printTo(stderr, program + QStringLiteral(": \"") + bad +
                            QStringLiteral("\" is not text in this system's character set"
                                           " (see %1 --help)\n")
                                .arg(program));
        return 2;
    }
    // A bad option of ours, or --help, is answered even where the window could not open at all.
    const kelvora::CommandLine early = kelvora::parseCommandLine(kelvora::ownOptions(raw));
    if (reportBadCommandLine(program, early)) {
        return 2;
    }
    if (early.help) {
        printTo(stdout, kelvora::commandLineUsage(program));
        return 0;
    }
    if (early.version) {
        printTo(stdout, QStringLiteral("kelvora " KELVORA_VERSION "\n"));
        return 0;
    }
    if (!early.soilModelFile.isEmpty() || !early.reportPdf.isEmpty() || early.archiveCommand()) {
        kelvora::silenceToolkitMessages();
    }
    if (!early.soilModelFile.isEmpty()) {
        const kelvora::SoilCommandResult result =
            kelvora::runSoilModelCommand(early.soilModelFile, early.layers);
        std::fwrite(result.output.constData(), 1, size_t(result.output.size()), stdout);
        if (!result.error.isEmpty()) {
            printTo(stderr, program + QStringLiteral(": ") + result.error + QLatin1Char('\n'));
        }
        return result.exitCode;
    }

    if (early.archiveCommand()) {
        QCoreApplication headless(argc, argv);
        kelvora::useEnglishSystemMessages();
        const kelvora::ArchiveCommandResult result = kelvora::runArchiveCommand(early);
        std::fwrite(result.output.constData(), 1, size_t(result.output.size()), stdout);
        if (!result.error.isEmpty()) {
            printTo(stderr, program + QStringLiteral(": ") + result.error + QLatin1Char('\n'));
        }
        return result.exitCode;
    }

    if (!early.reportPdf.isEmpty()) {
#ifdef Q_OS_LINUX
        // A report needs fonts and painting but no window: headless, with or without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
#endif
        kelvora::ignoreFileSizeSignal();
        QApplication headless(argc, argv);
        kelvora::useEnglishSystemMessages();
        // The report is written in the language the windows would show.
        kelvora::InterfaceLanguage language;
        language.show(early.language.value_or(kelvora::InterfaceLanguage::remembered()));
        QString error;
        const int code =
            kelvora::runReportCommand(early.reportRecords, early.reportPdf, early.limitOhm, &error,
                                      early.site, early.archiveFile);
        if (code != 0) {
            printTo(stderr, program + QStringLiteral(": ") + error + QLatin1Char('\n'));
        }
        return code;
    }

    if (const QString why = kelvora::missingDisplay(raw); !why.isEmpty()) {
        printTo(stderr, program + QStringLiteral(": no display (") + why + QStringLiteral(")\n"));
        return 1;
    }
    auto displayGuard = std::make_unique<kelvora::DisplayGuard>(program);
    QApplication app(argc, argv);
    displayGuard.reset();
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const kelvora::CommandLine line = kelvora::parseCommandLine(arguments);
    if (reportBadCommandLine(program, line)) {
        return 2;
    }

    // The demo meter outlives the window, which holds its port open until the end.
    std::unique_ptr<kelvora::PtyMeter> demoMeter;
    kelvora::PortMap ports;
    if (line.demo) {
        demoMeter = std::make_unique<kelvora::PtyMeter>();
        QString why;
        if (!demoMeter->start(&why)) {
            printTo(stderr, program + QStringLiteral(": the demo meter cannot start: ") + why +
                                QLatin1Char('\n'));
            return 1;
        }
        demoMeter->withSimulator(
            [](kelvora::MeterSimulator& meter) { kelvora::demo::configure(meter); });
        ports.assign(kDemoPort, demoMeter->devicePath());
    } else {
        ports = kelvora::PortMap::fromSystem();
    }
    for (auto it = line.ports.cbegin(); it != line.ports.cend(); ++it) {
        ports.assign(it.key(), it.value());
    }

    kelvora::quitEventLoopOnSignals();
    kelvora::InterfaceLanguage::overrideForThisRun(line.language);
    kelvora::overrideArchiveLocationForThisRun(line.archiveFile);
    kelvora::Form1 window(kelvora::makeRealSeams(ports));
    window.show();
    return app.exec();
}
