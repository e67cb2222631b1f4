#pragma once
// Program start-up: identity, data module, main window, message loop.
#include <functional>

class QApplication;
class Twexodm;
class TfrmWexoentree;

struct TWexoStartHooks {
  std::function<Twexodm *()> CreateDataModule;
  std::function<TfrmWexoentree *()> CreateMainForm;
  // Replaces the message loop (tests); null runs QApplication::exec.
  std::function<int()> Run;
};

// Returns the exit code of the message loop, or 1 when no main window exists.
int WexoRun(QApplication &app, const TWexoStartHooks &hooks);
// The hooks of the real program: the data module on the configured database.
TWexoStartHooks WexoDefaultHooks();
