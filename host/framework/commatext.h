#pragma once
// The toolkit's comma text: a string list joined by commas, with quoting.
#include <QStringList>

// Joins items; an item with a comma, double quote, blank or control character
// is enclosed in double quotes with inner quotes doubled.
QString CommaTextJoin(const QStringList &items);
// Splits at commas outside quotes; unquoted blanks and control characters
// separate too and are skipped; a trailing comma gives a final empty item.
QStringList CommaTextSplit(const QString &text);
