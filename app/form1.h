#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdint>

#include "app/interface_language.h"
#include "modbus/link_captions.h"
#include "modbus/open_wait.h"
#include "modbus/record_download.h"
#include "records/record_model.h"
#include "seams/form1_seams.h"
#include "soil/soil_selection.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabBar;

namespace kelvora {

class ArchiveSession;
class RecordChartWindow;
class RecordGrid;
class TwipLabel;
struct Request;

// A label array of the live panel; the window only ever uses element 0.
using LabelArray = std::array<TwipLabel*, 1>;

// The one window. It owns the controls, the serial port, the timers and the form-level state;
// its handlers are implemented by subject in app/, link/, decode/, export/ and print/.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Seams seams, QWidget* parent = nullptr);
    ~Form1() override;

    // ---- form-level state ----
    bool liveView = false;
    int16_t comNumber = 0;
    bool comConnected = false;
    int16_t timeoutCount = 0;
    int16_t requestRegister = 0;
    int16_t requestCount = 0;
    int16_t recordTotal = 0;
    int16_t recordIndex = 0;
    QByteArray rxBuffer;
    int measureMode = 0;
    RecordModel records;                      // the record table's values as numbers
    soil::SoilSelection soilChoice{records};  // the soil model chosen in the chart window
    LinkCaptions linkCaptions;                // what Label1 and Label2 report
    OpenWait openWait;                        // the search's open still under way, if any
    InterfaceLanguage language;               // the language the windows are shown in

    // Animation state of the live panel.
    uint8_t shownMode = 0;
    int16_t flyInCount = 0;
    TwipLabel* moveControl = nullptr;
    int16_t moveEndLeft = 0;
    int16_t moveEndTop = 0;
    int16_t moveStepX = 0;
    int16_t moveStepY = 0;
    bool moveLeftward = false;
    bool moveUpward = false;
    bool moveShow = false;
    int16_t moveStepsLeft = 0;

    // ---- controls ----
    QPushButton* Command1 = nullptr;  // 读取
    QPushButton* Command2 = nullptr;  // 保存
    QPushButton* Command3 = nullptr;  // 清空
    QPushButton* Command4 = nullptr;  // 打印
    QPushButton* Command5 = nullptr;  // 关闭
    QPushButton* Command6 = nullptr;  // 帮助
    TwipLabel* Label1 = nullptr;      // serial-port status
    TwipLabel* Label2 = nullptr;      // communication status
    QTabBar* TabStrip1 = nullptr;
    QWidget* Frame1 = nullptr;
    RecordGrid* grid = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> StatusBar1Panels{};  // date, fixed text, time
    QProgressBar* downloadProgress = nullptr;   // in the middle panel while records download

    std::array<TwipLabel*, 7> Label3{};
    LabelArray r{}, rc{}, rp{}, p{}, p_length{}, v{}, i{};
    TwipLabel* HVOLT = nullptr;
    TwipLabel* NOISE = nullptr;
    TwipLabel* LOWBAT = nullptr;
    TwipLabel* CLAMP = nullptr;

    QMenu* mnufile = nullptr;
    QMenu* mnuoperate = nullptr;
    QMenu* mnuhelp = nullptr;
    QAction* mnuread = nullptr;
    QAction* mnusave = nullptr;
    QAction* mnuclose = nullptr;
    QAction* mnuclear = nullptr;
    QAction* mnuprint = nullptr;
    QAction* mnureport = nullptr;
    QAction* mnuarchive = nullptr;  // 档案…
    QAction* mnuchart = nullptr;
    QAction* aboutsoftware = nullptr;
    QMenu* mnulanguage = nullptr;  // 语言 / Language: 中文, English
    QAction* mnuchinese = nullptr;
    QAction* mnuenglish = nullptr;

    QTimer Findcom;
    QTimer COMtimout;
    QTimer comunication;
    QTimer Readdat;
    QTimer vrprecord;
    QTimer Movectrltimer;
    QTimer Movetimer;
    QTimer Timer1;

    // The record download under way, if any.
    RecordDownload download;

    // ---- platform ----
    std::unique_ptr<SerialPort> MSComm1;
    std::unique_ptr<CommonDialog> CommonDialog1;
    std::unique_ptr<kelvora::Printer> Printer;
    std::unique_ptr<kelvora::Clipboard> Clipboard;
    SpreadsheetFactory createSpreadsheet;
    std::unique_ptr<MessageBoxes> messageBoxes;
    std::unique_ptr<Clock> clock;
    std::function<void()> endProgram;
    QString defaultSaveFolder;
    QByteArray textCharset;

    // ---- app/: start-up, tabs, commands, menu (form1.cpp, form1_commands.cpp) ----
    void Form_Load();
    void TabStrip1_Click();
    void Command3_Click();
    void Command5_Click();
    void Command6_Click();
    void mnuread_Click();
    void mnusave_Click();
    void mnuclose_Click();
    void mnuclear_Click();
    void mnuprint_Click();
    void mnuchart_Click();
    void mnureport_Click();  // the test report's dialog (app/report_dialog.cpp)
    void mnuarchive_Click();  // the archive window (app/archive_session.cpp)
    void aboutsoftware_Click();
    void chooseLanguage(Language chosen);  // shown at once and remembered

    // ---- app/: live panel layouts and animation (live_layout.cpp) ----
    void vrprecord_Timer();
    void Movectrltimer_Timer();
    void Movetimer_Timer();
    void HideReadingLabels();
    void StartMove(TwipLabel* control, int16_t startLeft, int16_t startTop, int16_t endLeft,
                   int16_t endTop, bool show);

    // ---- app/: status-bar clock (clock.cpp) ----
    void Timer1_Timer();

    // ---- link/: port search and watchdog (port_search.cpp) ----
    void comopen(int16_t portNumber);
    void showOpenResult(int16_t portNumber, OpenResult result);
    void comOpened(OpenResult result);  // a pending open has ended
    void nextPort();
    void Findcom_Timer();
    void COMtimout_Timer();

    // ---- link/: requests and polling (requests.cpp) ----
    void SendRequest(uint8_t address, uint8_t function, uint8_t registerHigh, uint8_t registerLow,
                     uint8_t countHigh, uint8_t countLow);
    void SendRequest(const Request& request);
    void comunication_Timer();
    void Command1_Click();
    void Readdat_Timer();

    // ---- link/: the record download (record_download_steps.cpp) ----
    void EndDownload();
    void ShowDownloadProgress();

    // ---- decode/: receive handler (receive.cpp), record table (record_table.cpp) ----
    void MSComm1_OnComm(int commEvent);
    void gridinit();

    // ---- export/: save command (save_command.cpp, save_reading.cpp, save_record_table.cpp) ----
    void Command2_Click();
    void SaveReading();
    void SaveRecordTable();
    void SaveSpreadsheet(const QString& path);
    void copySelectedRecords();  // Ctrl+C in the record table (record_copy.cpp)

    // ---- print/ (print_command.cpp) ----
    void Command4_Click();

    // ---- app/: the records as charts (record_chart_window.cpp); created on first use ----
    RecordChartWindow* chartWindow = nullptr;

    // ---- app/: the site archive and its window (archive_session.cpp) ----
    std::unique_ptr<ArchiveSession> archiveSession;

protected:
    // The close box ends the program as Close does, whatever other windows are open.
    void closeEvent(QCloseEvent* event) override;
    // Words every text again in the language now shown; values and layout stay.
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createMenu();
    void translateMenu();
    void retranslateUi();
    void createTimers();
    void layOutControls();  // app/window_layout.cpp
};

}  // namespace kelvora
