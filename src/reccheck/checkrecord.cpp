#include "reccheck/checkrecord.h"

#include "base/programdir.h"
#include "log/logger.h"
#include "reccheck/rectip.h"
#include "reccheck/syncsound.h"
#include "system/settings.h"
#include "system/sounddevice.h"
#include "ui/errorbox.h"
#include "ui/formresources.h"
#include "ui/olivekey.h"
#include "ui/picbutton.h"
#include "ui/windowplace.h"
#include "ui/windowregion.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QThread>
#include <QTimer>

namespace {

constexpr int WizardWidth = 558;
constexpr int WizardHeight = 353;
constexpr int CornerEllipse = 4;
constexpr int ResultPauseMs = 1000;
// The failure line sits on the band under the buttons, in the colour of the page's headline.
const QRect FailureLinePlace(0, 308, WizardWidth, 24);
// "回放" sits right of the result pages' buttons.
const QRect ReplayButtonPlace(462, 270, 64, 24);

// A missing file, or one that does not even start as a RIFF WAV file, cannot be played back.
bool IsPlayableRecording(const QString& path) {
    constexpr qint64 WavHeaderBytes = 44;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= WavHeaderBytes)
        return false;
    const QByteArray head = file.read(12);
    return head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

const char* PageName(int page) {
    switch (page) {
    case TestPage:
        return "test";
    case SuccessPage:
        return "success";
    case FailurePage:
        return "failure";
    default:
        return "start";
    }
}

TPicButton* MakeCloseButton(QWidget* page, bool withDisabledFace) {
    TPicButton* button = MakePicButton(page, {528, 12, 19, 19},
                                       {{TPicButton::Up, ":/forms/checkrecord/close_up.png"},
                                        {TPicButton::Hot, ":/forms/checkrecord/close_hot.png"},
                                        {TPicButton::Down, ":/forms/checkrecord/close_down.png"}});
    if (withDisabledFace)
        button->setFace(TPicButton::Disabled,
                        QStringLiteral(":/forms/checkrecord/close_disabled.png"));
    return button;
}

TPicButton* MakeCaptionButton(QWidget* page, const QPoint& place, const QString& name) {
    auto* button = new TPicButton(page);
    button->setGeometry(QRect(place, QSize(108, 36)));
    const QString base = QStringLiteral(":/forms/checkrecord/") + name;
    button->setFace(TPicButton::Up, base + QStringLiteral("_up.png"));
    button->setFace(TPicButton::Hot, base + QStringLiteral("_hot.png"));
    button->setFace(TPicButton::Down, base + QStringLiteral("_down.png"));
    return button;
}

} // namespace

TCheckRecord::TCheckRecord(TAudioControls& controls, QWidget* centreOn)
    : QDialog(nullptr, Qt::FramelessWindowHint | Qt::Dialog), centreOn_(centreOn) {
    InitFormResources();
    setObjectName(QStringLiteral("CheckRecord"));
    setModal(true);
    setFixedSize(WizardWidth, WizardHeight);

    RzPageControl1 = new QStackedWidget(this);
    RzPageControl1->setGeometry(rect());
    TabSheet1 = AddPage("page_start.png");
    TabSheet2 = AddPage("page_success.png");
    TabSheet3 = AddPage("page_failure.png");
    TabSheet4 = AddPage("page_start.png");

    RzBmpButton3 = MakeCloseButton(TabSheet1, true);
    RzProgressStatus1 = new QProgressBar(TabSheet1);
    RzProgressStatus1->setGeometry(180, 296, 220, 25);
    RzProgressStatus1->setTextVisible(false);
    RzProgressStatus1->setStyleSheet(
        QStringLiteral("QProgressBar { border: 2px solid palette(mid); background: palette(base); }"
                       "QProgressBar::chunk { background: palette(highlight); }"));
    RzProgressStatus1->hide();
    lbl1 = new QLabel(TabSheet1);
    lbl1->setGeometry(100, 300, 129, 16);
    QFont countdownFont(QStringLiteral("sans-serif"));
    countdownFont.setPixelSize(13);
    countdownFont.setBold(true);
    lbl1->setFont(countdownFont);
    lbl1->setAttribute(Qt::WA_TranslucentBackground);
    img5 = new QLabel(TabSheet1);
    img5->setGeometry(70, 290, 21, 34);
    img5->setPixmap(QPixmap::fromImage(
        WithOliveTransparent(QImage(QStringLiteral(":/forms/checkrecord/mic.png")))));
    img5->hide();
    VyraMicLevel1 = controls.CreateMicLevel(TabSheet1);
    VyraMicLevel1->setGeometry(464, 128, 70, 150);
    VyraMicLevel1->hide();

    RzBmpButton4 = MakeCloseButton(TabSheet2, false);
    RzBmpButton6 = MakeCaptionButton(TabSheet2, {224, 264}, QStringLiteral("finish"));

    RzBmpButton5 = MakeCloseButton(TabSheet3, false);
    RzBmpButton8 = MakeCaptionButton(TabSheet3, {133, 264}, QStringLiteral("retry"));
    RzBmpButton7 = MakeCaptionButton(TabSheet3, {312, 264}, QStringLiteral("exit"));
    failureLine = new QLabel(TabSheet3);
    failureLine->setObjectName(QStringLiteral("failureLine"));
    failureLine->setGeometry(FailureLinePlace);
    failureLine->setAlignment(Qt::AlignCenter);
    QFont lineFont;
    lineFont.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    lineFont.setPixelSize(14);
    failureLine->setFont(lineFont);
    failureLine->setStyleSheet(QStringLiteral("color: #c03a2b; background: transparent;"));

    replayOnSuccess = MakeReplayButton(TabSheet2);
    replayOnFailure = MakeReplayButton(TabSheet3);

    RzBmpButton1 = MakeCloseButton(TabSheet4, true);
    RzBmpButton2 = MakeCaptionButton(TabSheet4, {432, 272}, QStringLiteral("start"));
    RzBmpButton9 = MakePicButton(TabSheet4, {336, 178, 27, 26},
                                 {{TPicButton::Up, ":/forms/checkrecord/speaker_up.png"},
                                  {TPicButton::Hot, ":/forms/checkrecord/speaker_hot.png"},
                                  {TPicButton::Down, ":/forms/checkrecord/speaker_down.png"}});
    RzBmpButton9->hide();

    tmr1 = new QTimer(this);
    tmr1->setInterval(1000);

    CheckRecordEnvironment environment;
    environment.checkSoundDevice = CheckSoundDevice;
    environment.playSoundSync = PlaySoundSync;
    environment.pauseBeforeResult = [] { QThread::msleep(ResultPauseMs); };
    environment.setTimerRunning = [this](bool running) {
        if (running)
            tmr1->start();
        else
            tmr1->stop();
    };
    environment.isRecTipOn = IsRecTipOn;
    environment.writeRecTip = WriteRecTip;
    environment.isPlayableRecording = IsPlayableRecording;
    flow_ = std::make_unique<TCheckRecordFlow>(controls.CreateAudioUtil(), controls.CreateECL(),
                                               VyraMicLevel1, std::move(environment), ProgramDir());
    flow_->VyraAudioUtil1()->OnStatusChange = [this](TVyraAudioUtil*, int status) {
        VyraAudioUtil1StatusChange(status);
    };

    for (TPicButton* close : {RzBmpButton1, RzBmpButton3, RzBmpButton4, RzBmpButton5, RzBmpButton7})
        connect(close, &TPicButton::clicked, this, &TCheckRecord::RzBmpButton1Click);
    connect(RzBmpButton2, &TPicButton::clicked, this, &TCheckRecord::RzBmpButton2Click);
    connect(RzBmpButton6, &TPicButton::clicked, this, &TCheckRecord::RzBmpButton6Click);
    connect(RzBmpButton8, &TPicButton::clicked, this, &TCheckRecord::RzBmpButton8Click);
    connect(RzBmpButton9, &TPicButton::clicked, this, &TCheckRecord::RzBmpButton9Click);
    for (QPushButton* replay : {replayOnSuccess, replayOnFailure})
        connect(replay, &QPushButton::clicked, this, &TCheckRecord::ReplayRecordingClick);
    connect(tmr1, &QTimer::timeout, this, &TCheckRecord::tmr1Timer);

    FormCreate();
}

TCheckRecord::~TCheckRecord() = default;

QWidget* TCheckRecord::AddPage(const char* picture) {
    auto* page = new QWidget;
    auto* background = new QLabel(page);
    background->setGeometry(0, 0, WizardWidth, WizardHeight);
    background->setPixmap(QPixmap(QStringLiteral(":/forms/checkrecord/") + QLatin1String(picture)));
    RzPageControl1->addWidget(page);
    return page;
}

QPushButton* TCheckRecord::MakeReplayButton(QWidget* page) {
    auto* button = new QPushButton(QStringLiteral("回放"), page);
    button->setObjectName(QStringLiteral("replayRecording"));
    button->setGeometry(ReplayButtonPlace);
    button->setCheckable(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { color: #1a3e6e; background: #ffffff; border: 1px solid #1f559c;"
        " border-radius: 3px; font-size: 13px; }"
        "QPushButton:hover { background: #e9f1fb; }"
        "QPushButton:checked { color: #ffffff; background: #1f559c; }"
        "QPushButton:disabled { color: #a0a8b4; border-color: #c4ccd8; background: #f4f6f9; }"));
    return button;
}

void TCheckRecord::FormCreate() {
    setMask(RoundedWindowRegion(QSize(WizardWidth + 1, WizardHeight + 1), CornerEllipse,
                                CornerEllipse));
    flow_->FormCreate();
    DebugLog("recording check: created, engine %s", qUtf8Printable(flow_->engineDir()));
}

void TCheckRecord::showEvent(QShowEvent* event) {
    // Restoring the window from minimised sends another, spontaneous show event: running the
    // show handler again would stop a running countdown and leave the recorder running.
    const bool firstShow = !event->spontaneous() && !shown_;
    if (firstShow && centreOn_)
        CentreOnWindow(this, centreOn_);
    QDialog::showEvent(event);
    if (!firstShow)
        return;
    shown_ = true;
    FormShow();
}

void TCheckRecord::FormShow() {
    Handle([this] { flow_->FormShow(); });
}

void TCheckRecord::RzBmpButton1Click() {
    close();
}

void TCheckRecord::RzBmpButton6Click() {
    close();
}

void TCheckRecord::RzBmpButton2Click() {
    DebugLog("recording check: start clicked");
    Handle([this] { flow_->RzBmpButton2Click(); });
}

void TCheckRecord::RzBmpButton8Click() {
    DebugLog("recording check: retry clicked");
    Handle([this] { flow_->RzBmpButton8Click(); });
}

void TCheckRecord::RzBmpButton9Click() {
    DebugLog("recording check: sample replayed");
    Handle([this] { flow_->RzBmpButton9Click(); });
}

void TCheckRecord::ReplayRecordingClick() {
    DebugLog("recording check: recording replay clicked");
    Handle([this] { flow_->ReplayRecordingClick(); });
}

void TCheckRecord::VyraAudioUtil1StatusChange(int status) {
    DebugLog("recording check: status %d", status);
    Handle([this, status] { flow_->VyraAudioUtil1StatusChange(status); });
}

void TCheckRecord::tmr1Timer() {
    Handle([this] { flow_->tmr1Timer(); });
}

void TCheckRecord::reject() {}

bool TCheckRecord::PageCloseEnabled() const {
    switch (RzPageControl1->currentIndex()) {
    case TestPage:
        return RzBmpButton3->isEnabled();
    case StartPage:
        return RzBmpButton1->isEnabled();
    default:
        return true;
    }
}

void TCheckRecord::closeEvent(QCloseEvent* event) {
    // A close from outside (the window manager) is refused while the page's own close button
    // is: during the sample and the recording.
    if (event->spontaneous() && !PageCloseEnabled()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TCheckRecord::FormClose() {
    if (flow_->Closed())
        return;
    flow_->FormClose();
    DebugLog("recording check: closed, passed %d", flow_->checkPassed() ? 1 : 0);
}

void TCheckRecord::Handle(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        Render();
        ShowDefaultError(QString::fromUtf8(failure.what()));
    }
    Render();
}

void TCheckRecord::Render() {
    const CheckRecordView& view = flow_->View();
    if (view.page != shownPage_) {
        shownPage_ = view.page;
        DebugLog("recording check: %s page", PageName(view.page));
    }
    RzPageControl1->setCurrentIndex(view.page);
    RzBmpButton1->setEnabled(view.startCloseEnabled);
    RzBmpButton3->setEnabled(view.testCloseEnabled);
    RzBmpButton9->setVisible(view.replayVisible);
    VyraMicLevel1->setVisible(view.meterVisible);
    RzProgressStatus1->setVisible(view.progressVisible);
    RzProgressStatus1->setRange(0, view.progressTotal);
    RzProgressStatus1->setValue(view.progressDone);
    lbl1->setText(view.countdown);
    img5->setVisible(view.micIconVisible);
    failureLine->setText(view.failureLine);
    for (QPushButton* replay : {replayOnSuccess, replayOnFailure}) {
        replay->setEnabled(view.recordingReplayEnabled);
        replay->setChecked(view.recordingReplaying);
    }
    RzPageControl1->repaint();
}
