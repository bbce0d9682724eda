#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>
#include <csignal>

#include "export/text_lines.h"
#include "platform/xls_workbook.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

class SaveCommand : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm(folder, "UTF-8", [] { return makeXlsWorkbook(); });
    }
    void save(bool liveTab, int type, const QString& path, std::function<void()> whileOpen = {}) {
        t->form->liveView = liveTab;
        t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, type, whileOpen});
        t->form->Command2_Click();
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath("Kelvora");
    std::unique_ptr<TestForm> t;
};

// Cancel writes nothing and says nothing, but the default folder is created for the dialog.
TEST_F(SaveCommand, EachTabPreparesItsDialogAndCancelWritesNothing) {
    const QString date = QLocale::system().toString(t->clock->now().date(), QLocale::ShortFormat);
    for (bool live : {true, false}) {
        SCOPED_TRACE(live);
        QDir(folder).removeRecursively();
        t->form->liveView = live;
        t->form->Command2_Click();  // no answer queued: cancelled
        EXPECT_EQ(t->dialog->shownFileNames.last(), QStringLiteral("Kelvora") + fileNameDate(date));
        EXPECT_EQ(t->dialog->shownFilters.last(),
                  live ? QStringLiteral("jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|")
                       : QStringLiteral("txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|"));
        EXPECT_EQ(t->dialog->shownDefaultExts.last(), live ? ".jpg" : ".txt");
        EXPECT_EQ(t->dialog->shownInitDirs.last(), folder);
        EXPECT_EQ(t->dialog->shownFlags.last(), 2);
        EXPECT_TRUE(QFileInfo(folder).isDir() && QDir(folder).isEmpty());
        EXPECT_TRUE(t->messages->shown.isEmpty());
    }
    EXPECT_EQ(t->clipboard->sets, 1);  // the picture taken before the dialog opened
    EXPECT_EQ(fileNameDate(QStringLiteral("2026/12/6")), QStringLiteral("2026-12-6"));
}

// A default folder that can be neither found nor created (a file holds its name): the dialog
// starts in the home folder and the save still works.
TEST_F(SaveCommand, AnUnusableDefaultFolderStartsTheDialogAtHome) {
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath("reading.txt");
    save(true, 2, path);
    EXPECT_EQ(t->dialog->shownInitDirs.last(), QDir::homePath());
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

// The dialog remembers the type picked last, by either tab; the next Save guesses the
// extension, and on the live tab whether to take the picture before the dialog opens, from it.
// When text was guessed but the picture picked, the picture is taken after the dialog closes.
// The picture is the window (not what another program put on the clipboard meanwhile),
// encoded as its name says.
TEST_F(SaveCommand, TypeIndexIsSharedByBothTabs) {
    const struct {
        bool liveTab;
        int picked;
        const char* proposed;
        bool pictureBefore;
        const char* name;
        QByteArray magic;
    } steps[] = {{true, 2, ".jpg", true, "s.txt", {}},
                 {true, 2, ".txt", false, "s.txt", {}},
                 {false, 2, ".xls", false, "s.xls", {}},
                 {true, 1, ".txt", false, "s.png", QByteArray::fromHex("89504E470D0A1A0A")},
                 {false, 1, ".txt", false, "s.txt", {}},
                 {true, 1, ".jpg", true, "s.jpg", QByteArray::fromHex("FFD8FF")},
                 {true, 1, ".jpg", true, "s.bmp", "BM"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const int setsBefore = t->clipboard->sets;
        bool pictureBefore = false;
        save(step.liveTab, step.picked, dir.filePath(step.name), [&] {
            pictureBefore = t->clipboard->sets > setsBefore;
            t->clipboard->held = QImage(3, 3, QImage::Format_RGB32);
        });
        EXPECT_EQ(t->dialog->shownDefaultExts.last(), step.proposed);
        EXPECT_EQ(pictureBefore, step.pictureBefore);
        EXPECT_EQ(t->dialog->filterIndex, step.picked);
        if (!step.magic.isEmpty()) {
            EXPECT_TRUE(readBytes(dir.filePath(step.name)).startsWith(step.magic));
            EXPECT_EQ(QImage(dir.filePath(step.name)).size(), t->form->grab().size());
        }
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

#ifndef _WIN32  // POSIX file-size limits stand in for a full disk
// A folder that cannot be written (not even by root), and a full disk as the process sees it
// (writes past the file size limit fail): one warning with the path and the reason; the old
// file survives whole and no temporary is left.
TEST_F(SaveCommand, FailuresAreReportedAndKeepTheOldFile) {
    const QByteArray old = "old contents that must survive\r\n";
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    for (const auto& [liveTab, type] : {std::pair{true, 1}, {true, 2}, {false, 1}, {false, 2}}) {
        QTemporaryDir target;
        const QString full = target.filePath("saved.file");
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        for (const QString& path : {QStringLiteral("/proc/kelvora-save.x"), full}) {
            SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(path).arg(liveTab).arg(type).toStdString());
            const rlimit limit = {path == full ? 16 : saved.rlim_cur, saved.rlim_max};
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
            save(liveTab, type, path);
            setrlimit(RLIMIT_FSIZE, &saved);
            ASSERT_EQ(t->messages->shown.size(), 1);
            const FakeMessageBoxes::Shown shown = t->messages->shown.takeFirst();
            EXPECT_EQ(shown.title, QStringLiteral("保存失败"));
            EXPECT_TRUE(shown.text.startsWith(path + "\n")) << shown.text.toStdString();
            EXPECT_GT(shown.text.size(), path.size() + 1);  // and the reason
        }
        EXPECT_EQ(readBytes(full), old);
        EXPECT_EQ(
            QDir(target.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            QStringList{"saved.file"});
    }
    std::signal(SIGXFSZ, oldHandler);
}
#endif

}  // namespace
}  // namespace kelvora::testing
