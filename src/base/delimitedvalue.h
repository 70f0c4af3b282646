#pragma once

#include <QString>

// Looks name up in a cookie-style text of name=value items separated by ";" and returns the
// value of the first item whose name matches without regard to letter case. Items are cut by
// the delimited-text rule: blanks before an item are skipped, a double-quoted item keeps its
// blanks (a doubled quote inside stands for one), an unquoted item ends at ";" or at a blank.
// A text of a single item yields empty, as does a missing name.
QString GetDelimitedValue(const QString& name, const QString& text);
