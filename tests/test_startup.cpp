// Start-up: identity first, then the data module, then the window; recorded
// errors surface as one error display at the right moment.
#include <QtTest>

#include "wexostart.h"
#include "framework/qvnguard.h"
#include "wexotesting.h"

namespace {
// A data module whose creation records an error, as a failing data module would.
class TFailingDm : public TScriptedWexodm {
public:
  TFailingDm() {
    QVNGuard(QStringLiteral("Twexodm.Create"), [] { throw std::runtime_error("Datenbank nicht erreichbar"); });
  }
};
} // namespace

class TestStartup : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void identityBeforeDataModuleBeforeWindow() {
    TTestEnvironment env;
    QStringList order;
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [&] {
      order << QStringLiteral("dm:%1:%2").arg(QVNProgramm()->ProgrammName, QVNProgramm()->Title());
      return new TScriptedWexodm;
    };
    hooks.CreateMainForm = [&] {
      order << QStringLiteral("form:%1").arg(wexodm ? "dm" : "ohne dm");
      return new TfrmWexoentree;
    };
    hooks.Run = [&] {
      order << "loop";
      return 0;
    };
    QCOMPARE(WexoRun(*qApp, hooks), 0);
    QCOMPARE(order, QStringList({"dm:WEXO:Artikelverwaltung", "form:dm", "loop"}));
  }

  void errorWhileCreatingTheDataModuleGivesOneDisplayAndNoWindow() {
    TTestEnvironment env;
    const int shownBefore = QVNProgramm()->ExceptionsShown;
    bool formCreated = false;
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [] { return new TFailingDm; };
    hooks.CreateMainForm = [&] {
      formCreated = true;
      return new TfrmWexoentree;
    };
    bool looped = false;
    hooks.Run = [&] {
      looped = true;
      return 0;
    };
    QCOMPARE(WexoRun(*qApp, hooks), 1);
    QCOMPARE(QVNProgramm()->ExceptionsShown, shownBefore + 1);
    QVERIFY(!formCreated);
    QVERIFY(!looped);
  }

  void errorWhileCreatingTheWindowIsShownAndTheWindowOpens() {
    TTestEnvironment env;
    const int shownBefore = QVNProgramm()->ExceptionsShown;
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [] {
      auto *dm = new TScriptedWexodm;
      dm->Raise.insert("MandantEinstellen"); // the creation handler records this one
      return dm;
    };
    hooks.CreateMainForm = [] { return new TfrmWexoentree; };
    bool visibleInLoop = false;
    hooks.Run = [&] {
      visibleInLoop = frmWexoentree && frmWexoentree->isVisible();
      return 0;
    };
    QCOMPARE(WexoRun(*qApp, hooks), 0);
    QCOMPARE(QVNProgramm()->ExceptionsShown, shownBefore + 1);
    QVERIFY(QVNInfo()->RegisteredWhere().contains("TfrmWexoentree.FormCreate"));
    QVERIFY(visibleInLoop);
  }

  void noClientAndExitAllowedEndsBeforeTheLoop() {
    TTestEnvironment env;
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [] {
      auto *dm = new TScriptedWexodm;
      dm->ClientChosen = false;
      return dm;
    };
    hooks.CreateMainForm = [] { return new TfrmWexoentree; };
    bool looped = false;
    hooks.Run = [&] {
      looped = true;
      return 0;
    };
    QCOMPARE(WexoRun(*qApp, hooks), 0);
    QVERIFY(!looped);
  }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
