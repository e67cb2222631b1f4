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

  void badWorkstationNamesAreRefusedBeforeAnythingIsWritten_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("rule");
    QTest::newRow("Pfad") << "KASSE/../../etc" << "„/“";
    QTest::newRow("Rückstrich") << "KASSE\\1" << "„\\“";
    QTest::newRow("Stern") << "*" << "„*“";
    QTest::newRow("Tabulator") << "KASSE\t1" << "Steuerzeichen";
    QTest::newRow("Zeilenumbruch") << "KASSE\n1" << "Steuerzeichen";
    QTest::newRow("Punkt") << "." << "nur aus";
    QTest::newRow("zwei Punkte") << ".." << "nur aus";
    QTest::newRow("zu lang") << QString(65, 'K') << "64 Zeichen";
  }

  void badWorkstationNamesAreRefusedBeforeAnythingIsWritten() {
    QFETCH(QString, name);
    QFETCH(QString, rule);
    TTestEnvironment env;
    qputenv("WEXO_TERMINAL_ID", name.toUtf8());
    const int shownBefore = QVNProgramm()->ExceptionsShown;
    bool created = false;
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [&] {
      created = true;
      return new TScriptedWexodm;
    };
    hooks.CreateMainForm = [] { return new TfrmWexoentree; };
    QCOMPARE(WexoRun(*qApp, hooks), 1);
    QVERIFY(!created);
    QCOMPARE(QVNProgramm()->ExceptionsShown, shownBefore + 1);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TSimpleMask::LocalIniPath());
    QFile log(qEnvironmentVariable("WEXO_ERROR_LOG"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1); // one line, four fields, whatever the name holds
    QCOMPARE(lines.first().split('\t').size(), 4);
    QVERIFY2(lines.first().contains(QVNEscapeLogField(rule)), qPrintable(lines.first()));
    qputenv("WEXO_TERMINAL_ID", "TEST-PC");
  }

  void anEarlyEndLeavesTheStoredSettingsAsTheyWere() {
    TTestEnvironment env;
    const QString form = "DEU.WEXO.WEXOENTR";
    env.Store->Exec("INSERT INTO form_store (form_id, index_name, property, value) VALUES (?, 'TEST-PC', "
                    "'spbColCount.Tag', '3'), (?, 'TEST-PC', 'lblDockingLayout.Caption', 'gespeichert,aqdcStart')",
                    {form, form});
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [] {
      auto *dm = new TScriptedWexodm;
      dm->ClientChosen = false; // no client to choose, and exit allowed: the window closes while it is created
      return dm;
    };
    hooks.CreateMainForm = [] { return new TfrmWexoentree; };
    QCOMPARE(WexoRun(*qApp, hooks), 0);
    QCOMPARE(env.Store->Scalar("SELECT value FROM form_store WHERE property = 'spbColCount.Tag'").toString(), QString("3"));
    QCOMPARE(env.Store->Scalar("SELECT value FROM form_store WHERE property = 'lblDockingLayout.Caption'").toString(),
             QString("gespeichert,aqdcStart"));
    QCOMPARE(env.Store->Scalar("SELECT COUNT(*) FROM form_store").toInt(), 2);
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

  void aFailingDirectStartEndsWithAnErrorCode() {
    TTestEnvironment env;
    QVNMessages()->Shown.clear();
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [] {
      auto *dm = new TScriptedWexodm;
      dm->DirektBearbeitenCode = 12;
      dm->Raise.insert("RechnungBearbeitenDirekt");
      return dm;
    };
    hooks.CreateMainForm = [] { return new TfrmWexoentree; };
    hooks.Run = [] { return 0; };
    QCOMPARE(WexoRun(*qApp, hooks), 1);
    QCOMPARE(QVNMessages()->Shown.size(), 1);
    QVERIFY(QVNMessages()->Shown.first().startsWith(QString::fromUtf8("Der Dialog „Rechnung bearbeiten“")));
  }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
