#pragma once

#include <QStringList>

// Splits text at every occurrence of delimiter (a plain substring). The empty text gives no
// item; a trailing delimiter gives a last empty item.
QStringList SplitText(const QString& text, const QString& delimiter);
