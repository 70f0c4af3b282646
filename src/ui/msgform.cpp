#include "ui/msgform.h"

#include "ui/formresources.h"
#include "ui/msgboxlayout.h"
#include "ui/picclip.h"
#include "ui/windowdrag.h"
#include "ui/windowplace.h"
#include "ui/windowregion.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

namespace {

constexpr int FormWidth = 318;
constexpr int FormHeight = 150;
constexpr int CornerEllipse = 4;

// The box was drawn for "宋体" and "MS Sans Serif"; where they are missing the text falls back
// to a CJK font of the same pixel size rather than to a Latin font without Chinese glyphs.
QFont SongTi(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont FormFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("宋体"),
                      QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(11);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& place, Qt::Alignment align) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setAlignment(align);
    return label;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

TSmartImage* MakeButton(QWidget* parent, const char* name, const char* strip, const QPoint& at) {
    auto* button = new TSmartImage(parent);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::NoFocus);
    button->SetCellCount(2);
    button->SetBitMap(QPixmap(QLatin1String(strip)));
    button->move(at);
    return button;
}

} // namespace

TMsgForm::TMsgForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    InitFormResources();
    setObjectName(QStringLiteral("MsgForm"));
    setWindowTitle(QStringLiteral("MsgForm"));
    setFixedSize(FormWidth, FormHeight);
    setFont(FormFont());

    ImgBg = new QLabel(this);
    ImgBg->setObjectName(QStringLiteral("ImgBg"));
    ImgBg->setGeometry(0, 0, FormWidth, FormHeight);
    ImgBg->setScaledContents(true);
    ImgBg->setPixmap(QPixmap(QStringLiteral(":/forms/msgbox/background.jpg")));

    const QPalette system = QGuiApplication::palette();
    // The title's line is as high as its font; a fallback font with a taller line would lose
    // the foot of its glyphs at the label's edge, so the line is centred instead of top-aligned.
    MsgTitle = MakeLabel(this, "MsgTitle", {8, 7, 500, 13}, Qt::AlignLeft | Qt::AlignVCenter);
    MsgTitle->setFont(SongTi(13, true));
    SetTextColour(MsgTitle, system.color(QPalette::Base));
    MsgTitle->setText(QStringLiteral("温馨提示"));

    MsgBody = MakeLabel(this, "MsgBody", {8, 44, 305, 21}, Qt::AlignHCenter | Qt::AlignTop);
    MsgBody->setFont(SongTi(13, false));
    SetTextColour(MsgBody, system.color(QPalette::Text));

    MsgBody2 = MakeLabel(this, "MsgBody2", {8, 72, 305, 25}, Qt::AlignLeft | Qt::AlignTop);
    MsgBody3 = MakeLabel(this, "MsgBody3", {8, 80, 305, 25}, Qt::AlignLeft | Qt::AlignTop);

    ImgBtnOk = MakeButton(this, "ImgBtnOk", ":/forms/msgbox/ok.png", {72, 104});
    ImgBtnCancel = MakeButton(this, "ImgBtnCancel", ":/forms/msgbox/cancel.png", {176, 104});
    connect(ImgBtnOk, &TSmartImage::Click, this, &TMsgForm::ImgBtnOkClick);
    connect(ImgBtnCancel, &TSmartImage::Click, this, &TMsgForm::ImgBtnCancelClick);

    for (QWidget* dragArea : {static_cast<QWidget*>(ImgBg), static_cast<QWidget*>(MsgTitle),
                              static_cast<QWidget*>(MsgBody), static_cast<QWidget*>(MsgBody2),
                              static_cast<QWidget*>(MsgBody3)})
        dragArea->installEventFilter(this);

    FormCreate();
}

void TMsgForm::FormCreate() {
    setMask(RoundedWindowRegion(size(), CornerEllipse, CornerEllipse));
}

void TMsgForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TMsgForm::FormShow() {
    CentreOnScreen(this);

    const MsgBodyLayout layout = LayOutMsgBody(MsgBody->text());
    MsgBody->move(MsgBody->x(), layout.bodyTop);
    MsgBody->setText(layout.bodyCaption);
    if (layout.body2Top)
        MsgBody2->move(MsgBody2->x(), *layout.body2Top);
    MsgBody2->setText(layout.body2Caption);
    if (layout.body3Top)
        MsgBody3->move(MsgBody3->x(), *layout.body3Top);
    MsgBody3->setText(layout.body3Caption);
}

void TMsgForm::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(event);
}

void TMsgForm::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        event->accept();
        ImgBtnOkClick();
        break;
    default:
        // Escape in particular: the box answers only through its buttons.
        event->accept();
        break;
    }
}

void TMsgForm::reject() {}

void TMsgForm::ImgBtnOkClick() {
    ImgBtnOk->SetCell(1);
    done(1);
}

void TMsgForm::ImgBtnCancelClick() {
    ImgBtnCancel->SetCell(1);
    done(2);
}

bool TMsgForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        ImgBgMouseDown(static_cast<QMouseEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TMsgForm::ImgBgMouseDown(QMouseEvent* event) {
    StartWindowDrag(this, event);
}

TMsgForm* MsgForm() {
    // Held weakly: if the application object takes the box down with it, the next call after a
    // new application object starts over instead of touching a deleted window.
    static QPointer<TMsgForm> form;
    if (!form)
        form = new TMsgForm;
    return form;
}
