// Start-up: identity first, then the data module, then the window; recorded
// errors surface as one error display at the right moment.
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
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

namespace {
// Runs the start with the real window; the program must end before its message loop.
int RunEndingBeforeTheLoop(TWexoStartHooks hooks) {
  hooks.CreateMainForm = [] { return new TfrmWexoentree; };
  bool looped = false;
  hooks.Run = [&] {
    looped = true;
    return 0;
  };
  const int result = WexoRun(*qApp, hooks);
  if (looped)
    qWarning("Die Nachrichtenschleife lief.");
  return looped ? -1 : result;
}
} // namespace

class TestStartup : public QObject {
  Q_OBJECT
private Q_SLOTS:
  // The command line answers without a window: help and version (also with
  // no screen at all), and what the program does not know is an error.
  void theCommandLineAnswers_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("screen");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("Hilfe ohne Bildschirm") << QStringList{"--help"} << false << 0 << "Aufruf: wexo";
    QTest::newRow("-h") << QStringList{"-h"} << false << 0 << "--schnellsuche";
    QTest::newRow("Version") << QStringList{"--version"} << false << 0 << "wexo (Artikelverwaltung) 1.0";
    QTest::newRow("unbekannte Option") << QStringList{"--unsinn"} << true << 2 << "Unbekannte Option „--unsinn“";
    QTest::newRow("Argument") << QStringList{"datei.txt"} << true << 2 << "Unerwartetes Argument „datei.txt“";
  }
  void theCommandLineAnswers() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, screen);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const QString program = qEnvironmentVariable("WEXO_PROGRAM");
    if (program.isEmpty())
      QSKIP("WEXO_PROGRAM nennt das Programm nicht");
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      env.remove(name);
    if (screen)
      env.insert("QT_QPA_PLATFORM", "offscreen");
    // Never a database of the user's: an unknown option must stop before one is opened.
    env.insert("WEXO_DATABASE", dir.filePath("nie.sqlite"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    QVERIFY(p.waitForFinished(20000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput()), err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    QVERIFY2((exitCode == 0 ? out : err).contains(said), qPrintable(out + err));
    QVERIFY(!QFile::exists(dir.filePath("nie.sqlite")));
  }

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
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("rule");
    QTest::newRow("Pfad") << QByteArray("KASSE/../../etc") << "„/“";
    QTest::newRow("Rückstrich") << QByteArray("KASSE\\1") << "„\\“";
    QTest::newRow("Stern") << QByteArray("*") << "„*“";
    QTest::newRow("Tabulator") << QByteArray("KASSE\t1") << "Steuerzeichen";
    QTest::newRow("Zeilenumbruch") << QByteArray("KASSE\n1") << "Steuerzeichen";
    QTest::newRow("Punkt") << QByteArray(".") << "nur aus";
    QTest::newRow("zwei Punkte") << QByteArray(" .. ") << "nur aus";
    QTest::newRow("zu lang") << QByteArray(65, 'K') << "64 Zeichen";
    // Invisible characters would make two names look alike, or a log line display reversed.
    QTest::newRow("Richtungsumkehr") << QString("KASSE\u202E1").toUtf8() << "Formatzeichen";
    QTest::newRow("Nullbreite") << QString("KAS\u200BSE").toUtf8() << "Formatzeichen";
    QTest::newRow("weiches Trennzeichen") << QString("KAS\u00ADSE").toUtf8() << "Formatzeichen";
    QTest::newRow("geschütztes Leerzeichen") << QString("KASSE\u00A01").toUtf8() << "Leerzeichen";
    // Two different byte strings must not become one name through a replacement character.
    QTest::newRow("kein UTF-8 (ff)") << QByteArray("KASSE\xff") << "UTF-8";
    QTest::newRow("kein UTF-8 (fe)") << QByteArray("KASSE\xfe") << "UTF-8";
  }

  void badWorkstationNamesAreRefusedBeforeAnythingIsWritten() {
    QFETCH(QByteArray, name);
    QFETCH(QString, rule);
    TTestEnvironment env;
    qputenv("WEXO_TERMINAL_ID", name);
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

  // Names that look the same key the same settings; the limit counts characters, not UTF-16 units.
  void workstationNamesAreReadAsTheyLook() {
    const QByteArray before = qgetenv("WEXO_TERMINAL_ID");
    auto idOf = [](const QString &name) {
      qputenv("WEXO_TERMINAL_ID", name.toUtf8());
      return QVNInfoTerminalID();
    };
    QCOMPARE(idOf("KASSE-1 "), QString("KASSE-1"));
    QCOMPARE(idOf("\tKASSE-1"), QString("KASSE-1"));
    QCOMPARE(idOf(QString::fromUtf8("Kasse U\xcc\x88")), QString::fromUtf8("Kasse \xc3\x9c")); // NFD → NFC
    QCOMPARE(idOf("   "), QSysInfo::machineHostName().trimmed());
    QCOMPARE(QVNTerminalIDProblem(QString(64, 'K')), QString());
    QVERIFY(!QVNTerminalIDProblem(QString(65, 'K')).isEmpty());
    QString emoji;
    for (int i = 0; i < 33; ++i)
      emoji += QString::fromUtf8("\xf0\x9f\x9b\x92"); // a shopping trolley, two UTF-16 units each
    QCOMPARE(QVNTerminalIDProblem(emoji), QString());
    QString marks;
    for (int i = 0; i < 64; ++i)
      marks += QString::fromUtf8("e\xcc\x81"); // e and a combining acute: 128 units, 64 letters once composed
    QCOMPARE(QVNTerminalIDProblem(idOf(marks)), QString());
    QCOMPARE(QVNTerminalIDProblem("Kasse 1 – Hauptgang (Süd)"), QString());
    qputenv("WEXO_TERMINAL_ID", before);
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
    QCOMPARE(RunEndingBeforeTheLoop(hooks), 0);
  }

  // Every direct start that fails ends the program with 1, without waiting in the window.
  void aFailingDirectStartEndsWithAnErrorCode_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("--inventurzaehlung") << "inventur" << "ArtinfoInventurzaehlung" << "Inventurzählung";
    QTest::newRow("--rechnung") << "12" << "RechnungBearbeitenDirekt" << "Rechnung bearbeiten";
    QTest::newRow("--gutschrift") << "16" << "GutschriftBearbeitenDirekt" << "Gutschrift bearbeiten";
    QTest::newRow("--schnellsuche") << "suche" << "SchnellSucheAusfuehren" << "Schnellsuche";
  }
  void aFailingDirectStartEndsWithAnErrorCode() {
    QFETCH(QString, mode);
    QFETCH(QString, operation);
    QFETCH(QString, dialog);
    TTestEnvironment env;
    QVNMessages()->Shown.clear();
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [&] {
      auto *dm = new TScriptedWexodm;
      if (mode == "inventur")
        dm->InventurZaehlungAnfordern = true;
      else if (mode == "suche")
        dm->SchnellSucheAnfordern = true;
      else
        dm->DirektBearbeitenCode = mode.toInt();
      dm->Raise.insert(operation);
      return dm;
    };
    QCOMPARE(RunEndingBeforeTheLoop(hooks), 1);
    QCOMPARE(QVNMessages()->Shown.size(), 1);
    QVERIFY(QVNMessages()->Shown.first().startsWith(QString::fromUtf8("Der Dialog „%1“").arg(dialog)));
  }

  // A direct start changes no stored setting, so the next start finds what was there.
  void aDirectStartLeavesALayoutTheNextStartTakes() {
    TTestEnvironment env;
    TWexoStartHooks hooks;
    hooks.CreateDataModule = [] {
      auto *dm = new TScriptedWexodm;
      dm->DirektBearbeitenCode = 12;
      return dm;
    };
    hooks.CreateMainForm = [] { return new TfrmWexoentree; };
    hooks.Run = [] { return 0; };
    QCOMPARE(WexoRun(*qApp, hooks), 0);
    QCOMPARE(env.Store->Scalar("SELECT COUNT(*) FROM form_store").toInt(), 0);
    // A normal start after it keeps its layout, and the one after that takes it without a word.
    for (int run = 0; run < 2; ++run) {
      QVNInfo()->ClearHistory();
      hooks.CreateDataModule = [] { return new TScriptedWexodm; };
      hooks.Run = [] {
        frmWexoentree->close();
        return 0;
      };
      QCOMPARE(WexoRun(*qApp, hooks), 0);
      QVERIFY2(QVNInfo()->RegisteredWhere().isEmpty(), qPrintable(QVNInfo()->RegisteredWhere().join(',')));
    }
    QCOMPARE(env.Store->Scalar("SELECT COUNT(*) FROM form_store WHERE property = 'lblDockingLayout.Caption'").toInt(), 1);
  }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
