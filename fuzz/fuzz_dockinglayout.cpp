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
  static QTemporaryDir dir;
  qputenv("WEXO_ERROR_LOG", dir.filePath("errors.log").toUtf8());
  static QApplication app(*argc, *argv);
  static std::unique_ptr<TWexoStore> store(TWexoStore::Open(dir.filePath("fuzz.sqlite")));
  wexodm = new Twexodm(store.get());
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
