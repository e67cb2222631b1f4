// A stored docking layout text is read at every start: no text may crash the window.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdint>

#include "datamodule/wexodmu.h"
#include "storage/wexostore.h"
#include "wexoentreefrm.h"

namespace {
TfrmWexoentree *form = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("WEXO_DIALOGS", "auto");
  // Everything lives until the process ends: libFuzzer leaves through exit(),
  // and Qt's own clean-up must not run after these are gone.
  auto *dir = new QTemporaryDir;
  qputenv("WEXO_ERROR_LOG", dir->filePath("errors.log").toUtf8());
  new QApplication(*argc, *argv);
  wexodm = new Twexodm(TWexoStore::Open(dir->filePath("fuzz.sqlite")));
  form = new TfrmWexoentree;
  form->show();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
  form->StrToDockingLayout(form->aqDockingManager1, text);
  QString back;
  form->DockingLayoutToStr(form->aqDockingManager1, back);
  QVNInfo()->ClearHistory();
  return 0;
}
