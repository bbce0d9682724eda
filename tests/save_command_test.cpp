#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>

#include "export/text_lines.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

const QString kReadingTypes = QStringLiteral("jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|");
const QString kRecordTypes = QStringLiteral("txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|");

DialogOutcome accepted() {
    return {DialogOutcome::Accepted, {}};
}
DialogOutcome cancelled() {
    return {DialogOutcome::Cancelled, {}};
}

class SaveCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath("Kelvora");
        t = makeTestForm(folder);
        form = t->form.get();
    }
    void pick(const QString& name, int typeIndex) {
        t->dialog->answers.push_back({accepted(), dir.filePath(name), typeIndex, {}});
    }
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<TestForm> t;
    Form1* form = nullptr;
};

TEST_F(SaveCommand, LiveTabPreparesTheDialogAndTakesAPicture) {
    form->liveView = true;
    form->Command2_Click();
    ASSERT_EQ(t->dialog->saveShows, 1);
    const QString date = QLocale::system().toString(t->clock->now().date(), QLocale::ShortFormat);
    EXPECT_EQ(t->dialog->shownFileNames[0], QStringLiteral("Kelvora") + fileNameDate(date));
    EXPECT_EQ(t->dialog->shownFilters[0], kReadingTypes);
    EXPECT_EQ(t->dialog->shownDefaultExts[0], QStringLiteral(".jpg"));
    EXPECT_EQ(t->dialog->shownInitDirs[0], folder);
    EXPECT_EQ(t->dialog->shownFlags[0], 2);
    EXPECT_TRUE(t->dialog->cancelError);
    EXPECT_EQ(t->clipboard->sets, 1);
    EXPECT_EQ(t->clipboard->held.size(), form->grab().size());
}

TEST_F(SaveCommand, RecordTabPreparesTheDialogWithoutPicture) {
    form->liveView = false;
    form->Command2_Click();
    ASSERT_EQ(t->dialog->saveShows, 1);
    EXPECT_EQ(t->dialog->shownFilters[0], kRecordTypes);
    EXPECT_EQ(t->dialog->shownDefaultExts[0], QStringLiteral(".txt"));
    EXPECT_EQ(t->dialog->shownInitDirs[0], folder);
    EXPECT_EQ(t->dialog->shownFlags[0], 2);
    EXPECT_EQ(t->clipboard->sets, 0);
}

// The dialog object remembers the type picked last, by either behaviour, and the next Save
// guesses the extension (and whether to take a picture) from it.
struct Step {
    bool liveTab;
    int pickedType;
    const char* proposedExtension;
    bool pictureBeforeDialog;
};

TEST_F(SaveCommand, TypeIndexIsSharedByBothBehaviours) {
    const Step steps[] = {
        {true, 2, ".jpg", true},    // first use: the first type
        {true, 2, ".txt", false},   // after a reading file
        {false, 2, ".xls", false},  // record tab after type 2: the workbook
        {true, 1, ".txt", false},   // after a workbook: text guessed, picture picked
        {false, 1, ".txt", false},  // after a picture: the record tab's first type
        {true, 1, ".jpg", true},
    };
    auto log = std::make_shared<RecordingSpreadsheet::Log>();
    form->createSpreadsheet = recordingFactory(log);
    int n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(n);
        const int setsBefore = t->clipboard->sets;
        bool pictureWhileOpen = false;
        FakeClipboard* clipboard = t->clipboard;
        t->dialog->answers.push_back({accepted(), dir.filePath(QStringLiteral("step%1").arg(n++)),
                                      step.pickedType,
                                      [&] { pictureWhileOpen = clipboard->sets > setsBefore; }});
        form->liveView = step.liveTab;
        form->Command2_Click();
        EXPECT_EQ(t->dialog->shownDefaultExts.last(), QString::fromUtf8(step.proposedExtension));
        EXPECT_EQ(pictureWhileOpen, step.pictureBeforeDialog);
        EXPECT_EQ(t->dialog->filterIndex, step.pickedType);
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

TEST_F(SaveCommand, CancelWritesNothingButCreatesTheFolder) {
    for (bool live : {true, false}) {
        QDir(folder).removeRecursively();
        form->liveView = live;
        t->dialog->answers.push_back({cancelled(), {}, 0, {}});
        form->Command2_Click();
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_TRUE(QDir(folder).isEmpty());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                  QStringList{"Kelvora"});
        EXPECT_TRUE(t->messages->shown.isEmpty());
    }
    // The picture taken before the dialog opened stays on the clipboard.
    EXPECT_EQ(t->clipboard->sets, 1);
}

TEST_F(SaveCommand, FolderIsCreatedWithItsParents) {
    auto nested = makeTestForm(dir.filePath("a/b/Kelvora"));
    nested->form->Command2_Click();
    EXPECT_TRUE(QFileInfo(dir.filePath("a/b/Kelvora")).isDir());
    EXPECT_EQ(nested->dialog->shownInitDirs[0], dir.filePath("a/b/Kelvora"));
}

struct PictureCase {
    const char* name;
    QByteArray magic;
    const char* format;
};

TEST_F(SaveCommand, PictureIsEncodedAsItsNameSays) {
    const PictureCase cases[] = {
        {"w.jpg", QByteArray::fromHex("FFD8FF"), "jpeg"},
        {"w.JPEG", QByteArray::fromHex("FFD8FF"), "jpeg"},
        {"w.png", QByteArray::fromHex("89504E470D0A1A0A"), "png"},
        {"w.bmp", QByteArray("BM"), "bmp"},
        {"w", QByteArray::fromHex("FFD8FF"), "jpeg"},
    };
    form->liveView = true;
    const QSize windowSize = form->grab().size();
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        pick(c.name, 1);
        form->Command2_Click();
        const QByteArray bytes = readBytes(dir.filePath(c.name));
        EXPECT_TRUE(bytes.startsWith(c.magic));
        const QImage read = QImage::fromData(bytes, c.format);
        EXPECT_EQ(read.size(), windowSize);
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

TEST_F(SaveCommand, SavedPictureIsTheWindowNotTheClipboard) {
    form->liveView = true;
    QImage stranger(3, 3, QImage::Format_RGB32);
    stranger.fill(Qt::red);
    FakeClipboard* clipboard = t->clipboard;
    // Another program puts its picture on the clipboard while the dialog is open.
    t->dialog->answers.push_back({accepted(), dir.filePath("w.png"), 1,
                                  [clipboard, stranger] { clipboard->held = stranger; }});
    form->Command2_Click();
    const QImage saved(dir.filePath("w.png"));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              form->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(SaveCommand, PictureIsTakenWhenTheDialogClosesIfTextWasGuessed) {
    form->CommonDialog1->filterIndex = 2;  // the last save was a text file
    QImage stale(3, 3, QImage::Format_RGB32);
    stale.fill(Qt::blue);
    t->clipboard->held = stale;
    form->liveView = true;
    pick("late.png", 1);
    form->Command2_Click();
    const QImage saved(dir.filePath("late.png"));
    EXPECT_EQ(saved.size(), form->grab().size());
    EXPECT_EQ(t->clipboard->sets, 1);
    EXPECT_EQ(t->clipboard->held.size(), form->grab().size());
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

TEST_F(SaveCommand, TextTypeAfterAPictureGuessStillLeavesThePictureOnTheClipboard) {
    form->liveView = true;
    pick("reading.txt", 2);
    form->Command2_Click();
    EXPECT_EQ(t->clipboard->sets, 1);
    EXPECT_TRUE(QFileInfo(dir.filePath("reading.txt")).isFile());
}

TEST_F(SaveCommand, ConfirmedReplaceRewritesFromEmpty) {
    const QString path = dir.filePath("reading.txt");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();
    form->liveView = true;
    form->measureMode = 3;
    pick("reading.txt", 2);
    form->Command2_Click();
    EXPECT_EQ(readBytes(path), QByteArray("             V:    0.0 V\r\n"));
}

TEST_F(SaveCommand, BareNameCountsFromTheStartFolder) {
    form->liveView = true;
    form->measureMode = 4;
    t->dialog->answers.push_back({accepted(), QStringLiteral("bare.txt"), 2, {}});
    form->Command2_Click();
    EXPECT_TRUE(QFileInfo(QDir(folder).filePath("bare.txt")).isFile());
}

TEST_F(SaveCommand, WorkbookTypeWritesNoTextFile) {
    auto log = std::make_shared<RecordingSpreadsheet::Log>();
    form->createSpreadsheet = recordingFactory(log);
    form->liveView = false;
    pick("table.xls", 2);
    form->Command2_Click();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("table.xls")));  // the fake writes nothing
    EXPECT_TRUE(log->calls.contains(QStringLiteral("saveAs ") + dir.filePath("table.xls")));
}

struct DateCase {
    const char* shortDate;
    const char* inName;
};

TEST(FileNameDate, ReplacesWhatANameCannotHold) {
    const DateCase cases[] = {
        {"2026/12/6", "2026-12-6"},
        {"6 Dec 2026", "6 Dec 2026"},
        {"06.12.26", "06-12-26"},
        {"12/6/26", "12-6-26"},
        {"2026-12-06", "2026-12-06"},
        {"a:b*c?d\"e<f>g|h\\i", "a-b-c-d-e-f-g-h-i"},
        {"", ""},
    };
    for (const DateCase& c : cases) {
        EXPECT_EQ(fileNameDate(QString::fromUtf8(c.shortDate)), QString::fromUtf8(c.inName))
            << c.shortDate;
    }
}

}  // namespace
}  // namespace kelvora::testing
