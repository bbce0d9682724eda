#include <gtest/gtest.h>

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/qt_printer.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

namespace kelvora {
namespace {

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// Runs one of the poppler tools, which read the PDF independently of Qt.
QString runPoppler(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& path) {
    return runPoppler(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

int pdfPages(const QString& path) {
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    return pages.match(runPoppler(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
}

struct Word {
    QString text;
    double xMin = 0;
    double yMin = 0;
    int page = 0;
};

// Every word of the document with its box in points, as pdftotext -bbox reports it.
QList<Word> pdfWords(const QString& path) {
    const QString html = runPoppler(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    QList<Word> words;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append(
            {match.captured(3), match.captured(1).toDouble(), match.captured(2).toDouble(), page});
    }
    return words;
}

// Non-blank lines of the text, with runs of spaces squeezed to one, for order checks.
QStringList squeezedLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString simple = line.simplified().remove(QLatin1Char('\f'));
        if (!simple.isEmpty()) {
            lines << simple;
        }
    }
    return lines;
}

class PdfPrinting : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // A real printer adapter writing a PDF file; no dialog is involved.
    std::unique_ptr<QtPrinter> pdfPrinter(const QString& name) {
        auto printer = std::make_unique<QtPrinter>();
        printer->qprinter()->setOutputFormat(QPrinter::PdfFormat);
        printer->qprinter()->setOutputFileName(folder.filePath(name));
        return printer;
    }

    QTemporaryDir folder;
};

TEST_F(PdfPrinting, ThreeRecordTableReadsBackLineByLineThroughTheCommand) {
    auto test = testing::makeTestForm();
    Form1& form = *test->form;
    form.Printer = pdfPrinter(QStringLiteral("records.pdf"));
    form.liveView = false;
    form.recordTotal = 3;
    const char* const records[3][8] = {
        {"1", "12.3Ω", "", "", "1.25KΩ", "0.80KΩ", "", ""},
        {"2", "", "105.2Ωm", "5.0m", "1.25KΩ", "0.80KΩ", "", ""},
        {"3", "", "", "", "", "", "12.50mA", ""},
    };
    form.grid->setRows(4);
    for (int row = 1; row <= 3; ++row) {
        for (int column = 0; column < 8; ++column) {
            form.grid->setTextMatrix(row, column, u(records[row - 1][column]));
        }
    }
    test->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, {}, 0, {}});
    form.Command4_Click();

    const QString path = folder.filePath(QStringLiteral("records.pdf"));
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(pdfPages(path), 1);
    EXPECT_EQ(squeezedLines(pdfText(path)),
              (QStringList{u("NO. R ρ ρLenght Rc Rp I V"), u("1 12.3Ω 1.25KΩ 0.80KΩ"),
                           u("2 105.2Ωm 5.0m 1.25KΩ 0.80KΩ"), u("3 12.50mA")}));

    // The gaps place the current of record 3 far to the right of its number.
    const QList<Word> words = pdfWords(path);
    double numberX = -1, currentX = -1, rhoX = -1;
    for (const Word& word : words) {
        if (word.text == QStringLiteral("3")) {
            numberX = word.xMin;
        } else if (word.text == QStringLiteral("12.50mA")) {
            currentX = word.xMin;
        } else if (word.text == u("105.2Ωm")) {
            rhoX = word.xMin;
        }
    }
    ASSERT_GE(numberX, 0);
    EXPECT_GT(rhoX, numberX);
    EXPECT_GT(currentX, rhoX);
}

TEST_F(PdfPrinting, LeadingAndRepeatedSpacesMoveTheTextRight) {
    auto printer = pdfPrinter(QStringLiteral("spaces.pdf"));
    const int counts[] = {0, 2, 4, 8};
    for (int count : counts) {
        ASSERT_TRUE(printer->print(QString(count, QLatin1Char(' ')) + QStringLiteral("X")));
    }
    ASSERT_TRUE(
        printer->print(QStringLiteral("A") + QString(8, QLatin1Char(' ')) + QStringLiteral("B")));
    ASSERT_TRUE(printer->endDoc());

    QList<double> xs;
    double aX = -1, bX = -1;
    for (const Word& word : pdfWords(folder.filePath(QStringLiteral("spaces.pdf")))) {
        if (word.text == QStringLiteral("X")) {
            xs << word.xMin;
        } else if (word.text == QStringLiteral("A")) {
            aX = word.xMin;
        } else if (word.text == QStringLiteral("B")) {
            bX = word.xMin;
        }
    }
    ASSERT_EQ(xs.size(), 4);
    const double twoSpaces = xs[1] - xs[0];
    EXPECT_GT(twoSpaces, 2.0);  // points; a space of any usable font is wider than 1 pt
    EXPECT_NEAR(xs[2] - xs[0], 2 * twoSpaces, 0.5);
    EXPECT_NEAR(xs[3] - xs[0], 4 * twoSpaces, 0.5);
    // Eight spaces in the middle of a line are not squeezed either.
    EXPECT_GT(bX - aX, 4 * twoSpaces);
}

TEST_F(PdfPrinting, StartPositionIsTakenInTwipsBelowTheTopOfThePrintableArea) {
    auto atTop = pdfPrinter(QStringLiteral("top.pdf"));
    ASSERT_TRUE(atTop->print(QStringLiteral("X")));
    ASSERT_TRUE(atTop->endDoc());
    auto lower = pdfPrinter(QStringLiteral("lower.pdf"));
    ASSERT_TRUE(lower->setCurrentY(500));
    ASSERT_TRUE(lower->print(QStringLiteral("X")));
    ASSERT_TRUE(lower->endDoc());

    const QList<Word> top = pdfWords(folder.filePath(QStringLiteral("top.pdf")));
    const QList<Word> below = pdfWords(folder.filePath(QStringLiteral("lower.pdf")));
    ASSERT_EQ(top.size(), 1);
    ASSERT_EQ(below.size(), 1);
    EXPECT_NEAR(below[0].yMin - top[0].yMin, 25.0, 0.5);  // 500 twips = 25 pt
    EXPECT_NEAR(below[0].xMin, top[0].xMin, 0.01);
    // The printable area starts at the 15 mm margins (42.5 pt).
    EXPECT_NEAR(top[0].xMin, 42.5, 2.0);
    EXPECT_NEAR(top[0].yMin, 42.5, 2.0);
}

TEST_F(PdfPrinting, LinesGoOnOnTheNextPageWhenOneIsFull) {
    auto printer = pdfPrinter(QStringLiteral("long.pdf"));
    constexpr int kLines = 200;
    for (int line = 1; line <= kLines; ++line) {
        ASSERT_TRUE(printer->print(QStringLiteral("line %1").arg(line)));
    }
    ASSERT_TRUE(printer->endDoc());
    const QString path = folder.filePath(QStringLiteral("long.pdf"));
    EXPECT_GT(printer->pageCount(), 1);
    EXPECT_EQ(pdfPages(path), printer->pageCount());

    QStringList expected;
    for (int line = 1; line <= kLines; ++line) {
        expected << QStringLiteral("line %1").arg(line);
    }
    EXPECT_EQ(squeezedLines(pdfText(path)), expected);
    // Every page starts at the top: the first line of each page sits where line 1 does.
    const QList<Word> words = pdfWords(path);
    ASSERT_FALSE(words.isEmpty());
    int lastPage = 0;
    for (const Word& word : words) {
        if (word.page != lastPage) {
            EXPECT_NEAR(word.yMin, words[0].yMin, 0.01) << "page " << word.page;
            lastPage = word.page;
        }
    }
    EXPECT_EQ(lastPage, printer->pageCount());
}

TEST_F(PdfPrinting, UnwritableOutputFailsEveryLineAndThePrinterRecovers) {
    auto printer = std::make_unique<QtPrinter>();
    printer->qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer->qprinter()->setOutputFileName(folder.filePath(QStringLiteral("missing/out.pdf")));
    EXPECT_FALSE(printer->print(QStringLiteral("first")));
    EXPECT_FALSE(printer->print(QStringLiteral("second")));
    printer->endDoc();

    printer->qprinter()->setOutputFileName(folder.filePath(QStringLiteral("retry.pdf")));
    EXPECT_TRUE(printer->print(QStringLiteral("third")));
    EXPECT_TRUE(printer->endDoc());
    EXPECT_EQ(squeezedLines(pdfText(folder.filePath(QStringLiteral("retry.pdf")))),
              QStringList{QStringLiteral("third")});
}

TEST_F(PdfPrinting, EndingADocumentWithoutLinesWritesNothing) {
    auto printer = pdfPrinter(QStringLiteral("empty.pdf"));
    EXPECT_TRUE(printer->setCurrentY(500));
    EXPECT_TRUE(printer->endDoc());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("empty.pdf"))));
    EXPECT_EQ(printer->pageCount(), 0);
}

TEST_F(PdfPrinting, StartPositionIsForgottenAtTheEndOfADocument) {
    auto printer = pdfPrinter(QStringLiteral("first.pdf"));
    ASSERT_TRUE(printer->setCurrentY(500));
    ASSERT_TRUE(printer->print(QStringLiteral("X")));
    ASSERT_TRUE(printer->endDoc());
    printer->qprinter()->setOutputFileName(folder.filePath(QStringLiteral("second.pdf")));
    ASSERT_TRUE(printer->print(QStringLiteral("X")));
    ASSERT_TRUE(printer->endDoc());
    const QList<Word> first = pdfWords(folder.filePath(QStringLiteral("first.pdf")));
    const QList<Word> second = pdfWords(folder.filePath(QStringLiteral("second.pdf")));
    ASSERT_EQ(first.size(), 1);
    ASSERT_EQ(second.size(), 1);
    EXPECT_NEAR(first[0].yMin - second[0].yMin, 25.0, 0.5);
}

}  // namespace
}  // namespace kelvora
