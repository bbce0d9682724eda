#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "app/archive_session.h"
#include "app/archive_window.h"
#include "app/demo_meter.h"
#include "app/record_chart_window.h"
#include "app/record_table.h"
#include "app/report_dialog.h"
#include "app/twip_label.h"
#include "formats/xls_workbook.h"
#include "modbus/meter_simulator.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

const QString kTsFile = QStringLiteral(KELVORA_SOURCE_DIR "/translations/kelvora_en.ts");
// Shown as they are in both languages, so that either reader finds the way back.
const QStringList kBilingual = {QStringLiteral("语言 / Language"), QStringLiteral("中文")};
const QRegularExpression kHan(QStringLiteral("\\p{Han}"));

struct Message {
    QString source, translation;
};

QList<Message> translationFile() {
    QFile file(kTsFile);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << kTsFile.toStdString();
    QXmlStreamReader xml(&file);
    QList<Message> messages;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("source")) {
            messages.append({xml.readElementText(), {}});
        } else if (xml.name() == QLatin1String("translation") && !messages.isEmpty()) {
            messages.last().translation = xml.readElementText();
        }
    }
    return messages;
}

// The English the file gives for a Chinese text shown, placeholders filled in as shown; the
// text itself where no message matches (numbers, units, the meter's own captions).
QString englishFor(const QString& shown, const QList<Message>& messages) {
    const Message* best = nullptr;
    QStringList arguments;
    for (const Message& message : messages) {
        if (message.source == shown) {
            return message.translation;
        }
        QStringList parts = message.source.split(QRegularExpression(QStringLiteral("%\\d")));
        for (QString& part : parts) {
            part = QRegularExpression::escape(part);
        }
        const QString pattern = parts.join(QStringLiteral("(.*)"));
        const QRegularExpressionMatch match =
            QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$')).match(shown);
        if (match.hasMatch() && (best == nullptr || message.source.size() > best->source.size())) {
            best = &message;
            arguments = match.capturedTexts().mid(1);
        }
    }
    if (best == nullptr) {
        return shown;
    }
    QString english = best->translation;
    for (int k = 0; k < arguments.size(); ++k) {
        english.replace(QStringLiteral("%%1").arg(k + 1), arguments[k]);
    }
    return english;
}

// Every text the windows show, keyed by the object and the place in it.
QMap<QString, QString> shownTexts(const QList<QWidget*>& windows) {
    QMap<QString, QString> texts;
    const auto add = [&texts](const QObject* object, const QString& place, const QString& text) {
        if (!text.isEmpty()) {
            texts.insert(QString::number(quintptr(object), 16) + QLatin1Char('/') + place, text);
        }
    };
    for (QWidget* window : windows) {
        add(window, QStringLiteral("title"), window->windowTitle());
        for (QObject* object : window->findChildren<QObject*>()) {
            if (auto* button = qobject_cast<QAbstractButton*>(object)) {
                add(button, QStringLiteral("text"), button->text());
            } else if (auto* label = qobject_cast<QLabel*>(object)) {
                add(label, QStringLiteral("text"), label->text());
            } else if (auto* tabs = qobject_cast<QTabBar*>(object)) {
                for (int k = 0; k < tabs->count(); ++k) {
                    add(tabs, QStringLiteral("tab%1").arg(k), tabs->tabText(k));
                }
            } else if (auto* table = qobject_cast<QTableWidget*>(object)) {
                for (int c = 0; c < table->columnCount(); ++c) {
                    add(table, QStringLiteral("header%1").arg(c),
                        table->horizontalHeaderItem(c)->text());
                }
            } else if (auto* combo = qobject_cast<QComboBox*>(object)) {
                for (int k = 0; k < combo->count(); ++k) {
                    add(combo, QStringLiteral("item%1").arg(k), combo->itemText(k));
                }
            } else if (auto* action = qobject_cast<QAction*>(object)) {
                add(action, QStringLiteral("text"), action->text());
            }
            if (auto* widget = qobject_cast<QWidget*>(object)) {
                add(widget, QStringLiteral("tip"), widget->toolTip());
            }
        }
    }
    return texts;
}

QStringList sorted(QStringList texts) {
    texts.sort();
    return texts;
}

class InterfaceLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
        t = makeTestForm(dir.filePath("Kelvora"), "UTF-8", [] { return makeXlsWorkbook(); });
    }
    // The demo meter's stored records as a download writes them: a soil survey and each other
    // mode, an overload among them.
    void download() {
        const QList<MeterReading> demo = demo::storedRecords();
        for (int k = 0; k < 20; ++k) {
            const std::optional<Reading> reading =
                parseReading(meterFrame(QByteArray("\x01\x03\x0A", 3) + demo[k].dataBytes()));
            writeRecordRow(*t->form, k + 1, &*reading);
        }
        t->form->recordTotal = 20;
    }
    void choose(Language language) {
        (language == Language::English ? t->form->mnuenglish : t->form->mnuchinese)->trigger();
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
};

// The main window, the chart window, the report dialog and the archive window word every text
// as the translation file says, in English and back in Chinese, while the values stay.
TEST_F(InterfaceLanguageTest, EveryShownTextFollowsTheTranslationFile) {
    download();
    t->port->openResults = {{3, OpenResult::InUse}};
    t->form->comopen(3);
    t->form->mnuchart->trigger();
    t->form->mnureport->trigger();
    t->form->archiveSession->setPath(dir.filePath("archive.sqlite"));
    t->form->mnuarchive->trigger();
    const QList<QWidget*> windows = {t->form.get(), t->form->chartWindow,
                                     t->form->findChild<ReportDialog*>(),
                                     t->form->archiveSession->window()};
    const QString reading = t->form->r[0]->caption();
    const QMap<QString, QString> chinese = shownTexts(windows);
    EXPECT_GT(chinese.size(), 80);

    choose(Language::English);
    const QList<Message> messages = translationFile();
    const QMap<QString, QString> english = shownTexts(windows);
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        if (chinese.contains(it.key())) {
            EXPECT_EQ(it.value().toStdString(),
                      englishFor(chinese[it.key()], messages).toStdString());
        }
        EXPECT_TRUE(kBilingual.contains(it.value()) || !it.value().contains(kHan))
            << it.value().toStdString();
    }
    EXPECT_EQ(t->form->Label1->caption(), "COM3 busy");
    EXPECT_EQ(t->form->grid->cells().text(1, 2), QStringLiteral("321.5Ωm"));

    choose(Language::Chinese);
    EXPECT_EQ(sorted(shownTexts(windows).values()), sorted(chinese.values()));
    EXPECT_EQ(t->form->r[0]->caption(), reading);
    EXPECT_EQ(t->form->grid->cells().rows(), 21);
}

// Each English text fits its fixed control at the window's fonts, as the Chinese ones do.
TEST_F(InterfaceLanguageTest, TextsFitTheirControls) {
    Form1& f = *t->form;
    for (const Language language : {Language::Chinese, Language::English}) {
        choose(language);
        for (QPushButton* button :
             {f.Command1, f.Command2, f.Command3, f.Command4, f.Command5, f.Command6}) {
            EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()),
                      button->width() - 8)
                << button->text().toStdString();
        }
        QStringList labelTexts;
        for (int port = 1; port <= 16; ++port) {
            for (const OpenResult result : {OpenResult::Ok, OpenResult::InUse,
                                            OpenResult::InvalidPort, OpenResult::OtherFailure}) {
                labelTexts << LinkCaptions::portText(port, result);
            }
        }
        for (const bool up : {false, true}) {
            LinkCaptions captions;
            captions.setLinkUp(up);
            labelTexts << captions.portText() << captions.linkText();
        }
        for (const QString& text : labelTexts) {
            EXPECT_LE(QFontMetrics(f.Label1->font()).horizontalAdvance(text),
                      f.Label1->contentsRect().width())
                << text.toStdString();
        }
        const QTabBar& tabs = *f.TabStrip1;
        EXPECT_LE(tabs.tabRect(1).right(), tabs.width());
        for (int k = 0; k < tabs.count(); ++k) {
            EXPECT_LE(QFontMetrics(tabs.font()).horizontalAdvance(tabs.tabText(k)),
                      tabs.tabRect(k).width());
        }
        // The longest download progress, left of its bar.
        const QLabel& panel = *f.StatusBar1Panels[1];
        const QString progress = Form1::tr("读取记录 %1/%2").arg(32767).arg(32767);
        EXPECT_LE(QFontMetrics(panel.font()).horizontalAdvance(progress) + panel.indent(),
                  f.downloadProgress->x())
            << progress.toStdString();
    }
}

// The files the program has always written, and the printed lines, are the same bytes in
// English; only the Save dialog's type names follow the language.
TEST_F(InterfaceLanguageTest, FilesAndPrintedLinesDoNotFollowTheLanguage) {
    download();
    QMap<QString, QByteArray> written[2];
    QStringList typeLists[2];
    for (const Language language : {Language::Chinese, Language::English}) {
        choose(language);
        const int l = int(language);
        for (const bool live : {true, false}) {
            t->form->liveView = live;
            for (int type = live ? 2 : 1; type <= (live ? 2 : 4); ++type) {
                const QString path =
                    dir.filePath(QStringLiteral("%1-%2-%3").arg(l).arg(live).arg(type));
                t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, type, {}});
                t->form->Command2_Click();
                written[l].insert(QStringLiteral("%1-%2").arg(live).arg(type), readBytes(path));
                typeLists[l] << t->dialog->shownSaves.last()[1];
            }
            t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, QString(), 0, {}});
            t->printer->lines.clear();
            t->form->Command4_Click();
            written[l].insert(QStringLiteral("%1-printed").arg(live),
                              t->printer->lines.join('\n').toUtf8());
        }
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
    // The .xlsx holds the time it was written; its parts but the document properties must match.
    for (const QString& key : written[0].keys()) {
        if (key != QLatin1String("0-4")) {
            EXPECT_EQ(written[0][key], written[1][key]) << key.toStdString();
        }
    }
    EXPECT_EQ(typeLists[1][1],
              "Text file (*.txt)|*.txt|Excel 97-2003 workbook (*.xls)|*.xls|"
              "CSV file (*.csv)|*.csv|Excel workbook (*.xlsx)|*.xlsx|");
#ifndef _WIN32
    const auto parts = [this](int l) {
        QProcess unzip;
        unzip.start("python3", {"-c",
                                "import sys,zipfile\n"
                                "z=zipfile.ZipFile(sys.argv[1])\n"
                                "for n in sorted(z.namelist()):\n"
                                "  if n!='docProps/core.xml': sys.stdout.buffer.write(z.read(n))",
                                dir.filePath(QStringLiteral("%1-0-4").arg(l))});
        unzip.waitForFinished(60000);
        return unzip.readAllStandardOutput();
    };
    const QByteArray chineseParts = parts(0);
    EXPECT_TRUE(chineseParts.contains("土壤模型"));
    EXPECT_EQ(chineseParts, parts(1));
#endif
}

// A type list's translation keeps every pattern, in order, so the types keep their positions.
TEST_F(InterfaceLanguageTest, TypeListTranslationsKeepTheirPatterns) {
    int lists = 0;
    for (const Message& message : translationFile()) {
        if (!message.source.endsWith(QLatin1Char('|'))) {
            continue;
        }
        ++lists;
        const QStringList source = message.source.split(QLatin1Char('|'));
        const QStringList english = message.translation.split(QLatin1Char('|'));
        ASSERT_EQ(source.size(), english.size()) << message.translation.toStdString();
        for (qsizetype k = 1; k < source.size(); k += 2) {
            EXPECT_EQ(source[k], english[k]);
            EXPECT_TRUE(english[k - 1].endsWith(QStringLiteral("(%1)").arg(source[k])));
        }
    }
    EXPECT_EQ(lists, 6);
}

// The choice outlives the window; --lang overrides it for one run; a language the program does
// not know starts Chinese. Qt's own texts follow.
TEST_F(InterfaceLanguageTest, ChoiceIsRememberedAcrossInstances) {
    EXPECT_EQ(t->form->Command1->text(), "读取");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "取消");
    for (QAction* item : t->form->mnulanguage->actions()) {
        EXPECT_TRUE(item->isEnabled() && !item->isCheckable());
    }
    choose(Language::English);
    t.reset();
    t = makeTestForm();
    EXPECT_EQ(t->form->Command1->text(), "Read");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    choose(Language::Chinese);
    t.reset();
    t = makeTestForm();
    EXPECT_EQ(t->form->Command1->text(), "读取");

    InterfaceLanguage::overrideForThisRun(Language::English);
    t.reset();
    t = makeTestForm();
    InterfaceLanguage::overrideForThisRun(std::nullopt);
    EXPECT_EQ(t->form->Command1->text(), "Read");
    EXPECT_EQ(InterfaceLanguage::remembered(), Language::Chinese);

    QSettings(QSettings::IniFormat, QSettings::UserScope, "Kelvora", "Kelvora")
        .setValue("interface/language", "fr");
    t.reset();
    t = makeTestForm();
    EXPECT_EQ(t->form->Command1->text(), "读取");
}

#ifndef _WIN32
// Every text marked for translation has its English, and the file holds nothing else: lupdate
// run over the sources changes nothing in it.
TEST(TranslationFile, LupdateFindsNothingNewOrGone) {
    QFile committed(kTsFile);
    ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
    const QByteArray before = committed.readAll();
    for (const char* mark : {"type=\"unfinished\"", "type=\"vanished\"", "type=\"obsolete\""}) {
        EXPECT_FALSE(before.contains(mark)) << mark;
    }
    QTemporaryDir dir;
    const QString copy = dir.filePath("kelvora_en.ts");
    ASSERT_TRUE(writeBytes(copy, before));
    QStringList arguments;
    for (const char* folder : {"app", "platform", "archive", "report", "visit", "charts", "print",
                               "files", "seams", "soil", "modbus", "records", "formats", "look"}) {
        arguments << QStringLiteral(KELVORA_SOURCE_DIR "/") + folder;
    }
    // Include paths as the build gives them, so that handlers of the window defined in other
    // folders are known as the window's.
    arguments << "-I" << KELVORA_SOURCE_DIR;
    arguments << "-locations"
              << "none"
              << "-source-language"
              << "zh_CN"
              << "-ts" << copy;
    QProcess lupdate;
    lupdate.start(QStringLiteral(KELVORA_LUPDATE), arguments);
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(readBytes(copy)), QString::fromUtf8(before))
        << lupdate.readAllStandardOutput().toStdString();
}
#endif

}  // namespace
}  // namespace kelvora::testing
