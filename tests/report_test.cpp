#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include "decode/record_table.h"
#include "export/record_sheet.h"
#include "link/demo_meter.h"
#include "report/report_document.h"
#include "report/report_pdf.h"
#include "report/report_records.h"
#include "report/report_settings.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

Reading reading(uint16_t main, uint8_t code, uint16_t length = 0) {
    auto raw = [](uint16_t value) { return RawValue{uint8_t(value >> 8), uint8_t(value)}; };
    return {raw(main), code, 0, raw(160), raw(240), raw(length)};
}

// The records' CSV as Save writes it, from readings taken as a download takes them (null: a
// record the download missed).
QByteArray csvOf(Form1& form, const std::vector<std::optional<Reading>>& readings) {
    for (size_t k = 0; k < readings.size(); ++k) {
        writeRecordRow(form, int(k + 1), readings[k] ? &*readings[k] : nullptr);
    }
    const RecordGridModel& table = form.grid->cells();
    const RecordCells cells = {table.rows(), [&](int r, int c) { return table.text(r, c); }};
    return recordCsv(RecordSheet(cells, form.records));
}

QString pdfText(const QString& path) {
    QProcess text;
    text.start("pdftotext", {"-layout", path, "-"});
    text.waitForFinished(60000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

int pdfPages(const QString& path) {
    QProcess info;
    info.start("pdfinfo", {path});
    info.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("Pages:")) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

class Report : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
        t = makeTestForm(dir.filePath("Kelvora"));
    }
    QProcess* run(const QStringList& arguments) {
        auto* program = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        program->setProcessEnvironment(environment);
        program->start(QStringLiteral(KELVORA_BINARY_DIR "/kelvora"), arguments);
        program->waitForFinished(120000);
        return program;
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
};

TEST_F(Report, LimitsAsTyped) {
    const std::pair<const char*, double> cases[] = {
        {"4", 4}, {" 2.5 ", 2.5}, {"0.75", 0.75}, {"10.00", 10}, {"", 0}, {"0", 0},
        {"-1", 0}, {"abc", 0}, {"4.125", 0}, {"1e3", 0}, {"4,5", 0}};
    for (const auto& [typed, limit] : cases) {
        QString why;
        EXPECT_EQ(report::parseLimit(typed, &why).value_or(0), limit) << typed;
        EXPECT_EQ(why.isEmpty(), limit > 0) << typed;
    }
}

#ifndef _WIN32
// --report from a saved CSV, without a display: verdicts on either side of the limit and on
// it, the overload, the missing record, the demo survey's model, footers.
TEST_F(Report, CommandLineReportReadsBack) {
    std::vector<std::optional<Reading>> readings = {
        reading(399, 0x12),    // 3.99 Ω
        reading(400, 0x12),    // 4.00 Ω: on the limit passes
        reading(401, 0x12),    // 4.01 Ω
        reading(10000, 0x12),  // overload
        std::nullopt,          // missed
        reading(235, 0x22),    // 2.35 KΩ
    };
    const QList<MeterReading> demo = demo::storedRecords();
    for (int k = 0; k < 12; ++k) {
        readings.push_back(parseReading(
            meterFrame(QByteArray("\x01\x03\x0A", 3) + demo[k].dataBytes())));
    }
    const QString csv = dir.filePath("records.csv"), pdf = dir.filePath("report.pdf");
    ASSERT_TRUE(writeBytes(csv, csvOf(*t->form, readings)));
    std::unique_ptr<QProcess> program(run({"--report", csv, pdf, "--limit", "4"}));
    ASSERT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    const QString text = pdfText(pdf);
    for (const char* expected :
         {"接地电阻测试报告", "1 +3.99Ω .* 合格", "2 +4.00Ω .* 合格", "3 +4.01Ω .* 不合格",
          "4 +超量程 .* 不合格", "6 +2.35KΩ .* 不合格", "合格 2 条，不合格 3 条（其中超量程 1 条）",
          "最大 R = 2.35KΩ（记录 6）", "以下记录未能从仪器读取.*：5（共 1 条）", "土壤模型：2层",
          "第 ?1 ?页 ?/ ?共 ?2 ?页", "测试人员（签字）"}) {
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(expected))))
            << expected << "\n" << text.toStdString();
    }
}
#endif

}  // namespace
}  // namespace kelvora::testing
