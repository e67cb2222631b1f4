// The dock state behind a stored layout, fed to the window past its checksum:
// anyone who can write the form store can compute the checksum, so the state
// reader itself must turn away whatever Qt's reader would not survive.
#include <cstdint>
#include <cstdlib>

#include "fuzzwindow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray state(reinterpret_cast<const char *>(data), qsizetype(size));
  try {
    form->aqDockingManager1->LoadState(state);
  } catch (const std::exception &) {
  }
  // Whatever was stored, the user keeps all three panels, docked and shown.
  for (TaqDockingControl *c : {form->aqdcStart, form->aqdcAufgaben, form->aqdcSelektionen})
    if (c->isFloating() || c->isHidden() ||
        form->aqDockingSite1->dockWidgetArea(c) == Qt::NoDockWidgetArea)
      std::abort();
  QApplication::processEvents();
  return 0;
}
