#include "reccheckart.h"

namespace {

// The dialog is 342 × 193; its text block starts at row 56 and its buttons at 40,140 and
// 132,140, so the heading keeps to the rows above.
const QSize DialogSize(342, 193);
const QSize ButtonSize(77, 30);
const QPoint FirstButton(40, 140);
constexpr int HeadingHeight = 46;

QImage Background() {
    QImage picture(DialogSize, QImage::Format_RGB32);
    picture.fill(Look::Pale);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRect heading(0, 0, DialogSize.width(), HeadingHeight);
    painter.fillRect(heading, VerticalGradient(heading, Qt::white, Look::Paler));
    painter.fillRect(QRect(12, HeadingHeight, DialogSize.width() - 24, 1), Look::Light);

    const QPointF badge(27, HeadingHeight / 2.0 + 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Look::Mid);
    painter.drawEllipse(badge, 13, 13);
    DrawMicrophone(painter, QRectF(badge.x() - 5.5, badge.y() - 8.5, 11, 17), Qt::white);

    painter.setFont(CjkFont(18, true));
    painter.setPen(Look::Deep);
    painter.drawText(QRectF(48, 0, 260, HeadingHeight + 2), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("即将开始试音！"));

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Look::Mid);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), DialogSize - QSize(1, 1)));
    return picture;
}

// The buttons' captions are drawn by the widget in the light window colour, so every face
// stays a dark blue, even under the mouse; the pressed face turns its gradient upside down.
const FaceColours Up{QColor(0x1a, 0x4a, 0x88), QColor(0x12, 0x36, 0x66), Look::Deep, {}};
const FaceColours Hot{Look::Dark, Look::Deep, Look::Deep, {}};
const FaceColours Down{QColor(0x0f, 0x2e, 0x56), Look::Deep, Look::Deep, {}};

void NoCaption(QPainter&, const QRectF&, const QColor&) {}

} // namespace

void DrawTipCheckRecArt(const QString& resources) {
    const QString folder = resources + QStringLiteral("/forms/tipcheckrec/");
    const QImage background = Background();
    Save(background, folder + QStringLiteral("background.png"));

    const QColor matte = background.pixelColor(FirstButton + QPoint(ButtonSize.width() / 2, 0));
    Save(GlossyFace(ButtonSize, 4, Up, matte, NoCaption), folder + QStringLiteral("button_up.png"));
    Save(GlossyFace(ButtonSize, 4, Hot, matte, NoCaption),
         folder + QStringLiteral("button_hot.png"));
    Save(GlossyFace(ButtonSize, 4, Down, matte, NoCaption),
         folder + QStringLiteral("button_down.png"));
}
