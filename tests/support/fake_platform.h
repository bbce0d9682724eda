#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

#include "app/form1.h"
#include "seams/form1_seams.h"  // every platform interface the fakes stand in for
#include "support/fake_serial_port.h"

namespace kelvora::testing {

// Dialog whose answers are queued by the test. An answer may also change the properties the
// user would change (file name, type index) and may run code "while the dialog is open".
class FakeCommonDialog : public CommonDialog {
public:
    struct Answer {
        DialogOutcome outcome;
        QString chosenPath;         // empty: keep fileName as set by the caller
        int chosenFilterIndex = 0;  // 0: keep filterIndex
        std::function<void()> whileOpen;
    };
    std::deque<Answer> answers;     // an empty queue answers Cancelled
    QList<QStringList> shownSaves;  // file name, type list, default extension, folder
    int printShows = 0;
    QList<int> shownFlags;

    DialogOutcome showSave(QWidget*) override {
        shownSaves << QStringList{fileName, filter, defaultExt, initDir};
        shownFlags << flags;
        return answer();
    }
    DialogOutcome showPrinter(QWidget*) override {
        ++printShows;
        shownFlags << flags;
        return answer();
    }

private:
    DialogOutcome answer();
};

class FakePrinter : public Printer {
public:
    QStringList lines;         // every printed line, in order
    QStringList log;           // "currentY 500", "print <line>", "failed <line>", "endDoc"
    QStringList failingLines;  // lines whose print fails
    int documentsEnded = 0;

    bool setCurrentY(double twips) override {
        log << QStringLiteral("currentY %1").arg(twips);
        return true;
    }
    bool print(const QString& line) override {
        const bool fails = failingLines.contains(line);
        log << (fails ? QStringLiteral("failed ") : QStringLiteral("print ")) + line;
        if (!fails)
            lines << line;
        return !fails;
    }
    bool endDoc() override {
        ++documentsEnded;
        log << QStringLiteral("endDoc");
        return true;
    }
};

class FakeClipboard : public Clipboard {
public:
    QImage held;
    QString text;
    int sets = 0;
    void setImage(const QImage& image) override {
        held = image;
        ++sets;
    }
    QImage image() const override { return held; }
    void setText(const QString& copied) override { text = copied; }
};

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString kind, title, text;
    };
    QList<Shown> shown;
    std::deque<bool> answers;  // to questions, in order; an empty queue answers No
    int beeps = 0;
    void information(QWidget*, const QString& title, const QString& text) override {
        shown.append({"information", title, text});
    }
    void exclamation(QWidget*, const QString& title, const QString& text) override {
        shown.append({"exclamation", title, text});
    }
    void warning(QWidget*, const QString& title, const QString& text) override {
        shown.append({"warning", title, text});
    }
    bool question(QWidget*, const QString& title, const QString& text) override {
        shown.append({"question", title, text});
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return yes;
    }
    void beep() override { ++beeps; }
};

class FixedClock : public Clock {
public:
    QDateTime time = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7));
    QDateTime now() const override { return time; }
};

// A Form1 on fakes; the raw pointers stay valid while the form lives.
struct TestForm {
    std::unique_ptr<Form1> form;
    FakeSerialPort* port = nullptr;
    FakeCommonDialog* dialog = nullptr;
    FakePrinter* printer = nullptr;
    FakeClipboard* clipboard = nullptr;
    FakeMessageBoxes* messages = nullptr;
    FixedClock* clock = nullptr;
    int programEnds = 0;

    Form1* operator->() const { return form.get(); }
};

// Asks for record `k` as a download does once the records before it are settled (given up
// here), so that its reply is taken.
inline void askForRecord(Form1& form, int k) {
    form.download.beginCount();
    form.download.beginRecords(32767);
    while (form.download.current() < k) form.download.tick();
    form.SendRequest(1, 3, 0, 4, uint8_t(k >> 8), uint8_t(k & 0xFF));
}

// saveFolder: default save folder; charset: text file character set.
std::unique_ptr<TestForm> makeTestForm(const QString& saveFolder = QString(),
                                       const QByteArray& charset = QByteArrayLiteral("UTF-8"),
                                       SpreadsheetFactory spreadsheet = {});

}  // namespace kelvora::testing
