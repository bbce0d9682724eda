#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "platform/file_type_list.h"
#include "platform/qt_common_dialog.h"

namespace kelvora::testing {
namespace {

struct TypeListCase {
    const char* typeList;
    QStringList nameFilters;
    QStringList extensions;
};

void PrintTo(const TypeListCase& c, std::ostream* os) {
    *os << c.typeList;
}

class TypeList : public ::testing::TestWithParam<TypeListCase> {};

TEST_P(TypeList, BecomesQtNameFilters) {
    const QList<FileType> types = parseTypeList(QString::fromUtf8(GetParam().typeList));
    EXPECT_EQ(qtNameFilters(types), GetParam().nameFilters);
    QStringList extensions;
    for (const FileType& type : types) {
        extensions << typeExtension(type);
    }
    EXPECT_EQ(extensions, GetParam().extensions);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, TypeList,
    ::testing::Values(
        TypeListCase{"jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|",
                     {"jpg格式 (*.jpg)", "txt格式 (*.txt)"},
                     {"jpg", "txt"}},
        TypeListCase{"txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|",
                     {"txt格式 (*.txt)", "excel格式 (*.xls)"},
                     {"txt", "xls"}},
        // Without the closing "|", several patterns, a description without its patterns.
        TypeListCase{"Pictures|*.jpg;*.jpeg|All (*.*)|*.*",
                     {"Pictures (*.jpg *.jpeg)", "All (*.*)"},
                     {"jpg", ""}},
        // The real patterns win over what the description claims.
        TypeListCase{"Text (*.doc)|*.txt|", {"Text (*.txt)"}, {"txt"}}, TypeListCase{"", {}, {}},
        TypeListCase{"odd|", {"odd ()"}, {""}}),
    [](const auto& info) { return "List" + std::to_string(info.index); });

// Runs `action` on the first modal widget of type T once it shows (within seconds).
template <typename T>
void whenModal(const std::function<void(T*)>& action) {
    auto* poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, action] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(widget);
        } else if (deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
        }
    });
    poll->start(10);
}

// The user's OK: QFileDialog's own accept (checks, overwrite question) through the public slot.
void confirm(QFileDialog* shown) {
    static_cast<QDialog*>(shown)->accept();
}

class QtSaveDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dialog.fileName = QStringLiteral("Kelvora6 Dec 2026");
        dialog.filter = QStringLiteral("jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|");
        dialog.defaultExt = QStringLiteral(".jpg");
        dialog.initDir = dir.path();
        dialog.flags = kCdlOverwritePrompt;
        dialog.cancelError = true;
    }
    // What the dialog showed when it opened.
    struct Seen {
        QString title, directory, nameFilter, suffix, typed;
        QStringList nameFilters;
        bool confirmOverwrite = false;
    };
    void answer(const std::function<void(QFileDialog*)>& user) {
        whenModal<QFileDialog>([this, user](QFileDialog* shown) {
            seen.title = shown->windowTitle();
            seen.directory = shown->directory().absolutePath();
            seen.nameFilter = shown->selectedNameFilter();
            seen.nameFilters = shown->nameFilters();
            seen.suffix = shown->defaultSuffix();
            seen.confirmOverwrite = !shown->testOption(QFileDialog::DontConfirmOverwrite);
            if (auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                seen.typed = edit->text();
            }
            user(shown);
        });
    }
    static void pickType(QFileDialog* shown, int index) {
        auto* combo = shown->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        emit combo->textActivated(combo->itemText(index));
    }
    QTemporaryDir dir;
    QtCommonDialog dialog{nullptr};
    Seen seen;
};

TEST_F(QtSaveDialog, OpensInTheFolderWithTheNameAndTheRememberedType) {
    answer([](QFileDialog* shown) { confirm(shown); });
    const DialogOutcome outcome = dialog.showSave(nullptr);
    EXPECT_EQ(outcome.kind, DialogOutcome::Accepted);
    EXPECT_EQ(seen.title, QStringLiteral("保存"));
    EXPECT_EQ(seen.directory, QDir(dir.path()).absolutePath());
    EXPECT_EQ(seen.nameFilters, (QStringList{"jpg格式 (*.jpg)", "txt格式 (*.txt)"}));
    EXPECT_EQ(seen.nameFilter, QStringLiteral("jpg格式 (*.jpg)"));
    EXPECT_EQ(seen.suffix, QStringLiteral("jpg"));
    EXPECT_EQ(seen.typed, QStringLiteral("Kelvora6 Dec 2026"));
    EXPECT_TRUE(seen.confirmOverwrite);
    EXPECT_EQ(dialog.fileName, dir.filePath("Kelvora6 Dec 2026.jpg"));
    EXPECT_EQ(dialog.filterIndex, 1);
}

TEST_F(QtSaveDialog, SecondTypeRemembered) {
    dialog.filterIndex = 2;
    dialog.defaultExt = QStringLiteral(".txt");
    answer([](QFileDialog* shown) { confirm(shown); });
    EXPECT_EQ(dialog.showSave(nullptr).kind, DialogOutcome::Accepted);
    EXPECT_EQ(seen.nameFilter, QStringLiteral("txt格式 (*.txt)"));
    EXPECT_EQ(dialog.fileName, dir.filePath("Kelvora6 Dec 2026.txt"));
    EXPECT_EQ(dialog.filterIndex, 2);
}

TEST_F(QtSaveDialog, PickedTypeGivesItsExtension) {
    answer([](QFileDialog* shown) {
        pickType(shown, 1);
        confirm(shown);
    });
    EXPECT_EQ(dialog.showSave(nullptr).kind, DialogOutcome::Accepted);
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(dialog.fileName.toStdString(), dir.filePath("Kelvora6 Dec 2026.txt").toStdString());
}

TEST_F(QtSaveDialog, TypedExtensionIsKept) {
    answer([](QFileDialog* shown) {
        shown->selectFile(QStringLiteral("window.png"));
        confirm(shown);
    });
    EXPECT_EQ(dialog.showSave(nullptr).kind, DialogOutcome::Accepted);
    EXPECT_EQ(dialog.fileName, dir.filePath("window.png"));
}

TEST_F(QtSaveDialog, CancelChangesNothing) {
    dialog.filterIndex = 2;
    answer([](QFileDialog* shown) {
        pickType(shown, 0);
        shown->reject();
    });
    EXPECT_EQ(dialog.showSave(nullptr).kind, DialogOutcome::Cancelled);
    EXPECT_EQ(dialog.fileName, QStringLiteral("Kelvora6 Dec 2026"));
    EXPECT_EQ(dialog.filterIndex, 2);
}

TEST_F(QtSaveDialog, AsksBeforeReplacingAFile) {
    QFile existing(dir.filePath("Kelvora6 Dec 2026.jpg"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    bool asked = false;
    answer([&asked](QFileDialog* shown) {
        whenModal<QMessageBox>([&asked](QMessageBox* box) {
            asked = true;
            box->button(QMessageBox::Yes)->click();
        });
        confirm(shown);
    });
    EXPECT_EQ(dialog.showSave(nullptr).kind, DialogOutcome::Accepted);
    EXPECT_TRUE(asked);
    EXPECT_EQ(dialog.fileName, existing.fileName());
}

TEST_F(QtSaveDialog, WithoutTheFlagReplacesWithoutAsking) {
    dialog.flags = 0;
    answer([](QFileDialog* shown) { shown->reject(); });
    dialog.showSave(nullptr);
    EXPECT_FALSE(seen.confirmOverwrite);
}

}  // namespace
}  // namespace kelvora::testing
