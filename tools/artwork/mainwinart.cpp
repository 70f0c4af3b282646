#include "painting.h"

#include <QPainter>

#include <functional>

namespace {

constexpr int SkinWidth = 800;
constexpr int SkinHeight = 600;
// The browser fills 2,115 796 × 457; the strip above it carries the buttons.
const QRect BrowserArea(2, 115, 796, 457);
constexpr int TopBarHeight = 30;

struct SkinColours {
    QColor barTop, barBottom, bandTop, bandBottom, footerTop, footerBottom;
};

const SkinColours OuterColours{Look::Deep, Look::Dark, Look::Mid,
                               Look::Dark, Look::Dark, Look::Deep};
// Learning pages get a calmer, slightly greener blue so the two skins are told apart at once.
const SkinColours InsideColours{QColor(0x15, 0x4a, 0x78), QColor(0x1c, 0x5c, 0x92),
                                QColor(0x2a, 0x7c, 0xb4), QColor(0x1d, 0x60, 0x98),
                                QColor(0x1c, 0x5c, 0x92), QColor(0x15, 0x4a, 0x78)};

QColor Between(const QColor& a, const QColor& b, double at) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * at,
                            a.greenF() + (b.greenF() - a.greenF()) * at,
                            a.blueF() + (b.blueF() - a.blueF()) * at);
}

// What the faces sit on: the top bar for the small buttons, the band for the return button.
QColor BarMatte() {
    return Between(OuterColours.barTop, OuterColours.barBottom, 0.5);
}
QColor BandMatte() {
    return Between(OuterColours.bandTop, OuterColours.bandBottom,
                   (55.0 - TopBarHeight) / (BrowserArea.top() - TopBarHeight));
}

void DrawEmblem(QPainter& painter, const QPointF& centre) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawEllipse(centre, 28, 28);
    // An open book with a speech bubble above it: reading and speaking.
    QPainterPath book;
    const qreal x = centre.x();
    const qreal y = centre.y() + 4;
    book.moveTo(x, y - 6);
    book.cubicTo(x - 7, y - 11, x - 14, y - 11, x - 18, y - 8);
    book.lineTo(x - 18, y + 12);
    book.cubicTo(x - 14, y + 9, x - 7, y + 9, x, y + 14);
    book.cubicTo(x + 7, y + 9, x + 14, y + 9, x + 18, y + 12);
    book.lineTo(x + 18, y - 8);
    book.cubicTo(x + 14, y - 11, x + 7, y - 11, x, y - 6);
    book.closeSubpath();
    painter.setBrush(Look::Mid);
    painter.drawPath(book);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawLine(QPointF(x, y - 5), QPointF(x, y + 13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Look::Bright);
    painter.drawPath(RoundedBox(QRectF(x + 4, centre.y() - 22, 18, 12), 4));
    QPainterPath tail;
    tail.moveTo(x + 8, centre.y() - 11);
    tail.lineTo(x + 6, centre.y() - 6);
    tail.lineTo(x + 12, centre.y() - 11);
    painter.drawPath(tail);
    painter.setBrush(Qt::white);
    for (int dot = 0; dot < 3; ++dot)
        painter.drawEllipse(QPointF(x + 8 + dot * 5, centre.y() - 16), 1.3, 1.3);
}

QImage Skin(const SkinColours& colours, const QString& title, const QString& subtitle) {
    QImage skin(SkinWidth, SkinHeight, QImage::Format_RGB32);
    skin.fill(Look::Paler);
    QPainter painter(&skin);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRect bar(0, 0, SkinWidth, TopBarHeight);
    painter.fillRect(bar, VerticalGradient(bar, colours.barTop, colours.barBottom));
    const QRect band(0, TopBarHeight, SkinWidth, BrowserArea.top() - TopBarHeight);
    painter.fillRect(band, VerticalGradient(band, colours.bandTop, colours.bandBottom));
    painter.fillRect(QRect(0, TopBarHeight, SkinWidth, 1), QColor(255, 255, 255, 60));

    // Soft rings on the right of the band; the return button stays on a quiet background.
    painter.save();
    painter.setClipRect(band);
    painter.setPen(QPen(QColor(255, 255, 255, 22), 14));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(560, 150), 120, 120);
    painter.setPen(QPen(QColor(255, 255, 255, 14), 8));
    painter.drawEllipse(QPointF(470, -10), 90, 90);
    painter.restore();

    DrawEmblem(painter, QPointF(58, 72));
    painter.setPen(Qt::white);
    painter.setFont(CjkFont(28, true));
    painter.drawText(QRect(100, 44, 400, 36), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setPen(Look::Light);
    painter.setFont(CjkFont(12, false));
    painter.drawText(QRect(102, 80, 400, 18), Qt::AlignLeft | Qt::AlignVCenter, subtitle);

    const QRect footer(0, BrowserArea.bottom() + 1, SkinWidth,
                       SkinHeight - BrowserArea.bottom() - 1);
    painter.fillRect(footer, VerticalGradient(footer, colours.footerTop, colours.footerBottom));
    painter.fillRect(QRect(0, BrowserArea.top(), BrowserArea.left(), BrowserArea.height()),
                     colours.bandBottom);
    painter.fillRect(QRect(BrowserArea.right() + 1, BrowserArea.top(),
                           SkinWidth - BrowserArea.right() - 1, BrowserArea.height()),
                     colours.bandBottom);

    painter.fillRect(BrowserArea, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Look::Light);
    painter.drawLine(BrowserArea.left(), BrowserArea.top() - 1, BrowserArea.right(),
                     BrowserArea.top() - 1);
    painter.drawLine(BrowserArea.left(), BrowserArea.bottom() + 1, BrowserArea.right(),
                     BrowserArea.bottom() + 1);
    painter.setPen(colours.barTop);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, SkinWidth - 1, SkinHeight - 1));
    return skin;
}

struct FaceLook {
    QColor top, bottom, edge, ink;
    int shift = 0;          // pressed faces move their content one pixel down and right
    bool focusRing = false; // the focused face of the return button
};

using Symbol = std::function<void(QPainter&, const QRectF&, const QColor&)>;

QImage Face(int width, int height, qreal radius, const FaceLook& look, const QColor& matte,
            const Symbol& symbol) {
    QImage face = TransparentImage(width, height);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(0.5, 0.5, width - 1, height - 1);
    painter.setPen(QPen(look.edge, 1));
    painter.setBrush(VerticalGradient(box, look.top, look.bottom));
    painter.drawPath(RoundedBox(box, radius));
    if (look.focusRing) {
        painter.setPen(QPen(look.ink, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(RoundedBox(box.adjusted(3, 3, -3, -3), radius - 2));
    }
    symbol(painter, box.translated(look.shift, look.shift), look.ink);
    painter.end();
    return OnOlive(face, matte);
}

// An icon at the left and a word beside it, centred together.
Symbol IconAndWord(const QString& word, int pixelSize, bool bold, qreal iconWidth,
                   const std::function<void(QPainter&, const QRectF&, const QColor&)>& icon) {
    return [=](QPainter& painter, const QRectF& box, const QColor& ink) {
        const QFont font = CjkFont(pixelSize, bold);
        const qreal wordWidth = QFontMetricsF(font).horizontalAdvance(word);
        const qreal gap = 4;
        const qreal left = box.center().x() - (iconWidth + gap + wordWidth) / 2;
        icon(painter, QRectF(left, box.top(), iconWidth, box.height()), ink);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QRectF(left + iconWidth + gap, box.top(), wordWidth + 2, box.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, word);
    };
}

void Microphone(QPainter& painter, const QRectF& area, const QColor& ink) {
    const qreal x = area.center().x();
    const qreal y = area.center().y();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(RoundedBox(QRectF(x - 2.5, y - 7, 5, 9), 2.5));
    painter.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(x - 5, y - 6, 10, 10), 200 * 16, 140 * 16);
    painter.drawLine(QPointF(x, y + 4), QPointF(x, y + 7));
    painter.drawLine(QPointF(x - 3, y + 7), QPointF(x + 3, y + 7));
}

void Power(QPainter& painter, const QRectF& area, const QColor& ink) {
    const qreal x = area.center().x();
    const qreal y = area.center().y() + 0.5;
    painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(x - 5.5, y - 5.5, 11, 11), 125 * 16, 290 * 16);
    painter.drawLine(QPointF(x, y - 7), QPointF(x, y - 1));
}

void BackArrow(QPainter& painter, const QRectF& area, const QColor& ink) {
    const qreal x = area.left();
    const qreal y = area.center().y();
    painter.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    QPainterPath arrow;
    arrow.moveTo(x + 7, y - 6);
    arrow.lineTo(x + 1, y);
    arrow.lineTo(x + 7, y + 6);
    arrow.moveTo(x + 1.5, y);
    arrow.lineTo(x + 14, y);
    painter.drawPath(arrow);
}

Symbol MinimiseMark() {
    return [](QPainter& painter, const QRectF& box, const QColor& ink) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRect(QRectF(box.center().x() - 5, box.center().y() + 1, 10, 2));
    };
}

Symbol CloseMark() {
    return [](QPainter& painter, const QRectF& box, const QColor& ink) {
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = box.center();
        painter.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
        painter.drawLine(c + QPointF(-3.5, 3.5), c + QPointF(3.5, -3.5));
    };
}

// Looks of the buttons on the dark top bar and of the pale return button on the band.
const FaceLook BarUp{Look::Bright, Look::Mid, Look::Deep, Qt::white};
const FaceLook BarDown{Look::Dark, Look::Mid, Look::Deep, QColor(0xdd, 0xea, 0xf8), 1};
const FaceLook BarHot{QColor(0x6a, 0xa8, 0xec), Look::Bright, Look::Deep, Qt::white};
const FaceLook BarDisabled{QColor(0x8f, 0xa3, 0xbb), QColor(0x78, 0x8d, 0xa7),
                           QColor(0x5d, 0x71, 0x8b), QColor(0xc9, 0xd4, 0xe1)};
const FaceLook SmallUp{Look::Mid, Look::Dark, Look::Deep, Qt::white};

const FaceLook PaleUp{Qt::white, QColor(0xd6, 0xe6, 0xf8), QColor(0x6f, 0x9b, 0xd1), Look::Ink};
const FaceLook PaleHot{Qt::white, QColor(0xe6, 0xf1, 0xfd), Look::Bright, Look::Mid};
const FaceLook PaleDown{QColor(0xc0, 0xd7, 0xf2), QColor(0xe0, 0xec, 0xfa), Look::Dark, Look::Ink,
                        1};
const FaceLook PaleStayDown{QColor(0xaf, 0xcb, 0xed), QColor(0xcf, 0xe1, 0xf6), Look::Deep,
                            Look::Deep, 1};
const FaceLook PaleDisabled{QColor(0xee, 0xf1, 0xf5), QColor(0xd9, 0xe0, 0xe8),
                            QColor(0xa9, 0xb6, 0xc6), QColor(0x9a, 0xa8, 0xb8)};

FaceLook Focused(FaceLook look) {
    look.focusRing = true;
    return look;
}

} // namespace

void DrawMainWindowArt(const QString& resources) {
    const QString images = resources + QStringLiteral("/install/resource/image/");
    Save(Skin(OuterColours, QStringLiteral("英语在线学习"),
              QStringLiteral("English Online Learning")),
         images + QStringLiteral("So_800_600.png"));
    Save(Skin(InsideColours, QStringLiteral("学习中心"), QStringLiteral("Learning Center")),
         images + QStringLiteral("So_800_600_inside.png"));

    const QString faces = resources + QStringLiteral("/forms/mainwin/");
    const auto save = [&faces](const QImage& face, const char* name) {
        Save(face, faces + QLatin1String(name) + QStringLiteral(".png"));
    };
    const QColor bar = BarMatte();
    const QColor band = BandMatte();

    const Symbol soundTest = IconAndWord(QStringLiteral("试音"), 12, false, 10, Microphone);
    save(Face(59, 25, 4, BarUp, bar, soundTest), "soundtest_up");
    save(Face(59, 25, 4, BarDown, bar, soundTest), "soundtest_down");
    save(Face(59, 25, 4, BarDisabled, bar, soundTest), "soundtest_disabled");

    const Symbol logOut = IconAndWord(QStringLiteral("退出"), 12, false, 12, Power);
    save(Face(60, 25, 4, BarUp, bar, logOut), "logout_up");
    save(Face(60, 25, 4, BarDown, bar, logOut), "logout_down");
    save(Face(60, 25, 4, BarDisabled, bar, logOut), "logout_disabled");

    save(Face(28, 14, 3, SmallUp, bar, MinimiseMark()), "minimize_up");
    save(Face(28, 14, 3, BarHot, bar, MinimiseMark()), "minimize_hot");
    save(Face(28, 14, 3, BarDisabled, bar, MinimiseMark()), "minimize_disabled");
    save(Face(28, 14, 3, SmallUp, bar, CloseMark()), "close_up");
    save(Face(28, 14, 3, BarHot, bar, CloseMark()), "close_hot");

    const Symbol back = IconAndWord(QStringLiteral("返回"), 15, true, 15, BackArrow);
    save(Face(95, 33, 5, PaleUp, band, back), "return_up");
    save(Face(95, 33, 5, PaleDown, band, back), "return_down");
    save(Face(95, 33, 5, PaleStayDown, band, back), "return_staydown");
    save(Face(95, 33, 5, PaleHot, band, back), "return_hot");
    save(Face(95, 33, 5, Focused(PaleUp), band, back), "return_upfocused");
    save(Face(95, 33, 5, PaleDisabled, band, back), "return_disabled");
}
