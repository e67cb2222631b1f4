// A stored docking layout text is read at every start: no text may crash the window.
#include <cstdint>
#include <cstdlib>

#include "fuzzwindow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
  form->StrToDockingLayout(form->aqDockingManager1, text);
  QString back;
  form->DockingLayoutToStr(form->aqDockingManager1, back);
  QVNInfo()->ClearHistory();
  return 0;
}
