// Comma text: splitting any text must not fail, and joining any list of items
// must split back into exactly those items.
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "framework/commatext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
  const QStringList split = CommaTextSplit(text);
  // Items separated by NUL bytes, as a list to join.
  const QStringList items = text.split(QChar(0));
  if (CommaTextSplit(CommaTextJoin(items)) != items)
    std::abort();
  // What was split once joins and splits to the same items again.
  if (CommaTextSplit(CommaTextJoin(split)) != split && !(split.size() == 1 && split.first().isEmpty()))
    std::abort();
  return 0;
}
