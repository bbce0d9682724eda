#include <gtest/gtest.h>

#include <QImage>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "export/text_file.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

DialogOutcome accepted() {
    return {DialogOutcome::Accepted, {}};
}

const QByteArray kOldContents = "old contents that must survive\r\n";

void writeOld(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kOldContents);
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

// What the user tries to save, by tab and type.
struct Kind {
    const char* name;
    bool liveTab;
    int type;
};
const Kind kKinds[] = {{"picture", true, 1}, {"reading", true, 2}, {"records", false, 1}};

class SaveFailures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        t = makeTestForm(dir.filePath("Kelvora"));
        form = t->form.get();
        QList<QStringList> records;
        for (int k = 1; k <= 2000; ++k) {
            records << QStringList{QString::number(k), "12.34KΩ", "", "", "2.00KΩ", "3.00KΩ"};
        }
        fillTable(*form, records);
        form->recordTotal = 2000;
    }
    void save(const Kind& kind, const QString& path) {
        form->liveView = kind.liveTab;
        t->dialog->answers.push_back({accepted(), path, kind.type, {}});
        form->Command2_Click();
    }
    void expectOneWarningAbout(const QString& path) {
        ASSERT_EQ(t->messages->shown.size(), 1);
        EXPECT_EQ(t->messages->shown[0].kind, QStringLiteral("warning"));
        EXPECT_EQ(t->messages->shown[0].title, QStringLiteral("保存失败"));
        EXPECT_TRUE(t->messages->shown[0].text.startsWith(QDir::toNativeSeparators(path)))
            << t->messages->shown[0].text.toStdString();
        // The reason follows the path.
        EXPECT_GT(t->messages->shown[0].text.size(), QDir::toNativeSeparators(path).size() + 1);
        t->messages->shown.clear();
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
    Form1* form = nullptr;
};

TEST_F(SaveFailures, FolderThatCannotBeWrittenIsReported) {
    // Root may write almost anywhere, but not create files in /proc or /sys.
    for (const char* folder : {"/proc", "/sys"}) {
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(std::string(folder) + " " + kind.name);
            const QString path = QString::fromLatin1(folder) + QStringLiteral("/kelvora-save.x");
            save(kind, path);
            expectOneWarningAbout(path);
            EXPECT_FALSE(QFileInfo::exists(path));
        }
    }
}

TEST_F(SaveFailures, FileWhereAFolderIsExpectedIsReported) {
    const QString notAFolder = dir.filePath("plain");
    writeOld(notAFolder);
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const QString path = notAFolder + QStringLiteral("/x.txt");
        save(kind, path);
        expectOneWarningAbout(path);
    }
    EXPECT_EQ(readBytes(notAFolder), kOldContents);
}

TEST_F(SaveFailures, UnusableDefaultFolderStartsTheDialogAtHome) {
    const QString plain = dir.filePath("plain");
    writeOld(plain);
    for (const QString& folder : {plain, QStringLiteral("/proc/kelvora"), QString()}) {
        auto other = makeTestForm(QStringLiteral("unused"));
        other->form->defaultSaveFolder = folder;
        other->form->Command2_Click();
        ASSERT_EQ(other->dialog->saveShows, 1);
        EXPECT_EQ(other->dialog->shownInitDirs[0], QDir::homePath()) << folder.toStdString();
        EXPECT_TRUE(other->messages->shown.isEmpty());
    }
    EXPECT_EQ(readBytes(plain), kOldContents);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/kelvora")));
}

TEST_F(SaveFailures, DialogFailureIsReportedAndWritesNothing) {
    for (const Kind& kind : kKinds) {
        form->liveView = kind.liveTab;
        t->dialog->answers.push_back(
            {{DialogOutcome::Failed, QStringLiteral("dialog broke")}, {}, 0, {}});
        form->Command2_Click();
        ASSERT_EQ(t->messages->shown.size(), 1);
        EXPECT_TRUE(t->messages->shown[0].text.endsWith(QStringLiteral("dialog broke")));
        t->messages->shown.clear();
    }
    EXPECT_TRUE(entries(dir.filePath("Kelvora")).isEmpty());
}

TEST_F(SaveFailures, UnknownCharsetLeavesTheOldFile) {
    form->textCharset = "NO-SUCH-CHARSET";
    const QString path = dir.filePath("old.txt");
    for (const Kind& kind : {kKinds[1], kKinds[2]}) {
        writeOld(path);
        save(kind, path);
        expectOneWarningAbout(path);
        EXPECT_EQ(readBytes(path), kOldContents);
    }
}

#ifdef __linux__

// A full disk, as the process sees it: writes past the size limit fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST_F(SaveFailures, FullDiskLeavesTheOldFileWhole) {
    for (const Kind& kind : kKinds) {
        // The disk fills at once, after a few bytes, or half-way through.
        QTemporaryDir probe;
        save(kind, probe.filePath("complete.file"));
        const auto size = rlim_t(QFileInfo(probe.filePath("complete.file")).size());
        ASSERT_GT(size, rlim_t(32));
        for (rlim_t limit : {rlim_t(0), rlim_t(16), size / 2}) {
            SCOPED_TRACE(std::string(kind.name) + " limit " + std::to_string(limit));
            QTemporaryDir target;
            const QString path = target.filePath("saved.file");
            writeOld(path);
            {
                FileSizeLimit full(limit);
                ASSERT_TRUE(full.active());
                save(kind, path);
            }
            expectOneWarningAbout(path);
            EXPECT_EQ(readBytes(path), kOldContents);
            EXPECT_EQ(entries(target.path()), QStringList{"saved.file"});  // no temporary left
        }
    }
}

TEST(WriteFileSafely, FullDiskReportsWhyAndKeepsTheOldFile) {
    // Small writes fail when the buffer is flushed, large ones part-way through the write.
    for (int size : {1000, 100000}) {
        QTemporaryDir target;
        const QString path = target.filePath("f.txt");
        writeOld(path);
        QString reason;
        {
            FileSizeLimit full(100);
            ASSERT_TRUE(full.active());
            reason = writeFileSafely(path, QByteArray(size, 'y'));
        }
        EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(EFBIG))) << size;
        EXPECT_EQ(readBytes(path), kOldContents);
        EXPECT_EQ(writeFileSafely(path, "new"), QString());
        EXPECT_EQ(readBytes(path), QByteArray("new"));
    }
}

// A target that cannot be replaced (immutable, which stops root too).
class ImmutableFile {
public:
    explicit ImmutableFile(const QString& path) : path_(path.toLocal8Bit()) { set(true); }
    ~ImmutableFile() { set(false); }
    bool active() const { return active_; }

private:
    void set(bool on) {
        const int fd = ::open(path_.constData(), O_RDONLY);
        if (fd < 0) {
            return;
        }
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            active_ = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0 && on;
        }
        ::close(fd);
    }
    QByteArray path_;
    bool active_ = false;
};

TEST_F(SaveFailures, TargetThatCannotBeReplacedIsReported) {
    QTemporaryDir target;
    const QString path = target.filePath("locked.file");
    writeOld(path);
    ImmutableFile locked(path);
    if (!locked.active()) {
        GTEST_SKIP() << "this file system cannot mark a file immutable";
    }
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        save(kind, path);
        expectOneWarningAbout(path);
        EXPECT_EQ(readBytes(path), kOldContents);
        EXPECT_EQ(entries(target.path()), QStringList{"locked.file"});
    }
}

#endif  // __linux__

TEST_F(SaveFailures, CancelStaysSilent) {
    for (const Kind& kind : kKinds) {
        form->liveView = kind.liveTab;
        form->Command2_Click();  // no answer queued: cancelled
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

}  // namespace
}  // namespace kelvora::testing
