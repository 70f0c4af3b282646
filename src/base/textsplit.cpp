#include "base/textsplit.h"

QStringList SplitText(const QString& text, const QString& delimiter) {
    QStringList lines;
    if (text.isEmpty())
        return lines;
    if (delimiter.isEmpty())
        return {text};
    qsizetype start = 0;
    for (qsizetype at = text.indexOf(delimiter); at >= 0; at = text.indexOf(delimiter, start)) {
        lines << text.mid(start, at - start);
        start = at + delimiter.size();
    }
    lines << text.mid(start);
    return lines;
}
