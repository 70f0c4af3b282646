#include "reccheck/tipcheckrec.h"

#include "log/logger.h"
#include "reccheck/checkrecord.h"
#include "reccheck/rectip.h"
#include "system/settings.h"
#include "ui/errorbox.h"
#include "ui/formresources.h"
#include "ui/picbutton.h"
#include "ui/windowplace.h"
#include "ui/windowregion.h"

#include <QCheckBox>
#include <QLabel>

namespace {

constexpr int TipWidth = 342;
constexpr int TipHeight = 193;
constexpr int CornerEllipse = 4;

const char* const TipText = "试音过程约半分钟，首先录制一段语音，系\r\n"
                            "               \r\n"
                            "统将根据录音音量大小将麦克风音量调整至\r\n"
                            "                \r\n"
                            "最佳状态。";

QFont SongFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("宋体"));
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

TPicButton* MakeTipButton(QWidget* parent, const QPoint& place, const QString& caption) {
    TPicButton* button = MakePicButton(parent, QRect(place, QSize(77, 30)),
                                       {{TPicButton::Up, ":/forms/tipcheckrec/button_up.png"},
                                        {TPicButton::Hot, ":/forms/tipcheckrec/button_hot.png"},
                                        {TPicButton::Down, ":/forms/tipcheckrec/button_down.png"}});
    button->setCaption(caption);
    button->setFont(SongFont(13, true));
    // The caption is drawn in the window-background colour.
    QPalette palette = button->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Window));
    button->setPalette(palette);
    return button;
}

} // namespace

TTipCheckRec::TTipCheckRec(TAudioControls& controls, QWidget* centreOn)
    : QDialog(nullptr, Qt::FramelessWindowHint | Qt::Dialog), controls_(controls),
      centreOn_(centreOn) {
    InitFormResources();
    setObjectName(QStringLiteral("TipCheckRec"));
    setModal(true);
    setFixedSize(TipWidth, TipHeight);

    img1 = new QLabel(this);
    img1->setGeometry(0, 0, TipWidth, TipHeight);
    img1->setPixmap(QPixmap(QStringLiteral(":/forms/tipcheckrec/background.png")));

    lbl1 = new QLabel(this);
    lbl1->setGeometry(40, 56, 266, 70);
    lbl1->setText(QString::fromUtf8(TipText).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    lbl1->setFont(SongFont(14, false));
    lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl1->setAttribute(Qt::WA_TranslucentBackground);
    QPalette textPalette = lbl1->palette();
    textPalette.setColor(QPalette::WindowText, QColor(28, 120, 138));
    lbl1->setPalette(textPalette);

    RzBmpButton1 = MakeTipButton(this, {40, 140}, QStringLiteral("立即开始"));
    RzBmpButton2 = MakeTipButton(this, {132, 140}, QStringLiteral("跳过试音"));

    rzchckbx1 = new QCheckBox(QStringLiteral("不再提示"), this);
    rzchckbx1->setGeometry(230, 145, 79, 17);
    rzchckbx1->setFont(SongFont(12, false));
    rzchckbx1->setAttribute(Qt::WA_TranslucentBackground);
    rzchckbx1->setChecked(false);

    connect(RzBmpButton1, &TPicButton::clicked, this, &TTipCheckRec::RzBmpButton1Click);
    connect(RzBmpButton2, &TPicButton::clicked, this, &TTipCheckRec::RzBmpButton2Click);

    FormCreate();
}

void TTipCheckRec::FormCreate() {
    setMask(RoundedWindowRegion(QSize(TipWidth + 1, TipHeight + 1), CornerEllipse, CornerEllipse));
}

void TTipCheckRec::showEvent(QShowEvent* event) {
    if (centreOn_)
        CentreOnWindow(this, centreOn_);
    QDialog::showEvent(event);
    FormShow();
}

void TTipCheckRec::FormShow() {
    if (!IsRecTipOn())
        rzchckbx1->setChecked(true);
}

void TTipCheckRec::NextTip(bool dontRemind) {
    try {
        UpdateRecTip(dontRemind);
    } catch (const std::exception& failure) {
        WriteLog("TTipCheckRec.NextTip Exception ERROR[%s]", failure.what());
    }
}

void TTipCheckRec::RzBmpButton1Click() {
    DebugLog("recording tip: start now, box %d", rzchckbx1->isChecked() ? 1 : 0);
    NextTip(rzchckbx1->isChecked());
    RunHandler([this] {
        // The tip stays behind the wizard and goes when the wizard has been closed.
        TCheckRecord wizard(controls_, centreOn_);
        wizard.exec();
    });
    done(0);
}

void TTipCheckRec::RzBmpButton2Click() {
    DebugLog("recording tip: skipped, box %d", rzchckbx1->isChecked() ? 1 : 0);
    NextTip(rzchckbx1->isChecked());
    done(0);
}

void TTipCheckRec::reject() {}
