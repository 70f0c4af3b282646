#include "base/delimitedvalue.h"

#include <QByteArray>
#include <QList>

namespace {

constexpr char Delimiter = ';';
constexpr char Quote = '"';

bool IsBlank(char c) {
    return c >= 1 && c <= 32;
}

// The delimited-text rule with ";" as delimiter and '"' as quotation mark.
QList<QByteArray> SplitDelimited(const QByteArray& text) {
    QList<QByteArray> items;
    const qsizetype size = text.size();
    qsizetype at = 0;
    while (at < size && IsBlank(text[at]))
        ++at;
    while (at < size) {
        QByteArray item;
        if (text[at] == Quote) {
            ++at;
            while (at < size) {
                if (text[at] == Quote) {
                    if (at + 1 < size && text[at + 1] == Quote) {
                        item += Quote;
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                item += text[at++];
            }
        } else {
            const qsizetype begin = at;
            while (at < size && text[at] != Delimiter && !IsBlank(text[at]))
                ++at;
            item = text.mid(begin, at - begin);
        }
        items << item;
        while (at < size && IsBlank(text[at]))
            ++at;
        if (at < size && text[at] == Delimiter) {
            ++at;
            if (at == size)
                items << QByteArray();
            while (at < size && IsBlank(text[at]))
                ++at;
        }
    }
    return items;
}

} // namespace

QString GetDelimitedValue(const QString& name, const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    if (first == last)
        return QString();

    const QList<QByteArray> items = SplitDelimited(text.toUtf8());
    if (items.size() <= 1)
        return QString();
    const QByteArray wanted = name.toUtf8().toLower();
    for (const QByteArray& item : items) {
        // An item without "=" has an empty name, as the lookup has always treated it.
        const qsizetype equals = item.indexOf('=');
        const QByteArray itemName = equals < 0 ? QByteArray() : item.left(equals);
        if (itemName.toLower() == wanted)
            return equals < 0 ? QString() : QString::fromUtf8(item.mid(equals + 1));
    }
    return QString();
}
