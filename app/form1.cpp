#include "app/form1.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>

#include "app/archive_session.h"
#include "app/picture_button.h"
#include "app/timer_control.h"
#include "app/twip_label.h"
#include "app/ui_texts.h"
#include "formats/replace_file.h"
#include "platform/record_grid.h"

namespace kelvora {

namespace {

TwipLabel* makeLabel(const char* caption, QWidget* parent) {
    return new TwipLabel(QString::fromUtf8(caption), parent);
}

}  // namespace

Form1::Form1(Form1Seams seams, QWidget* parent)
    : QMainWindow(parent),
      MSComm1(std::move(seams.serialPort)),
      CommonDialog1(std::move(seams.commonDialog)),
      Printer(std::move(seams.printer)),
      Clipboard(std::move(seams.clipboard)),
      createSpreadsheet(std::move(seams.createSpreadsheet)),
      messageBoxes(std::move(seams.messageBoxes)),
      clock(std::move(seams.clock)),
      endProgram(std::move(seams.endProgram)),
      defaultSaveFolder(std::move(seams.defaultSaveFolder)),
      textCharset(std::move(seams.textCharset)),
      archiveSession(std::make_unique<ArchiveSession>(*this)) {
    // Saving or printing into a file-size limit must fail the write, not end the program.
    ignoreFileSizeSignal();
    createControls();
    createMenu();
    createTimers();
    layOutControls();
    MSComm1->setEventHandler([this](int code) { MSComm1_OnComm(code); });
    MSComm1->setOpenHandler([this](OpenResult result) { comOpened(result); });
    Form_Load();
    language.show(InterfaceLanguage::atStart());  // words the window anew unless Chinese
}

Form1::~Form1() {
    // The port may raise no more events into a window that is going away.
    MSComm1->setEventHandler(nullptr);
    MSComm1->setOpenHandler(nullptr);
}

void Form1::createControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Command1 = new PictureButton(tr(texts::kRead), client);
    Command2 = new PictureButton(tr(texts::kSave), client);
    Command3 = new PictureButton(tr(texts::kClear), client);
    Command4 = new PictureButton(tr(texts::kPrint), client);
    Command6 = new PictureButton(tr(texts::kHelp), client);
    Command5 = new PictureButton(tr(texts::kClose), client);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });

    Label1 = new TwipLabel(linkCaptions.portText(), client);
    Label2 = new TwipLabel(linkCaptions.linkText(), client);

    TabStrip1 = new QTabBar(client);
    TabStrip1->addTab(tr(texts::kTabLive));
    TabStrip1->addTab(tr(texts::kTabRecords));
    // Every change of tab, by mouse or keyboard, switches the view. A click on the tab already
    // selected changes nothing in the bar but is still a tab click.
    connect(TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == TabStrip1->currentIndex()) {
            TabStrip1_Click();
        }
    });

    Frame1 = new QWidget(client);
    grid = new RecordGrid(client);
    connect(grid, &RecordGrid::copyRequested, this, [this] { copySelectedRecords(); });

    Label3[0] = makeLabel("EARTH VOLTAGE:", Frame1);
    Label3[1] = makeLabel("R EARTH:", Frame1);
    Label3[2] = makeLabel("ρ EARTH:", Frame1);
    Label3[3] = makeLabel("ρ LENGTH:", Frame1);
    Label3[4] = makeLabel("Rc:", Frame1);
    Label3[5] = makeLabel("Rp:", Frame1);
    Label3[6] = makeLabel("Iclamp:", Frame1);
    r[0] = makeLabel("0.00 Ω", Frame1);
    p[0] = makeLabel("0.00 Ωm", Frame1);
    p_length[0] = makeLabel("0.00 m", Frame1);
    rc[0] = makeLabel("0.00 KΩ", Frame1);
    rp[0] = makeLabel("0.00 KΩ", Frame1);
    v[0] = makeLabel("0.0 V", Frame1);
    i[0] = makeLabel("0.00 mA", Frame1);
    for (TwipLabel* label : Label3) {
        label->hide();
    }
    for (const LabelArray* values : {&r, &p, &p_length, &rc, &rp, &v, &i}) {
        (*values)[0]->hide();
    }

    HVOLT = makeLabel("HVOLT", Frame1);
    NOISE = makeLabel("NOISE", Frame1);
    LOWBAT = makeLabel("LOWBAT", Frame1);
    CLAMP = makeLabel("CLAMP", Frame1);

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setSizeGripEnabled(false);
    for (QLabel*& panel : StatusBar1Panels) {
        panel = new QLabel(StatusBar1);
    }
    StatusBar1Panels[1]->setText(QString::fromUtf8(texts::kCaption));
    downloadProgress = new QProgressBar(StatusBar1Panels[1]);
    downloadProgress->setTextVisible(false);
    downloadProgress->hide();
}

void Form1::createMenu() {
    mnufile = menuBar()->addMenu(QString());
    mnuread = mnufile->addAction(QString());
    mnusave = mnufile->addAction(QString());
    mnuclose = mnufile->addAction(QString());
    mnuoperate = menuBar()->addMenu(QString());
    mnuclear = mnuoperate->addAction(QString());
    mnuprint = mnuoperate->addAction(QString());
    mnureport = mnuoperate->addAction(QString());
    mnuarchive = mnuoperate->addAction(QString());
    mnuchart = mnuoperate->addAction(QString());
    mnuhelp = menuBar()->addMenu(QString());
    aboutsoftware = mnuhelp->addAction(QString());
    mnulanguage = mnuhelp->addMenu(QString::fromUtf8(texts::kMenuLanguage));
    mnuchinese = mnulanguage->addAction(QString::fromUtf8(texts::kChinese));
    mnuenglish = mnulanguage->addAction(QString::fromUtf8(texts::kEnglish));
    translateMenu();
    connect(mnuread, &QAction::triggered, this, [this] { mnuread_Click(); });
    connect(mnusave, &QAction::triggered, this, [this] { mnusave_Click(); });
    connect(mnuclose, &QAction::triggered, this, [this] { mnuclose_Click(); });
    connect(mnuclear, &QAction::triggered, this, [this] { mnuclear_Click(); });
    connect(mnuprint, &QAction::triggered, this, [this] { mnuprint_Click(); });
    connect(mnuchart, &QAction::triggered, this, [this] { mnuchart_Click(); });
    connect(mnureport, &QAction::triggered, this, [this] { mnureport_Click(); });
    connect(mnuarchive, &QAction::triggered, this, [this] { mnuarchive_Click(); });
    connect(aboutsoftware, &QAction::triggered, this, [this] { aboutsoftware_Click(); });
    connect(mnuchinese, &QAction::triggered, this, [this] { chooseLanguage(Language::Chinese); });
    connect(mnuenglish, &QAction::triggered, this, [this] { chooseLanguage(Language::English); });
}

void Form1::translateMenu() {
    mnufile->setTitle(tr(texts::kMenuFile));
    mnuread->setText(tr(texts::kRead));
    mnusave->setText(tr(texts::kSave));
    mnuclose->setText(tr(texts::kClose));
    mnuoperate->setTitle(tr(texts::kMenuOperate));
    mnuclear->setText(tr(texts::kClear));
    mnuprint->setText(tr(texts::kPrint));
    mnureport->setText(tr(texts::kMenuReport));
    mnuarchive->setText(tr(texts::kMenuArchive));
    mnuchart->setText(tr(texts::kMenuChart));
    mnuhelp->setTitle(tr(texts::kMenuHelp));
    aboutsoftware->setText(tr(texts::kMenuAbout));
}

void Form1::retranslateUi() {
    const std::pair<QPushButton*, const char*> buttons[] = {
        {Command1, texts::kRead},  {Command2, texts::kSave}, {Command3, texts::kClear},
        {Command4, texts::kPrint}, {Command6, texts::kHelp}, {Command5, texts::kClose}};
    for (const auto& [button, text] : buttons) {
        button->setText(tr(text));
    }
    Label1->setCaption(linkCaptions.portText());
    Label2->setCaption(linkCaptions.linkText());
    TabStrip1->setTabText(0, tr(texts::kTabLive));
    TabStrip1->setTabText(1, tr(texts::kTabRecords));
    ShowDownloadProgress();
    translateMenu();
}

void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
    }
    QMainWindow::changeEvent(event);
}

void Form1::chooseLanguage(Language chosen) {
    InterfaceLanguage::remember(chosen);
    language.show(chosen);
}

void Form1::createTimers() {
    struct TimerSetup {
        QTimer& timer;
        int intervalMs;
        bool enabled;
        void (Form1::*handler)();
    };
    const TimerSetup setups[] = {
        {vrprecord, 1000, true, &Form1::vrprecord_Timer},
        {Movectrltimer, 200, false, &Form1::Movectrltimer_Timer},
        {Movetimer, 5, false, &Form1::Movetimer_Timer},
        {Timer1, 1000, true, &Form1::Timer1_Timer},
        {Findcom, 300, false, &Form1::Findcom_Timer},
        {COMtimout, 1000, true, &Form1::COMtimout_Timer},
        {comunication, 1000, true, &Form1::comunication_Timer},
        {Readdat, 100, false, &Form1::Readdat_Timer},
    };
    for (const TimerSetup& setup : setups) {
        setup.timer.setInterval(setup.intervalMs);
        setup.timer.setTimerType(Qt::PreciseTimer);
        connect(&setup.timer, &QTimer::timeout, this, setup.handler);
        if (setup.enabled) {
            setup.timer.start();
        }
    }
}

void Form1::Form_Load() {
    liveView = true;
    comConnected = false;
    comNumber = 1;
    measureMode = 2;
    vrprecord_Timer();
    Timer1_Timer();
    enableTimer(Findcom);
    gridinit();
    Frame1->show();
    grid->hide();
}

void Form1::TabStrip1_Click() {
    if (TabStrip1->currentIndex() + 1 == 1) {
        liveView = true;
        Frame1->show();
        grid->hide();
    } else {
        liveView = false;
        Frame1->hide();
        grid->show();
    }
    // A running download keeps the line to itself and brings polling back when it ends.
    if (!download.running()) {
        enableTimer(comunication);
        Command1->setEnabled(true);
        Command2->setEnabled(true);
    }
}

}  // namespace kelvora
