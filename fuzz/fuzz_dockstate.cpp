// The dock state behind a stored layout, fed to the window past its checksum:
// anyone who can write the form store can compute the checksum, so the state
// reader itself must turn away whatever Qt's reader would not survive.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "datamodule/wexodmu.h"
#include "storage/wexostore.h"
#include "wexoentreefrm.h"

namespace {
TfrmWexoentree *form = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("WEXO_DIALOGS", "auto");
  // Everything lives until the process ends: libFuzzer leaves through exit().
  auto *dir = new QTemporaryDir;
  qputenv("WEXO_ERROR_LOG", dir->filePath("errors.log").toUtf8());
  qputenv("XDG_DATA_HOME", dir->filePath("data").toUtf8());
  new QApplication(*argc, *argv);
  wexodm = new Twexodm(TWexoStore::Open(dir->filePath("fuzz.sqlite")));
  form = new TfrmWexoentree;
  form->show();
  return 0;
}

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
