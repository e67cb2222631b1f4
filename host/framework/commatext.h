#pragma once
// The toolkit's comma text: a string list joined by commas, with quoting.
#include <QStringList>

// Joins items; an item with a comma, double quote, blank or control character
// is enclosed in double quotes with inner quotes doubled.
QString CommaTextJoin(const QStringList &items);
// Splits at commas outside quotes; unquoted blanks and control characters
// separate too and are skipped; a trailing comma gives a final empty item.
QStringList CommaTextSplit(const QString &text);

class QIODevice;
// Standard Base64 of a stream's whole content, and back into a stream.
QString EncodeStreamToBase64String(QIODevice &stream);
// Throws when the text is not Base64.
void DecodeBase64StringToStream(const QString &text, QIODevice &stream);
