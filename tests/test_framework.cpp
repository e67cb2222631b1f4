// Host services: comma text, shortcut values, error registry, settings helpers, pictures.
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "components/actionlist.h"
#include "components/qvnstdcontrols.h"
#include "framework/commatext.h"
#include "framework/qvnguard.h"

class TestFramework : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    qputenv("WEXO_ERROR_LOG", QByteArray(Dir.filePath("errors.log").toUtf8()));
  }

  void commaTextJoinQuotesOnlyWhatNeedsIt() {
    QCOMPARE(CommaTextJoin({"QUJD", "aqdcAufgaben"}), QString("QUJD,aqdcAufgaben"));
    QCOMPARE(CommaTextJoin({"QUJD", ""}), QString("QUJD,"));
    QCOMPARE(CommaTextJoin({"a b", "c,d", "e\"f", "g\nh"}), QString("\"a b\",\"c,d\",\"e\"\"f\",\"g\nh\""));
    QCOMPARE(CommaTextJoin({}), QString());
  }

  void commaTextSplitFollowsTheToolkitRules() {
    QCOMPARE(CommaTextSplit("QUJD,aqdcStart"), QStringList({"QUJD", "aqdcStart"}));
    QCOMPARE(CommaTextSplit("QUJD,"), QStringList({"QUJD", ""}));
    QCOMPARE(CommaTextSplit("a,,b"), QStringList({"a", "", "b"}));
    // Unquoted blanks and control characters separate and are skipped.
    QCOMPARE(CommaTextSplit("a b"), QStringList({"a", "b"}));
    QCOMPARE(CommaTextSplit("  a ,\r\n b  "), QStringList({"a", "b"}));
    QCOMPARE(CommaTextSplit("\"x,\"\"y\"\" z\",w"), QStringList({"x,\"y\" z", "w"}));
    QCOMPARE(CommaTextSplit("\"unterminated"), QStringList({"unterminated"}));
    QCOMPARE(CommaTextSplit(""), QStringList());
    QCOMPARE(CommaTextSplit("abc"), QStringList({"abc"}));
    // Only a comma at the very end gives a last empty item; blanks after it end the text.
    QCOMPARE(CommaTextSplit("QUJD, "), QStringList({"QUJD"}));
    QCOMPARE(CommaTextSplit("QUJD,\r\n"), QStringList({"QUJD"}));
    QCOMPARE(CommaTextSplit("QUJD , "), QStringList({"QUJD"}));
  }

  void theErrorLogKeepsOneLinePerError() {
    QTemporaryDir dir;
    const QByteArray before = qgetenv("WEXO_ERROR_LOG");
    qputenv("WEXO_ERROR_LOG", dir.filePath("errors.log").toUtf8());
    QVNInfo()->WriteLog("Ort\tmit Tab", "Zeile 1\nZeile 2\r\nund ein \\ Rückstrich");
    qputenv("WEXO_ERROR_LOG", before);
    QFile log(dir.filePath("errors.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    QCOMPARE(text.count('\n'), 1);
    const QStringList fields = text.trimmed().split('\t');
    QCOMPARE(fields.size(), 4);
    QCOMPARE(fields.at(2), QString("Ort\\tmit Tab"));
    QCOMPARE(fields.at(3), QString("Zeile 1\\nZeile 2\\r\\nund ein \\\\ Rückstrich"));
  }

  // A log line can neither be broken nor shown reversed by what a field holds.
  void logFieldsEscapeInvisibleCharacters() {
    QCOMPARE(QVNEscapeLogField(QString("KASSE\u202E1\u200B\u00AD")), QString("KASSE\\u202e1\\u200b\\u00ad"));
    QCOMPARE(QVNEscapeLogField(QString("Über\x01")), QString("Über\\u0001"));
  }

  // A log that is no regular file is left alone, without waiting for a reader.
  void aLogThatIsNoFileIsRefusedWithoutWaiting_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO ohne Leser") << "fifo";
    QTest::newRow("Verzeichnis") << "dir";
    QTest::newRow("Gerät") << "device";
  }
  void aLogThatIsNoFileIsRefusedWithoutWaiting() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("errors.log");
    if (kind == "fifo")
      QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == "dir")
      QVERIFY(QDir().mkpath(path));
    else
      path = "/dev/null";
    const QByteArray before = qgetenv("WEXO_ERROR_LOG");
    qputenv("WEXO_ERROR_LOG", path.toUtf8());
    // Hangs here if the log is opened as it stands (a FIFO without a reader blocks).
    for (int i = 0; i < 3; ++i)
      QVNInfo()->WriteLog("Ort", "Meldung");
    qputenv("WEXO_ERROR_LOG", before);
    QVERIFY(QFileInfo(path).isDir() || !QFileInfo(path).isFile());
  }

  // The log stays bounded: above its limit it starts anew and keeps one older generation.
  void theLogIsCappedWithOneOlderGeneration() {
    QTemporaryDir dir;
    const QString path = dir.filePath("errors.log");
    {
      QFile big(path);
      QVERIFY(big.open(QIODevice::WriteOnly));
      QVERIFY(big.resize(TQVNInfo::MaxLogBytes - 10));
    }
    const QByteArray before = qgetenv("WEXO_ERROR_LOG");
    qputenv("WEXO_ERROR_LOG", path.toUtf8());
    QVNInfo()->WriteLog("Ort", "über die Grenze");
    QVNInfo()->WriteLog("Ort", "noch eine");
    qputenv("WEXO_ERROR_LOG", before);
    QCOMPARE(QFileInfo(path + ".1").size(), TQVNInfo::MaxLogBytes - 10);
    QFile log(path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()).count('\n'), 2);
  }

  void commaTextRoundTrips() {
    const QList<QStringList> samples = {{"AAA+/=", "aqdcStart"}, {"x y", ""}, {"\"", ","}, {"", "b"}};
    for (const QStringList &items : samples)
      QCOMPARE(CommaTextSplit(CommaTextJoin(items)), items);
  }

  void shortcutValuesAndTexts() {
    QCOMPARE(ShortCutFromKeySequence(QKeySequence("D")), TShortCut(68));
    QCOMPARE(ShortCutFromKeySequence(QKeySequence("Ctrl+Alt+N")), TShortCut('N' | scCtrl | scAlt));
    QCOMPARE(ShortCutFromKeySequence(QKeySequence(QString::fromUtf8("Ü"))), TShortCut(0xBA));
    QCOMPARE(ShortCutToText(TShortCut('K')), QString("K"));
    QCOMPARE(ShortCutToText(TShortCut('N' | scCtrl | scAlt)), QString("Strg+Alt+N"));
    QCOMPARE(ShortCutToText(TShortCut(0xBA)), QString::fromUtf8("Ü"));
    QCOMPARE(ShortCutToText(0), QString());
    QCOMPARE(KeySequenceFromShortCut(TShortCut('N' | scCtrl | scAlt)), QKeySequence("Ctrl+Alt+N"));
    QCOMPARE(QtKeyToVirtualKey(Qt::Key_Backspace), quint16(8));
  }

  void registryRaisesARecordedErrorOnceAndResets() {
    TQVNInfo *info = QVNInfo();
    info->ResetErrorSpezNoWrite(0, {}, {}, 0, 0);
    info->FehlerRaise("wexo", 0, {}, {}, 0, 0); // nothing recorded: nothing happens
    QVERIFY(!QVNGuard("TfrmWexoentree.FormShow", [] { throw std::runtime_error("kaputt"); }));
    QCOMPARE(info->RegisteredWhere().last(), QString("TfrmWexoentree.FormShow"));
    bool raised = false;
    try {
      info->FehlerRaise("wexo", 0, {}, {}, 0, 0);
    } catch (const EQVNError &e) {
      raised = true;
      QCOMPARE(e.Where, QString("wexo"));
      QVERIFY(QString::fromUtf8(e.what()).contains("kaputt"));
      // The user reads the reason, never the program's own function names.
      QVERIFY(!QString::fromUtf8(e.what()).contains("TfrmWexoentree"));
    }
    QVERIFY(raised);
    info->FehlerRaise("wexo", 0, {}, {}, 0, 0); // cleared by the raise
    QVNGuard("X", [] { throw std::runtime_error("noch einer"); });
    info->ResetErrorSpezNoWrite(0, {}, {}, 0, 0);
    QVERIFY(!info->HasPendingError());
    // Every registration is one line of the error log with the place.
    QFile log(Dir.filePath("errors.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.first().split('\t').value(2), QString("TfrmWexoentree.FormShow"));
  }

  void guardLetsOtherExceptionsThrough() {
    bool propagated = false;
    try {
      QVNGuard("X", [] { throw 42; });
    } catch (int) {
      propagated = true;
    }
    QVERIFY(propagated);
  }

  void crossInvoicingModes() {
    QCOMPARE(int(QuerfakturaAktiv4Char('N')), 0);
    QCOMPARE(int(QuerfakturaAktiv4Char(' ')), 0);
    QCOMPARE(int(QuerfakturaAktiv4Char('E')), 1);
    QCOMPARE(int(QuerfakturaAktiv4Char('S')), 2);
    QCOMPARE(int(QuerfakturaAktiv4Char('j')), 3);
  }

  void parametersAndHelpers() {
    TParameter p;
    p.SetValues({{"MANDLIEF", "J"}, {"QUERFAMA", "S"}, {"X", "N"}});
    QVERIFY(p.GetBooleanValueByName("MANDLIEF"));
    QVERIFY(!p.GetBooleanValueByName("X"));
    QVERIFY(!p.GetBooleanValueByName("FEHLT"));
    QCOMPARE(p.GetCharValueByName("QUERFAMA"), QChar('S'));
    QCOMPARE(BoolToJaNein(true), QString("Ja"));
    QCOMPARE(BoolToJaNein(false), QString("Nein"));
    QVERIFY(!CLeeresIntPair.Defined());
    qputenv("WEXO_TERMINAL_ID", "KASSE-3");
    QCOMPARE(QVNInfoTerminalID(), QString("KASSE-3"));
  }

  void simpleMaskReadsLocalDefinitions() {
    qputenv("WEXO_TERMINAL_ID", "MASKE-1");
    QFile::remove(TSimpleMask::LocalIniPath());
    TSimpleMask mask("WEXO", "SSC", {}, false, true, nullptr, {}, {});
    QCOMPARE(mask.ReadLocalDef("SSCIMP", 0), 0);
    mask.WriteLocalDef("SSCIMP", 17);
    QCOMPARE(TSimpleMask("WEXO", "SSC", {}, false, true, nullptr, {}, {}).ReadLocalDef("SSCIMP", 0), 17);
    QCOMPARE(TSimpleMask("WEXO", "ANDERE", {}, false, true, nullptr, {}, {}).ReadLocalDef("SSCIMP", -1), -1);
  }

  // A picture loads whatever its suffix claims; a missing or broken file is
  // reported and the picture shown before stays.
  void pictureLoadingKeepsThePreviousPictureOnFailure() {
    QImage red(7, 5, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(Dir.filePath("rot.BMP"), "BMP"));
    QVERIFY(red.scaled(3, 2).save(Dir.filePath("eigentlich-png.BMP"), "PNG"));
    QFile broken(Dir.filePath("kaputt.jpg"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("BM kein Bild");
    broken.close();

    TImage image;
    image.LoadFromFile(Dir.filePath("rot.BMP"));
    QCOMPARE(image.Picture().size(), QSize(7, 5));
    QCOMPARE(image.Picture().toImage().pixelColor(0, 0), QColor(Qt::red));
    image.LoadFromFile(Dir.filePath("eigentlich-png.BMP"));
    QCOMPARE(image.Picture().size(), QSize(3, 2));
    for (const char *bad : {"fehlt.BMP", "kaputt.jpg"}) {
      try {
        image.LoadFromFile(Dir.filePath(bad));
        QFAIL(bad);
      } catch (const std::runtime_error &e) {
        QVERIFY2(QString::fromStdString(e.what()).contains(bad), e.what());
      }
      QCOMPARE(image.Picture().size(), QSize(3, 2));
    }
  }

private:
  QTemporaryDir Dir;
};

QTEST_MAIN(TestFramework)
#include "test_framework.moc"
