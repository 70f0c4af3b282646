#include "bridge/dialogfeatures.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr int EmPixels = 16;
constexpr int SmallestSide = 100;

std::optional<int> ReadLength(const QString& value) {
    static const QRegularExpression length(
        QStringLiteral("^([+-]?\\d{1,6}(?:\\.\\d*)?)\\s*(px|em)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = length.match(value.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const double number = match.captured(1).toDouble();
    const bool em = match.captured(2).compare(QLatin1String("em"), Qt::CaseInsensitive) == 0;
    return static_cast<int>(em ? number * EmPixels : number);
}

std::optional<bool> ReadSwitch(const QString& value) {
    const QString word = value.trimmed().toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("1") || word == QLatin1String("on"))
        return true;
    if (word == QLatin1String("no") || word == QLatin1String("0") || word == QLatin1String("off"))
        return false;
    return std::nullopt;
}

} // namespace

DialogFeatures ParseDialogFeatures(const QString& text) {
    DialogFeatures features;
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    for (const QString& entry : text.split(separators)) {
        const qsizetype colon = entry.indexOf(QRegularExpression(QStringLiteral("[:=]")));
        if (colon < 0)
            continue;
        const QString name = entry.left(colon).trimmed().toLower();
        const QString value = entry.mid(colon + 1);
        if (name == QLatin1String("dialogwidth")) {
            if (const auto width = ReadLength(value))
                features.width = *width;
        } else if (name == QLatin1String("dialogheight")) {
            if (const auto height = ReadLength(value))
                features.height = *height;
        } else if (name == QLatin1String("dialogleft")) {
            if (const auto left = ReadLength(value))
                features.left = *left;
        } else if (name == QLatin1String("dialogtop")) {
            if (const auto top = ReadLength(value))
                features.top = *top;
        } else if (name == QLatin1String("center")) {
            if (const auto center = ReadSwitch(value))
                features.center = *center;
        }
    }
    return features;
}

QRect DialogGeometry(const DialogFeatures& features, const QRect& area) {
    const int width =
        std::clamp(features.width, SmallestSide, std::max(SmallestSide, area.width()));
    const int height =
        std::clamp(features.height, SmallestSide, std::max(SmallestSide, area.height()));
    // An explicit position wins over centring; without either the dialog sits at the corner.
    auto place = [&](std::optional<int> given, int start, int span, int size) {
        if (given)
            return std::clamp(start + *given, start, std::max(start, start + span - size));
        return features.center ? start + std::max(0, (span - size) / 2) : start;
    };
    return QRect(place(features.left, area.x(), area.width(), width),
                 place(features.top, area.y(), area.height(), height), width, height);
}
