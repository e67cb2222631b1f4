// The task list: which rows, with which captions and values, how they are
// painted and what a double-click opens.
#include <QPainter>
#include <QtTest>

#include "wexotesting.h"

namespace {
QStringList Rows(TWindowFixture &fx) {
  fx.F()->LoadAufgaben();
  return RowTexts(fx.F()->vstAufgaben);
}
} // namespace

class TestTaskList : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void allZeroGivesSixRows() {
    TWindowFixture fx;
    QCOMPARE(Rows(fx), QStringList({"Wiedervorlage|0||WDVO", "Offener Bedarf|0||BEDA", "Bestellposition|0||DIIM",
                                    "Warenannahme|0||SCAN", "Offene Warenverteilung|0||OFWA",
                                    "Erfolgte Warenverteilung|0||ERWA"}));
  }

  void singularUpToOnePluralAbove() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Wdvo = 1;
      d.Beda = 2;
      d.Diim = 2;
      d.Scan = 1;
    });
    const QStringList rows = Rows(fx);
    QCOMPARE(rows.mid(0, 4), QStringList({"Wiedervorlage|1||WDVO", "Offene Bedarfe|2||BEDA",
                                          "Bestellpositionen|2||DIIM", "Warenannahme|1||SCAN"}));
    fx.D().Wdvo = 2;
    QCOMPARE(Rows(fx).first(), QString("Wiedervorlagen|2||WDVO"));
  }

  void masterErrorsAloneFollowTheGoodsReceptions() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Exim = 3; });
    const QStringList rows = Rows(fx);
    QCOMPARE(rows.at(4), QString("YUPA-Master-Fehler|3||EXIM"));
    QCOMPARE(rows.size(), 7);
  }

  void optionalRowsInTheirOrder() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Exfe = 2;
      d.Exim = 1;
      d.Invo = 4;
      d.UnvoAktiv = true;
      d.Unvo = 0;
      d.Qufa = 6;
      QVNParameter()->SetValue("QUERFAMA", "J");
    });
    TSimpleMask("WEXO", "SSC", {}, false, true, nullptr, {}, {}).WriteLocalDef("SSCIMP", 12);
    QStringList codes;
    for (const QString &row : Rows(fx))
      codes << row.section('|', 3);
    QCOMPARE(codes, QStringList({"WDVO", "BEDA", "DIIM", "SCAN", "EXFE", "EXIM", "INVO", "UNVO", "QUFA", "OFWA",
                                 "ERWA", "SSC_"}));
    QVERIFY(RowTexts(fx.F()->vstAufgaben).contains(QString::fromUtf8("Unvollständige Belege|0||UNVO")));
    QVERIFY(RowTexts(fx.F()->vstAufgaben).contains("Offene SSC-Positionen|12||SSC_"));
  }

  void branchModeAnswersYesOrNo() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Filiale = 2;
      d.BedaVorhanden = true;
    });
    QCOMPARE(Rows(fx).at(1), QString("Offene Bedarfe|Ja||BEDA"));
    fx.D().BedaVorhanden = false;
    QCOMPARE(Rows(fx).at(1), QString("Offene Bedarfe|Nein||BEDA"));
  }

  void failingNeedsServerShowsZeroOrNoSilently() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.BedaRaises = true;
      d.Scan = 2;
    });
    QCOMPARE(Rows(fx).at(1), QString("Offener Bedarf|0||BEDA"));
    QCOMPARE(RowTexts(fx.F()->vstAufgaben).at(3), QString("Warenannahmen|2||SCAN"));
    QVERIFY(fx.Reports().isEmpty());
    QVERIFY(!QVNInfo()->HasPendingError());
    QVNProgramm()->SetAktMandant({1, 0}, "Testmandant", 3);
    QCOMPARE(Rows(fx).at(1), QString("Offener Bedarf|Nein||BEDA"));
  }

  void crossInvoicingOnlyInModesTwoAndThree() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Qufa = 5;
      QVNParameter()->SetValue("QUERFAMA", "E");
    });
    fx.D().QufaAsked = 0;
    QVERIFY(!Rows(fx).join(';').contains("QUFA"));
    QCOMPARE(fx.D().QufaAsked, 0);
    QVNParameter()->SetValue("QUERFAMA", "S");
    QVERIFY(Rows(fx).contains("Querfaktura|5||QUFA"));
  }

  void noSscRowWithoutTheLocalSetting() {
    TWindowFixture fx;
    QVERIFY(!Rows(fx).join(';').contains("SSC_"));
  }

  void aFailingManagerEndsTheBuildKeepingEarlierRows() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Exim = 1;
      d.Raise.insert("Lesen_RechnungsAnzahl");
    });
    QVNInfo()->ClearHistory();
    const QStringList rows = Rows(fx);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.last(), QString("YUPA-Master-Fehler|1||EXIM"));
    QCOMPARE(fx.Reports(), QStringList({"TfrmWexoentree.LoadAufgaben"}));
    QVERIFY(fx.F()->vstAufgaben->updatesEnabled());
  }

  void twoLoadsGiveTheSameRows() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Invo = 2; });
    QCOMPARE(Rows(fx), Rows(fx));
  }

  void rowPaintingImagesAndCursor() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Wdvo = 1; });
    TfrmWexoentree *f = fx.F();
    TVTStringList *v = f->vstAufgaben;
    v->selectionModel()->clear();
    QImage canvas(30, 30, QImage::Format_RGB32);
    auto colourOf = [&](int node) {
      canvas.fill(Qt::black);
      QPainter p(&canvas);
      f->vstAufgabenBeforeCellPaint(v, &p, node, 1, QRect(0, 0, 30, 30));
      p.end();
      return canvas.pixelColor(15, 15);
    };
    QCOMPARE(colourOf(0), QColor(0xEE, 0xEE, 0xEE));
    QCOMPARE(colourOf(1), QColor(Qt::white));
    QCOMPARE(colourOf(2), QColor(0xEE, 0xEE, 0xEE));
    v->SetFocusedCell(1, 0);
    v->selectionModel()->select(v->model()->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(colourOf(1), QColor(Qt::black)); // a selected row is left to the view

    auto image = [&](int node, int column) {
      bool ghosted = false;
      int index = -1;
      f->vstAufgabenGetImageIndex(v, node, 0, column, ghosted, index);
      return index;
    };
    QCOMPARE(image(0, 2), 0);  // "Wiedervorlage 1"
    QCOMPARE(image(0, 0), -1);
    QCOMPARE(image(0, 1), -1);
    QCOMPARE(image(1, 2), -1); // value 0
    QCOMPARE(image(-1, 2), -1);

    QCursor::setPos(v->viewport()->mapToGlobal(v->visualRect(v->model()->index(0, 0)).center()));
    int cursor = crDefault;
    f->vstAufgabenGetCursor(v, cursor);
    QCOMPARE(cursor, crHandPoint);
    QCursor::setPos(v->viewport()->mapToGlobal(v->visualRect(v->model()->index(1, 0)).center()));
    cursor = crDefault;
    f->vstAufgabenGetCursor(v, cursor);
    QCOMPARE(cursor, crDefault);
  }

  void valuesThatAreNoNumbersCountAsZero() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Filiale = 1;
      d.BedaVorhanden = true;
    });
    fx.F()->LoadAufgaben();
    bool ghosted = false;
    int index = -1;
    fx.F()->vstAufgabenGetImageIndex(fx.F()->vstAufgaben, 1, 0, 2, ghosted, index); // "Ja"
    QCOMPARE(index, -1);
  }

  void doubleClickOpensTheTaskOfTheSelectedRow_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("visible");
    QTest::newRow("WDVO") << "WDVO" << "WiedervorlagenUebersicht" << "" << false;
    QTest::newRow("BEDA") << "BEDA" << "BedarfeUebersicht" << "" << false;
    QTest::newRow("DIIM") << "DIIM" << "ORDERUebersicht" << "" << false;
    QTest::newRow("SCAN") << "SCAN" << "LieferungUebersicht" << "[],false" << false;
    QTest::newRow("EXFE") << "EXFE" << "Exportfehler" << "1" << true;
    QTest::newRow("EXIM") << "EXIM" << "Exportfehler" << "2" << true;
    QTest::newRow("INVO") << "INVO" << "RechnungsKontrolleInvoice" << "" << true;
    QTest::newRow("UNVO") << "UNVO" << "UnvollstaendigeBelege" << "" << true;
    QTest::newRow("QUFA") << "QUFA" << "QuerfakturaUebersicht" << "" << false;
    QTest::newRow("OFWA") << "OFWA" << "OffeneWarenverteilungenUebersicht" << "" << false;
    QTest::newRow("ERWA") << "ERWA" << "ErfolgteWarenverteilungenUebersicht" << "" << false;
    QTest::newRow("SSC_") << "SSC_" << "ArtinfoSSC2Wexo" << "" << false;
  }

  void doubleClickOpensTheTaskOfTheSelectedRow() {
    QFETCH(QString, code);
    QFETCH(QString, operation);
    QFETCH(QString, arguments);
    QFETCH(bool, visible);
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Exfe = d.Exim = d.Invo = d.Qufa = 1;
      d.UnvoAktiv = true;
      QVNParameter()->SetValue("QUERFAMA", "V");
    });
    TSimpleMask("WEXO", "SSC", {}, false, true, nullptr, {}, {}).WriteLocalDef("SSCIMP", 1);
    TfrmWexoentree *f = fx.F();
    f->LoadAufgaben();
    const int row = int(RowTexts(f->vstAufgaben).indexOf(QRegularExpression(".*\\|" + code + "$")));
    QVERIFY(row >= 0);
    f->vstAufgaben->selectionModel()->select(f->vstAufgaben->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    fx.D().Calls.clear();
    fx.D().Wdvo = 7; // the rebuild afterwards shows the new count
    f->vstAufgabenDblClick(f->vstAufgaben);
    QCOMPARE(fx.D().Calls.size(), 1);
    QCOMPARE(fx.D().Calls.first().Operation, operation);
    QCOMPARE(fx.D().Calls.first().Arguments, arguments);
    QCOMPARE(fx.D().Calls.first().WindowVisible, visible);
    QVERIFY(f->isVisible());
    QCOMPARE(RowTexts(f->vstAufgaben).first(), QString("Wiedervorlagen|7||WDVO"));
  }

  void enterOnARowOpensItLikeADoubleClick() {
    TWindowFixture fx;
    TVTStringList *v = fx.F()->vstAufgaben;
    v->setFocus();
    v->setCurrentIndex(v->model()->index(0, 0));
    fx.D().Calls.clear();
    QTest::keyClick(v, Qt::Key_Return);
    QCOMPARE(fx.D().Operations(), QStringList({"WiedervorlagenUebersicht"}));
  }

  void doubleClickWithoutSelectionDoesNothing() {
    TWindowFixture fx;
    fx.F()->vstAufgaben->selectionModel()->clear();
    fx.D().Calls.clear();
    fx.D().Wdvo = 3;
    fx.F()->vstAufgabenDblClick(fx.F()->vstAufgaben);
    QVERIFY(fx.D().Calls.isEmpty());
    QCOMPARE(RowTexts(fx.F()->vstAufgaben).first(), QString("Wiedervorlage|0||WDVO"));
  }

  void failingTaskDialogsAreReportedWithoutRebuild() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Exfe = 1;
      d.Raise = {"Exportfehler", "BedarfeUebersicht"};
    });
    TfrmWexoentree *f = fx.F();
    for (int row : {4, 1}) {
      f->vstAufgaben->selectionModel()->select(f->vstAufgaben->model()->index(row, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      fx.D().Wdvo = 9;
      f->vstAufgabenDblClick(f->vstAufgaben);
      QVERIFY(f->isVisible());
    }
    QCOMPARE(fx.Reports(), QStringList({"TfrmWexoentree.vstAufgabenDblClick", "TfrmWexoentree.vstAufgabenDblClick"}));
    QCOMPARE(fx.D().Calls.last().Operation, QString("BedarfeUebersicht"));
  }
};

QTEST_MAIN(TestTaskList)
#include "test_tasklist.moc"
