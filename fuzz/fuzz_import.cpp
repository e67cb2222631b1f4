// The quick-entry import parser on arbitrary bytes: it accepts or refuses, and
// what it accepts is complete and names only known targets.
#include <cstdint>
#include <cstdlib>

#include "datamodule/schnelleinstiegdatei.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  TContexte entries;
  QString error;
  const bool ok = ParseSchnellEinstiegDatei(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), entries, error);
  if (!ok && error.isEmpty())
    std::abort(); // a refusal always says why
  if (!ok && !entries.isEmpty())
    std::abort();
  for (const TContextSatz &e : entries)
    if (e.Name.trimmed().isEmpty() || !FindSchnellEinstiegZiel(e.Operation, e.Arguments))
      std::abort();
  return 0;
}
