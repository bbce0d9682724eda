#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>

#include "formats/text_lines.h"
#include "formats/xls_workbook.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// Regional settings of the systems the captions are written for, read when Qt starts.
const bool kChineseSystem = qputenv("LC_ALL", "zh_CN.UTF-8");

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
    ASSERT_TRUE(kChineseSystem && QLocale::system().name() == QStringLiteral("zh_CN"));
    for (bool live : {true, false}) {
        SCOPED_TRACE(live);
        QDir(folder).removeRecursively();
        t->form->liveView = live;
        t->form->Command2_Click();  // no answer queued: cancelled
        EXPECT_EQ(t->dialog->shownSaves.last(),
                  QStringList({"Kelvora2026-12-6",
                               live ? "jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|"
                                    : "txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|"
                                      "CSV 文件(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx|",
                               live ? ".jpg" : ".txt", folder}));
        EXPECT_EQ(t->dialog->shownFlags.last(), 2);
        EXPECT_TRUE(QFileInfo(folder).isDir() && QDir(folder).isEmpty());
        EXPECT_TRUE(t->messages->shown.isEmpty());
    }
    EXPECT_EQ(t->clipboard->sets, 1);  // the picture taken before the dialog opened
    ASSERT_TRUE(QDir(folder).removeRecursively() && writeBytes(folder, "not a folder"));
    t->form->Command2_Click();  // a folder that cannot be made: the dialog starts at home
    EXPECT_EQ(t->dialog->shownSaves.last()[3], QDir::homePath());
    // Other regional dates: no extension-like dots, nothing a file name cannot hold.
    for (const auto& [date, name] :
         {std::pair{"06.12.26", "06-12-26"}, {"6:12:26", "6-12-26"}, {"2026\\12|6", "2026-12-6"}})
        EXPECT_EQ(fileNameDate(QString::fromLatin1(date)), QString::fromLatin1(name));
}

// The type picked last, on either tab, sets the next proposed extension and whether the window
// picture is taken before the dialog opens (else after it closes, never another program's
// picture); the picture is encoded as its name says.
TEST_F(SaveCommand, TypeIndexIsSharedByBothTabs) {
    // On the live tab?, type picked, extension proposed, picture before the dialog?, file, magic.
    const std::tuple<bool, int, const char*, bool, const char*, QByteArray> steps[] = {
        {true, 2, ".jpg", true, "s.txt", {}},
        {true, 2, ".txt", false, "s.txt", {}},
        {false, 2, ".xls", false, "s.xls", {}},
        {true, 1, ".txt", false, "s.png", QByteArray::fromHex("89504E470D0A1A0A")},
        {false, 1, ".txt", false, "s.txt", {}},
        {true, 1, ".jpg", true, "s.jpg", QByteArray::fromHex("FFD8FF")},
        {true, 1, ".jpg", true, "s.bmp", "BM"}};
    for (const auto& [liveTab, picked, proposed, takenBefore, name, magic] : steps) {
        SCOPED_TRACE(name);
        const int setsBefore = t->clipboard->sets;
        bool pictureBefore = false;
        save(liveTab, picked, dir.filePath(name), [&] {
            pictureBefore = t->clipboard->sets > setsBefore;
            t->clipboard->held = QImage(3, 3, QImage::Format_RGB32);
        });
        EXPECT_EQ(t->dialog->shownSaves.last()[2], proposed);
        EXPECT_EQ(pictureBefore, takenBefore);
        EXPECT_EQ(t->dialog->filterIndex, picked);
        if (!magic.isEmpty()) {
            EXPECT_TRUE(readBytes(dir.filePath(name)).startsWith(magic));
            EXPECT_EQ(QImage(dir.filePath(name)).size(), t->form->grab().size());
        }
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

#ifndef _WIN32  // POSIX file-size limits stand in for a full disk
// An unwritable folder, a full disk (past the file size limit: a large workbook fails at once, a
// small one when flushed) and no spreadsheet writer: one warning with the path and the reason,
// the old file whole, no temporary left. SIGXFSZ stays at its default: the program must cope.
TEST_F(SaveCommand, FailuresAreReportedAndKeepTheOldFile) {
    const QByteArray old = "old contents that must survive\r\n";
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    for (const auto& [liveTab, type, records, writer] : {std::tuple{true, 1, 0, true},
                                                         {true, 2, 0, true},
                                                         {false, 1, 0, true},
                                                         {false, 2, 0, true},
                                                         {false, 2, 2000, true},
                                                         {false, 2, 0, false}}) {
        t = makeTestForm(folder, "UTF-8", [writes = writer] {
            return writes ? makeXlsWorkbook() : std::unique_ptr<Spreadsheet>();
        });
        fillTable(*t->form, QList<QStringList>(records, QStringList(8, QStringLiteral("12.5"))));
        QTemporaryDir target;
        const QString full = target.filePath("saved.file");
        ASSERT_TRUE(writeBytes(full, old));
        for (const QString& path : {QStringLiteral("/proc/kelvora-save.x"), full}) {
            SCOPED_TRACE(::testing::Message()
                         << path.toStdString() << liveTab << type << records << writer);
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
}
#endif

}  // namespace
}  // namespace kelvora::testing
