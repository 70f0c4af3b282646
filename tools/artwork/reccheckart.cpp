#include "reccheckart.h"

#include <functional>

namespace {

// Where the wizard's controls sit on its 558 × 353 pages.
const QSize PageSize(558, 353);
const QRect CloseButton(528, 12, 19, 19);
const QSize WideButton(108, 36);
const QRect StartButton(QPoint(432, 272), WideButton);
const QRect SpeakerButton(336, 178, 27, 26);
const QRect MicIcon(70, 290, 21, 34);
const QRect LevelMeter(464, 128, 70, 150);

constexpr int TitleBarHeight = 44;
// Countdown, progress bar and buttons all sit on the band below this line.
constexpr int BandTop = 256;

const QColor Success(0x3a, 0xa8, 0x5a);
const QColor Warning(0xe8, 0x7a, 0x2e);
const QColor Alarm(0xc0, 0x3a, 0x2b);

void DrawLine(QPainter& painter, const QRectF& place, const QString& text, const QFont& font,
              const QColor& colour, int flags = Qt::AlignLeft | Qt::AlignVCenter) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(place, flags, text);
}

using Content = std::function<void(QPainter&)>;

QImage Page(const Content& content) {
    QImage page(PageSize, QImage::Format_RGB32);
    page.fill(RecCheckLook::Body);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRect bar(0, 0, PageSize.width(), TitleBarHeight);
    painter.fillRect(bar, VerticalGradient(bar, Look::Mid, Look::Dark));
    painter.fillRect(QRect(0, 0, PageSize.width(), 1), Look::Light);
    DrawMicrophone(painter, QRectF(17, 11, 13, 22), Qt::white);
    DrawLine(painter, QRectF(40, 0, 300, TitleBarHeight), QStringLiteral("麦克风测试"),
             CjkFont(18, true), Qt::white);

    painter.fillRect(QRect(0, BandTop, PageSize.width(), PageSize.height() - BandTop),
                     RecCheckLook::Band);
    painter.fillRect(QRect(0, BandTop, PageSize.width(), 1), Look::Light);

    content(painter);

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Look::Dark);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), PageSize - QSize(1, 1)));
    return page;
}

// The sentence to read, in a bubble left of the loudspeaker button.
void DrawSentenceBubble(QPainter& painter) {
    const QRectF bubble(40.5, 146.5, 286, 90);
    QPainterPath tail;
    tail.moveTo(60, bubble.bottom() - 2);
    tail.lineTo(50, bubble.bottom() + 14);
    tail.lineTo(84, bubble.bottom() - 2);
    tail.closeSubpath();
    painter.setPen(QPen(Look::Light, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(RoundedBox(bubble, 8).united(tail));

    const QRectF text = bubble.adjusted(16, 10, -14, -10);
    DrawLine(painter, QRectF(text.left(), text.top(), text.width(), 44),
             QStringLiteral("Living without an aim is like sailing without a compass."),
             CjkFont(15, true), Look::Deep, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
    DrawLine(painter, QRectF(text.left(), text.bottom() - 22, text.width(), 22),
             QStringLiteral("生活没有目标，犹如航海没有罗盘。"), CjkFont(14, false), Look::Mid);
}

// The start page shows a microphone where the test page's level meter will stand; the meter
// covers it whole, so it stays inside the meter's place.
void DrawMeterPlaceholder(QPainter& painter) {
    const QPointF centre(LevelMeter.center().x() + 0.5, 190);
    painter.setPen(QPen(Look::Light, 2));
    painter.setBrush(Look::Pale);
    painter.drawEllipse(centre, 32, 32);
    DrawMicrophone(painter, QRectF(centre.x() - 12, centre.y() - 20, 24, 40), Look::Bright);
}

void DrawStart(QPainter& painter) {
    const QFont hint = CjkFont(14, false);
    DrawLine(painter, QRectF(40, 56, 400, 20),
             QStringLiteral("1、请确保您的麦克风已正确连接到您的计算机"), hint, Look::Ink);
    DrawLine(painter, QRectF(40, 80, 400, 20), QStringLiteral("2、请调整麦克风与嘴巴之间的距离。"),
             hint, Look::Ink);
    DrawLine(painter, QRectF(40, 114, 420, 20),
             QStringLiteral("即将开始自动试音，请在听到示范音后，读出下面的句子："),
             CjkFont(14, true), Look::Deep);
    DrawSentenceBubble(painter);
    DrawMeterPlaceholder(painter);
}

QRectF Across(qreal top, qreal height) {
    return QRectF(0, top, PageSize.width(), height);
}

void DrawSuccess(QPainter& painter) {
    const QPointF centre(PageSize.width() / 2.0, 96);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Success);
    painter.drawEllipse(centre, 30, 30);
    QPainterPath tick;
    tick.moveTo(centre + QPointF(-13, 1));
    tick.lineTo(centre + QPointF(-4, 10));
    tick.lineTo(centre + QPointF(14, -9));
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);

    DrawLine(painter, Across(140, 32), QStringLiteral("麦克风录音效果良好！"), CjkFont(22, true),
             Look::Deep, Qt::AlignCenter);
    DrawLine(painter, Across(186, 22), QStringLiteral("请点击“完成”按钮开始测试与学习"),
             CjkFont(14, false), Look::Ink, Qt::AlignCenter);
}

void DrawFailure(QPainter& painter) {
    const QPointF centre(PageSize.width() / 2.0, 88);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Warning);
    painter.drawEllipse(centre, 28, 28);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(0, -14), centre + QPointF(0, 4));
    painter.drawPoint(centre + QPointF(0, 14));

    DrawLine(painter, Across(126, 32), QStringLiteral("无法听到您的声音！"), CjkFont(22, true),
             Alarm, Qt::AlignCenter);
    DrawLine(painter, Across(162, 24), QStringLiteral("请检查您的麦克风！"), CjkFont(16, false),
             Look::Deep, Qt::AlignCenter);
    const QFont hint = CjkFont(14, false);
    DrawLine(painter, Across(198, 20), QStringLiteral("点击“重试”按钮重新试音"), hint, Look::Ink,
             Qt::AlignCenter);
    DrawLine(painter, Across(222, 20), QStringLiteral("点击“退出”按钮开始测试与学习"), hint,
             Look::Ink, Qt::AlignCenter);
}

struct CloseLook {
    QColor fill, ring, cross;
    int shift = 0;
};

QImage CloseFace(const CloseLook& look, const QColor& matte) {
    QImage face = TransparentImage(CloseButton.width(), CloseButton.height());
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(0.5, 0.5, face.width() - 1, face.height() - 1);
    painter.setPen(QPen(look.ring, 1.2));
    painter.setBrush(look.fill);
    painter.drawEllipse(circle);
    const QPointF c = circle.center() + QPointF(look.shift, look.shift);
    painter.setPen(QPen(look.cross, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(c + QPointF(-3.8, -3.8), c + QPointF(3.8, 3.8));
    painter.drawLine(c + QPointF(-3.8, 3.8), c + QPointF(3.8, -3.8));
    painter.end();
    return OnOlive(face, matte);
}

void Loudspeaker(QPainter& painter, const QRectF& box, const QColor& ink) {
    const QPointF c = box.center() + QPointF(-2.5, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    QPainterPath cone;
    cone.moveTo(c + QPointF(-6, -2.5));
    cone.lineTo(c + QPointF(-2.5, -2.5));
    cone.lineTo(c + QPointF(2, -7));
    cone.lineTo(c + QPointF(2, 7));
    cone.lineTo(c + QPointF(-2.5, 2.5));
    cone.lineTo(c + QPointF(-6, 2.5));
    cone.closeSubpath();
    painter.drawPath(cone);
    painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (const qreal radius : {4.5, 8.0})
        painter.drawArc(QRectF(c.x() + 2 - radius, c.y() - radius, 2 * radius, 2 * radius),
                        -50 * 16, 100 * 16);
}

QImage MicrophoneIcon(const QColor& matte) {
    QImage icon = TransparentImage(MicIcon.width(), MicIcon.height());
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawMicrophone(painter, QRectF(2, 1, MicIcon.width() - 4, MicIcon.height() - 2), Look::Mid);
    painter.end();
    return OnOlive(icon, matte);
}

// The captioned buttons: blue, lighter under the mouse, darker when pressed.
const FaceColours WideUp{Look::Mid, Look::Dark, Look::Deep, Qt::white};
const FaceColours WideHot{QColor(0x3b, 0x7f, 0xcf), Look::Mid, Look::Deep, Qt::white};
const FaceColours WideDown{Look::Dark, Look::Mid, Look::Deep, QColor(0xdd, 0xea, 0xf8), 1};

const FaceColours SpeakerUp{Qt::white, QColor(0xd6, 0xe6, 0xf8), QColor(0x6f, 0x9b, 0xd1),
                            Look::Mid};
const FaceColours SpeakerHot{Qt::white, QColor(0xe6, 0xf1, 0xfd), Look::Bright, Look::Bright};
const FaceColours SpeakerDown{QColor(0xc0, 0xd7, 0xf2), QColor(0xe0, 0xec, 0xfa), Look::Dark,
                              Look::Dark, 1};

const CloseLook CloseUp{QColor(0x1a, 0x4a, 0x88), QColor(0xb8, 0xd2, 0xf0), Qt::white};
const CloseLook CloseHot{Look::Bright, Qt::white, Qt::white};
const CloseLook CloseDown{Look::Deep, Look::Light, Look::Light, 1};
const CloseLook CloseDisabled{QColor(0x5f, 0x77, 0x93), QColor(0x8d, 0xa0, 0xb7),
                              QColor(0xa9, 0xb8, 0xc9)};

} // namespace

void DrawRecCheckArt(const QString& resources) {
    const QString folder = resources + QStringLiteral("/forms/checkrecord/");
    const auto save = [&folder](const QImage& picture, const QString& name) {
        Save(picture, folder + name + QStringLiteral(".png"));
    };
    const QImage start = Page(DrawStart);
    save(start, QStringLiteral("page_start"));
    save(Page(DrawSuccess), QStringLiteral("page_success"));
    save(Page(DrawFailure), QStringLiteral("page_failure"));

    // Each face is blended at its edges into what the page shows at its place.
    const QColor titleBar = start.pixelColor(CloseButton.center());
    const QColor band = start.pixelColor(StartButton.center());
    const QColor body = start.pixelColor(SpeakerButton.center());

    save(CloseFace(CloseUp, titleBar), QStringLiteral("close_up"));
    save(CloseFace(CloseHot, titleBar), QStringLiteral("close_hot"));
    save(CloseFace(CloseDown, titleBar), QStringLiteral("close_down"));
    save(CloseFace(CloseDisabled, titleBar), QStringLiteral("close_disabled"));

    const struct {
        const char* name;
        const char* caption;
    } wide[] = {{"start", "开始"}, {"finish", "完成"}, {"exit", "退出"}, {"retry", "重试"}};
    for (const auto& button : wide) {
        const FaceSymbol caption = Caption(QString::fromUtf8(button.caption), 16);
        const QString name = QString::fromLatin1(button.name);
        save(GlossyFace(WideButton, 5, WideUp, band, caption), name + QStringLiteral("_up"));
        save(GlossyFace(WideButton, 5, WideHot, band, caption), name + QStringLiteral("_hot"));
        save(GlossyFace(WideButton, 5, WideDown, band, caption), name + QStringLiteral("_down"));
    }

    save(GlossyFace(SpeakerButton.size(), 4, SpeakerUp, body, Loudspeaker),
         QStringLiteral("speaker_up"));
    save(GlossyFace(SpeakerButton.size(), 4, SpeakerHot, body, Loudspeaker),
         QStringLiteral("speaker_hot"));
    save(GlossyFace(SpeakerButton.size(), 4, SpeakerDown, body, Loudspeaker),
         QStringLiteral("speaker_down"));
    save(MicrophoneIcon(band), QStringLiteral("mic"));

    DrawTipCheckRecArt(resources);
    DrawLevelMeterArt(resources);
    WriteDingSound(resources);
}
