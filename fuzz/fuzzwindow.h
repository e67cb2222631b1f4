#pragma once
// The window the layout fuzzers feed: built once on a database of its own.
// Everything lives until the process ends: libFuzzer leaves through exit(),
// and Qt's own clean-up must not run after these are gone.
#include <QApplication>
#include <QTemporaryDir>

#include "datamodule/wexodmu.h"
#include "storage/wexostore.h"
#include "wexoentreefrm.h"

inline TfrmWexoentree *form = nullptr;

inline TfrmWexoentree *FuzzWindow(int *argc, char ***argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("WEXO_DIALOGS", "auto");
  auto *dir = new QTemporaryDir;
  qputenv("WEXO_ERROR_LOG", dir->filePath("errors.log").toUtf8());
  qputenv("XDG_DATA_HOME", dir->filePath("data").toUtf8());
  new QApplication(*argc, *argv);
  wexodm = new Twexodm(TWexoStore::Open(dir->filePath("fuzz.sqlite")));
  auto *form = new TfrmWexoentree;
  form->show();
  return form;
}

// Each target is one file that includes this: libFuzzer builds the window once.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  form = FuzzWindow(argc, argv);
  return 0;
}
