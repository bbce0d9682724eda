#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <set>

#include "app/demo_meter.h"
#include "app/record_chart_window.h"
#include "app/record_table.h"
#include "app/soil_model_panel.h"
#include "files/record_sheet.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// The demo meter's records, taken as a download takes them.
void downloadDemoRecords(Form1& form) {
    const QList<MeterReading> stored = demo::storedRecords();
    for (int k = 1; k <= stored.size(); ++k) {
        const QByteArray frame =
            meterFrame(QByteArray("\x01\x03\x0A", 3) + stored[k - 1].dataBytes());
        const std::optional<Reading> reading = parseReading(frame);
        ASSERT_TRUE(reading);
        writeRecordRow(form, k, &*reading);
    }
}

class SoilModelWindow : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm(dir.filePath("Kelvora"));
        t->form->liveView = false;
        downloadDemoRecords(*t->form);
        t->form->recordTotal = int16_t(t->form->records.count());
    }
    SoilModelPanel* openSoilTab() {
        t->form->mnuchart->trigger();
        QCoreApplication::processEvents();  // laid out, as the user sees it
        QTabWidget* tabs = t->form->chartWindow->tabs();
        tabs->setCurrentIndex(1);
        return qobject_cast<SoilModelPanel*>(tabs->currentWidget());
    }
    QByteArray recordCsvBytes() {
        const RecordGridModel& table = t->form->grid->cells();
        const RecordCells cells = {table.rows(), [&](int r, int c) { return table.text(r, c); }};
        return recordCsv(RecordSheet(cells, t->form->records));
    }

    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
};

// The demo survey: at least eight spacings from 0.5 m to 32 m over the demo earth, which the
// two-layer fit finds again through the noise.
TEST_F(SoilModelWindow, DemoSurveyGivesBackItsEarth) {
    const soil::Survey& survey = t->form->soilChoice.survey();
    std::set<double> spacings;
    for (const soil::SoilPoint& point : survey.points) {
        spacings.insert(point.spacing);
    }
    EXPECT_GE(spacings.size(), 8u);
    EXPECT_EQ(*spacings.begin(), 0.5);
    EXPECT_EQ(*spacings.rbegin(), 32);
    const soil::SoilModel* model = t->form->soilChoice.chosenModel();
    ASSERT_NE(model, nullptr);
    const soil::LayeredEarth earth = demo::surveyEarth();
    EXPECT_NEAR(model->earth.rho[0] / earth.rho[0], 1, 0.03);
    EXPECT_NEAR(model->earth.rho[1] / earth.rho[1], 1, 0.03);
    EXPECT_NEAR(model->earth.thickness[0] / earth.thickness[0], 1, 0.05);
}

// The tab follows the chooser and the check boxes at once, says why when the points are too
// few, and saves the survey chart with the model and its layers.
TEST_F(SoilModelWindow, TabFollowsTheChoicesAndSaves) {
    SoilModelPanel* panel = openSoilTab();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->layerChooser()->currentIndex(), 1);
    EXPECT_EQ(panel->layerTable()->rowCount(), 2);
    EXPECT_EQ(panel->layerTable()->item(1, 3)->text(), QStringLiteral("∞"));
    const int points = panel->pointList()->count();
    EXPECT_EQ(points, 12);

    panel->pointList()->item(3)->setCheckState(Qt::Unchecked);
    QCoreApplication::processEvents();
    EXPECT_TRUE(t->form->soilChoice.leftOut(4));
    EXPECT_EQ(t->form->soilChoice.chosenModel()->errorsPercent.size(), 11u);
    EXPECT_TRUE(panel->modelText()->text().contains(QStringLiteral("11个测点")));
    panel->layerChooser()->setCurrentIndex(2);
    EXPECT_EQ(panel->layerTable()->rowCount(), 3);

    for (int k = 0; k < points - 4; ++k) {
        panel->pointList()->item(k)->setCheckState(Qt::Unchecked);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(panel->layerTable()->isHidden());
    EXPECT_EQ(panel->modelText()->text(),
              QStringLiteral("测点不足：3层模型至少需要5个测点，现有4个。"));

    // Choices are kept while the window redraws, and the saved picture is the model's part.
    panel->layerChooser()->setCurrentIndex(1);
    t->form->chartWindow->rebuild();
    t->form->chartWindow->tabs()->setCurrentIndex(1);
    panel = qobject_cast<SoilModelPanel*>(t->form->chartWindow->tabs()->currentWidget());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->pointList()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(t->form->chartWindow->shownPrintable(), panel->printArea());
    const QString png = dir.filePath("soil.png"), pdf = dir.filePath("soil.pdf");
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, png, 1, {}});
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, pdf, 2, {}});
    t->form->chartWindow->saveChart();
    t->form->chartWindow->saveChart();
    EXPECT_TRUE(readBytes(png).startsWith("\x89PNG"));
    EXPECT_TRUE(t->messages->shown.isEmpty());
#ifndef _WIN32
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(QStringLiteral("厚度/m")) &&
                shown.contains(QStringLiteral("均方根误差")))
        << shown.toStdString();
#endif
}

#ifndef _WIN32
// The workbook's second sheet holds the model chosen, as openpyxl reads it.
TEST_F(SoilModelWindow, WorkbookHasTheChosenModel) {
    t->form->soilChoice.setLeftOut(1, true);
    const QString path = dir.filePath("records.xlsx");
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 4, {}});
    t->form->Command2_Click();
    QProcess python;
    python.start("/usr/bin/python3", {"-c", R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print(book.sheetnames)
ws = book['土壤模型']
for row in ws.iter_rows(max_row=6, values_only=True):
    print([round(v, 1) if isinstance(v, float) else v for v in row])
print(ws.max_row, ws['A9'].value, ws['A10'].value)
)",
                                      path});
    ASSERT_TRUE(python.waitForFinished(30000));
    const QStringList lines =
        QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8) << python.readAllStandardError().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("['Sheet1', '土壤模型']"));
    EXPECT_EQ(lines[1], QStringLiteral("['层数', 2, None, None, None]"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("['均方根误差/%', ")));
    EXPECT_EQ(lines[3], QStringLiteral("['测点数', 11, None, None, None]"));
    EXPECT_EQ(lines[5], QStringLiteral("['层', 'ρ/Ωm', 'ρ ±1σ/Ωm', '厚度/m', '厚度 ±1σ/m']"));
    EXPECT_EQ(lines[7], QStringLiteral("20 记录号 2"));  // 11 points from record 2 on
}

QProcess* runKelvora(const QStringList& arguments) {
    auto* program = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    program->setProcessEnvironment(environment);
    program->start(QStringLiteral(KELVORA_BINARY_DIR "/kelvora"), arguments);
    program->waitForFinished(60000);
    return program;
}

// --soil-model works without a display on the program's own CSV; bad input ends it with one
// line and nothing on stdout.
TEST_F(SoilModelWindow, CommandLineWithoutADisplay) {
    const QString csv = dir.filePath("records.csv");
    ASSERT_TRUE(writeBytes(csv, recordCsvBytes()));
    std::unique_ptr<QProcess> good(runKelvora({"--soil-model", csv}));
    EXPECT_EQ(good->exitCode(), 0) << good->readAllStandardError().toStdString();
    const QJsonObject json = QJsonDocument::fromJson(good->readAllStandardOutput()).object();
    EXPECT_EQ(json["points"].toInt(), 12);
    EXPECT_EQ(json["used"].toInt(), 12);
    const QJsonArray models = json["models"].toArray();
    ASSERT_EQ(models.size(), 3);
    const QJsonObject two = models[1].toObject();
    EXPECT_EQ(two["layers"].toInt(), 2);
    EXPECT_NEAR(two["rho"].toArray()[0].toDouble(), 320, 10);
    EXPECT_NEAR(two["thickness"].toArray()[0].toDouble(), 2.5, 0.1);
    EXPECT_TRUE(two["converged"].toBool());

    const QString few = dir.filePath("few.csv"), none = dir.filePath("none.csv");
    ASSERT_TRUE(writeBytes(few, "1,100\n2,110\n4,130\n8,150\n"));
    ASSERT_TRUE(writeBytes(none, "a,rho\n0,100\n"));
    const std::pair<QStringList, int> bad[] = {
        {{"--soil-model", dir.filePath("absent.csv")}, 1},
        {{"--soil-model", none}, 1},
        {{"--soil-model", few, "--layers", "3"}, 1},
        {{"--soil-model", few, "--layers", "5"}, 2},
    };
    for (const auto& [arguments, exitCode] : bad) {
        std::unique_ptr<QProcess> program(runKelvora(arguments));
        EXPECT_EQ(program->exitCode(), exitCode) << arguments.join(' ').toStdString();
        EXPECT_TRUE(program->readAllStandardOutput().isEmpty());
        EXPECT_FALSE(program->readAllStandardError().isEmpty());
    }
    std::unique_ptr<QProcess> one(runKelvora({"--soil-model", few, "--layers", "2"}));
    EXPECT_EQ(QJsonDocument::fromJson(one->readAllStandardOutput())["models"].toArray().size(), 1);
    // A European spreadsheet's file: semicolons, decimal commas, a header.
    const QString european = dir.filePath("european.csv");
    ASSERT_TRUE(writeBytes(european,
                           "Abstand (m);Widerstand (Ohm m)\r\n0,5;300,5\r\n1;290\r\n"
                           "2;250,25\r\n4;160\r\n-1;7\r\n"));
    std::unique_ptr<QProcess> semicolons(runKelvora({"--soil-model", european}));
    EXPECT_EQ(semicolons->exitCode(), 0);
    const QJsonObject counted =
        QJsonDocument::fromJson(semicolons->readAllStandardOutput()).object();
    EXPECT_EQ(counted["points"].toInt(), 5);
    EXPECT_EQ(counted["used"].toInt(), 4);
}
#endif

}  // namespace
}  // namespace kelvora::testing
