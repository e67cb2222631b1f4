#include "wexostart.h"
#include "quitafterpaint.h"

#include "datamodule/wexodmu.h"
#include "framework/qvnframework.h"
#include "framework/qvnmessage.h"
#include "storage/wexostore.h"
#include "wexoentreefrm.h"

#include "components/qvnsearch.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <memory>

int WexoRun(QApplication &app, const TWexoStartHooks &hooks) {
  // Closing the main window ends the program, also while it is hidden for a dialog.
  app.setQuitOnLastWindowClosed(false);
  std::unique_ptr<Twexodm> dataModule;
  std::unique_ptr<TfrmWexoentree> mainForm;
  // Failures while the data module and the window are created are shown once,
  // by the start-up's own error display.
  QVNMessages()->SetHeld(true);
  try {
    QVNProgramm()->Init(QStringLiteral("WEXO"), TEnumProzessTypen(3), TPVR_InstanceCount(0), 0, true);
    QVNProgramm()->SetTitle(QStringLiteral("Artikelverwaltung"));
    QVNCheckTerminalID();
    dataModule.reset(hooks.CreateDataModule());
    wexodm = dataModule.get();
    QVNInfo()->FehlerRaise(QStringLiteral("wexo"), 0, QString(), QString(), 0, 0);
    mainForm.reset(hooks.CreateMainForm());
    frmWexoentree = mainForm.get();
    QVNInfo()->FehlerRaise(QStringLiteral("wexo"), 0, QString(), QString(), 0, 0);
  } catch (const std::exception &e) {
    // Released before the box: what fails while it is open is shown as usual.
    QVNMessages()->SetHeld(false);
    QVNProgramm()->ShowException(e, false);
  }
  QVNMessages()->SetHeld(false);
  int result = 1;
  if (mainForm && !mainForm->WasClosed()) {
    QObject::connect(mainForm.get(), &TQVNForm::Closing, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    mainForm->show();
    wexodm->EndStartBatch();
    // WEXO_SCREENSHOT=file.png saves a picture of the window once it is painted, then ends.
    const QString screenshot = qEnvironmentVariable("WEXO_SCREENSHOT");
    // WEXO_SCREENSHOT_SUCHE=text opens the search with that text first and takes the screen around the window.
    const QString search = qEnvironmentVariable("WEXO_SCREENSHOT_SUCHE");
    // WEXO_SCREENSHOT_SIZE=WxH and WEXO_SCREENSHOT_AREA=n (start-menu index) choose what the picture shows.
    if (!screenshot.isEmpty()) {
      const QStringList size = qEnvironmentVariable("WEXO_SCREENSHOT_SIZE").split('x');
      if (size.size() == 2)
        mainForm->resize(size.at(0).toInt(), size.at(1).toInt());
      bool ok = false;
      const int area = qEnvironmentVariableIntValue("WEXO_SCREENSHOT_AREA", &ok);
      if (ok && area >= 0 && area < mainForm->btnpnStartMenu->Buttons()->Count())
        mainForm->btnpnStartMenu->Buttons()->Items(area)->BtnAction()->trigger();
    }
    if (!screenshot.isEmpty() && search.isEmpty())
      QTimer::singleShot(500, mainForm.get(), [&] {
        mainForm->grab().save(screenshot);
        mainForm->close();
      });
    else if (!screenshot.isEmpty())
      QTimer::singleShot(500, mainForm.get(), [&, search] {
        mainForm->acSuchenExecute();
        if (mainForm->Suche())
          mainForm->Suche()->SetText(search);
        QTimer::singleShot(400, mainForm.get(), [&] {
          const QRect r = mainForm->frameGeometry();
          mainForm->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(screenshot);
          mainForm->close();
        });
      });
    // WEXO_QUIT_AFTER_PAINT ends the program once the window has been painted (start-up measurements).
    if (qEnvironmentVariableIsSet("WEXO_QUIT_AFTER_PAINT"))
      QuitAfterFirstPaint(mainForm.get());
    result = mainForm->WasClosed() ? 0 : hooks.Run ? hooks.Run() : app.exec();
  } else if (mainForm) {
    result = 0;
  }
  // A dialog asked for on the command line that failed is a failed run.
  if (mainForm && mainForm->DirectStartFailed())
    result = 1;
  // The window goes before the data module it uses.
  mainForm.reset();
  dataModule.reset();
  return result;
}

TWexoStartHooks WexoDefaultHooks() {
  TWexoStartHooks hooks;
  hooks.CreateDataModule = [] { return new Twexodm(TWexoStore::Open(), true, nullptr, true); };
  hooks.CreateMainForm = [] { return new TfrmWexoentree; };
  return hooks;
}
