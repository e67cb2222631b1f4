#include "framework/commatext.h"

#include <QIODevice>
#include <stdexcept>

namespace {
bool IsBlankOrControl(QChar c) { return c.unicode() <= 0x20; }

bool NeedsQuotes(const QString &s) {
  for (QChar c : s)
    if (c == QLatin1Char(',') || c == QLatin1Char('"') || IsBlankOrControl(c))
      return true;
  return false;
}
} // namespace

QString CommaTextJoin(const QStringList &items) {
  QString out;
  for (qsizetype i = 0; i < items.size(); ++i) {
    if (i > 0)
      out += QLatin1Char(',');
    const QString &item = items.at(i);
    if (NeedsQuotes(item)) {
      QString quoted = item;
      quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
      out += QLatin1Char('"') + quoted + QLatin1Char('"');
    } else {
      out += item;
    }
  }
  // A single empty item would vanish; the toolkit writes it as a pair of quotes.
  if (items.size() == 1 && items.first().isEmpty())
    out = QStringLiteral("\"\"");
  return out;
}

QStringList CommaTextSplit(const QString &text) {
  QStringList items;
  const qsizetype n = text.size();
  qsizetype p = 0;
  auto skipBlanks = [&] {
    while (p < n && IsBlankOrControl(text.at(p)))
      ++p;
  };
  skipBlanks();
  while (p < n) {
    QString item;
    if (text.at(p) == QLatin1Char('"')) {
      ++p;
      while (p < n) {
        if (text.at(p) == QLatin1Char('"')) {
          if (p + 1 < n && text.at(p + 1) == QLatin1Char('"')) {
            item += QLatin1Char('"');
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text.at(p++);
      }
      // Characters after the closing quote up to the next separator belong to the item.
      while (p < n && text.at(p) != QLatin1Char(',') && !IsBlankOrControl(text.at(p)))
        item += text.at(p++);
    } else {
      while (p < n && text.at(p) != QLatin1Char(',') && !IsBlankOrControl(text.at(p)))
        item += text.at(p++);
    }
    items << item;
    skipBlanks();
    if (p < n && text.at(p) == QLatin1Char(',')) {
      ++p;
      if (p == n) {
        items << QString();
        break;
      }
      // Blanks after a comma are skipped; only a comma at the very end gives an empty item.
      skipBlanks();
    }
  }
  return items;
}

QString EncodeStreamToBase64String(QIODevice &stream) {
  stream.seek(0);
  return QString::fromLatin1(stream.readAll().toBase64());
}

void DecodeBase64StringToStream(const QString &text, QIODevice &stream) {
  const QByteArray encoded = text.toLatin1();
  const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded || QString::fromLatin1(encoded) != text)
    throw std::runtime_error("Der Text ist kein gültiger Base64-Text.");
  if (stream.write(*decoded) != (*decoded).size())
    throw std::runtime_error("Die Daten konnten nicht geschrieben werden.");
}
