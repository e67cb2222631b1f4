// The search over every entry, area, task and quick entry: how it opens and
// closes, what it finds and in which order, and that running a hit is running
// its menu entry.
#include <QLineEdit>
#include <QListView>
#include <QtTest>

#include "components/qvnsearch.h"
#include "wexotesting.h"

namespace {
TQVNSuchEintrag Entry(const QString &text, const QString &area) {
  TQVNSuchEintrag e;
  e.Text = text;
  e.Area = area;
  return e;
}

TQVNSuche *Open(TfrmWexoentree *f) {
  QTest::keyClick(f, Qt::Key_F, Qt::ControlModifier);
  return f->Suche();
}

QStringList Typed(TQVNSuche *s, const QString &text) {
  s->SetText(text);
  QStringList texts = s->ListedTexts();
  return texts;
}
} // namespace

class TestSearch : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void foldingAndMatching() {
    using namespace TQVNSuchFilter;
    QCOMPARE(Fold("Währungen Größe Übersicht STRASSE Straße"), QString("waehrungen groesse uebersicht strasse strasse"));
    const QList<TQVNSuchEintrag> entries = {Entry("Artikelnummer bekannt", "Wareneingang"),
                                            Entry("Zeiträume", "Einstellungen"),
                                            Entry("Hersteller bekannt", "Disposition"),
                                            Entry("Währungen", "Einstellungen")};
    QCOMPARE(Rank("art bek", entries), QList<int>({0}));
    QCOMPARE(Rank("bek ART", entries), QList<int>({0, 2}).mid(0, 1)); // words in any order, case ignored
    QCOMPARE(Rank("waehrung", entries), QList<int>({3}));
    QCOMPARE(Rank("währ", entries), QList<int>({3}));
    QCOMPARE(Rank("ztrm", entries), QList<int>({1}));  // letters in order when no word begins so
    QCOMPARE(Rank("einst", entries), QList<int>({1, 3})); // the area's words count too
    QCOMPARE(Rank("bekannt", entries), QList<int>({0, 2}));
    QVERIFY(Rank("xyz", entries).isEmpty());
    QVERIFY(Rank("  ", entries).isEmpty());
  }

  void ctrlFOpensItAndEscClosesOnlyIt() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TQVNSuche *s = Open(f);
    QVERIFY(s && s->isVisible());
    QCOMPARE(s->Line()->accessibleName(), QString("Suchbegriff"));
    QCOMPARE(s->List()->accessibleName(), QString("Suchergebnisse"));
    QVERIFY(s->width() >= 480);
    QTest::keyClick(s->Line(), Qt::Key_Escape);
    QVERIFY(!s->isVisible());
    QVERIFY(f->isVisible());
    QVERIFY(!f->WasClosed());
    QCOMPARE(fx.D().ExitQueries, 0);
    // The title bar offers it too.
    QCOMPARE(f->btnSuchen->text(), QString("Suchen (Strg+F)"));
    f->btnSuchen->click();
    QVERIFY(s->isVisible());
    s->hide();
  }

  void lettersGoIntoTheLineNeverToTheShortcuts() {
    TWindowFixture fx;
    fx.D().Calls.clear();
    TQVNSuche *s = Open(fx.F());
    QTest::keyClicks(s->Line(), "KDWN");
    QCOMPARE(s->Line()->text(), QString("KDWN"));
    QVERIFY(fx.D().Calls.isEmpty());
    QCOMPARE(fx.F()->pgcStartMain->ActivePage(), fx.F()->tshArtinfo);
    s->hide();
  }

  void artBekListsEveryArtikelnummerBekanntFirst() {
    TWindowFixture fx;
    TQVNSuche *s = Open(fx.F());
    const QStringList hits = Typed(s, "art bek");
    QCOMPARE(hits.mid(0, 4), QStringList({"Artikelnummer bekannt – Vorlagen", "Artikelnummer bekannt – Disposition",
                                          "Artikelnummer bekannt – Wareneingang",
                                          "Artikelnummer bekannt – Artikelinfo"}));
    QVERIFY(Typed(s, "waehrung").first() == QString("Währungen – Einstellungen"));
    QVERIFY(Typed(s, "ztrm").first() == QString("Zeiträume – Einstellungen"));
    QVERIFY(Typed(s, "dispo").contains("Bereich Disposition"));
    s->hide();
  }

  void refusedNeverListed_hiddenListedAsHidden() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Refused = {100};
      d.StoredInfos.append({QString(), QString(), 101, false});
    });
    TQVNSuche *s = Open(fx.F());
    const QStringList hits = Typed(s, "bekannt");
    QVERIFY(!hits.contains("Artikelnummer bekannt – Wareneingang"));
    QVERIFY(hits.contains("Hersteller bekannt – Wareneingang (ausgeblendet)"));
    // Hidden ones come after the visible ones of the same match.
    QVERIFY(hits.indexOf("Hersteller bekannt – Wareneingang (ausgeblendet)") > hits.indexOf("Hersteller bekannt – Disposition"));
    s->hide();
  }

  void tasksQuickEntriesAndSettingsCommandsAreFound() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Wdvo = 3;
      d.Entries = {{1, "Rechnung erfassen", "Rechnungskontrolle", ""}};
    });
    TQVNSuche *s = Open(fx.F());
    QVERIFY(Typed(s, "wieder").contains("Aufgabe: Wiedervorlagen (3)"));
    QVERIFY(Typed(s, "rechn erf").contains("Schnelleinstieg: Rechnung erfassen"));
    QVERIFY(Typed(s, "fenster").contains(QString::fromUtf8("Fensteranordnung zurücksetzen – Einstellungen")));
    QVERIFY(Typed(s, "mandant").contains("Mandant einstellen – Einstellungen"));
    QVERIFY(Typed(s, "sichtbar").contains(QString::fromUtf8("Sichtbare Menüpunkte – Einstellungen")));
    // A task runs as a double-click on its row, a quick entry as from its view.
    Typed(s, "wieder");
    QTest::keyClick(s->Line(), Qt::Key_Return);
    QCOMPARE(fx.D().Operations().last(), QString("WiedervorlagenUebersicht"));
    s = Open(fx.F());
    Typed(s, "schnelleinstieg rechnung");
    QTest::keyClick(s->Line(), Qt::Key_Return);
    QCOMPARE(fx.D().Operations().last(), QString("SchnellEinstiegExecute"));
  }

  void nothingTypedShowsTheRecentDialogsThenEverything() {
    TWindowFixture fx;
    fx.D().Calls.clear(); // the client choice at the start
    TfrmWexoentree *f = fx.F();
    f->acWEListeExecute();
    f->acZeitraeumeExecute();
    f->acWEListeExecute();
    f->acRechnungskontrolleExecute();
    TQVNSuche *s = Open(f);
    const QStringList rows = s->ListedTexts();
    QCOMPARE(rows.mid(0, 4), QStringList({"Zuletzt verwendet", "Rechnung erfassen – Belege",
                                          QString::fromUtf8("Liste Wareneingänge bearbeiten / löschen – Wareneingang"),
                                          QString::fromUtf8("Zeiträume – Einstellungen")}));
    QCOMPARE(rows.at(4), QString::fromUtf8("Alle Einträge"));
    QCOMPARE(rows.at(5), QString("Bereich Vorlagen"));
    s->hide();
  }

  void whatThisWorkstationUsesRanksFirst() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TQVNSuche *s = Open(f);
    // Every "… bekannt" matches alike: menu order first, then use decides.
    const QString lieferant = QString::fromUtf8("Lieferant bekannt – Wareneingang");
    QVERIFY(Typed(s, "bekannt").first() != lieferant);
    s->hide();
    for (int i = 0; i < 5; ++i)
      f->acWELiefBekanntExecute();
    s = Open(f);
    QCOMPARE(Typed(s, "bekannt").first(), lieferant);
    s->hide();
  }

  void enterRunsTheMenuEntryItself() {
    TWindowFixture fx;
    fx.D().Calls.clear();
    TfrmWexoentree *f = fx.F();
    TQVNSuche *s = Open(f);
    Typed(s, "art bek");
    QTest::keyClick(s->Line(), Qt::Key_Down);
    QTest::keyClick(s->Line(), Qt::Key_Return); // the second hit: Disposition
    QVERIFY(!s->isVisible());
    QCOMPARE(fx.D().Calls.size(), 1);
    QCOMPARE(fx.D().Calls.last().Operation, QString("DIArtikelBekannt"));
    QVERIFY(!fx.D().Calls.last().WindowVisible); // hidden while it ran, as from the menu
    QVERIFY(f->isVisible());
    // A click on a row runs that row; an area switches the page.
    s = Open(f);
    Typed(s, "bereich wareneingang");
    QTest::mouseClick(s->List()->viewport(), Qt::LeftButton, {},
                      s->List()->visualRect(s->List()->model()->index(0, 0)).center());
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshWE);
    // Page keys move through the list.
    s = Open(f);
    QTest::keyClick(s->Line(), Qt::Key_PageDown);
    QTest::keyClick(s->Line(), Qt::Key_PageUp);
    QTest::keyClick(s->Line(), Qt::Key_Return);
    QCOMPARE(fx.D().Calls.size(), 2);
  }

  void aFailingHitIsReportedAsFromItsMenu() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Raise.insert("WEListe"); });
    QVNMessages()->Shown.clear();
    TQVNSuche *s = Open(fx.F());
    Typed(s, "liste wareneing");
    QTest::keyClick(s->Line(), Qt::Key_Return);
    QCOMPARE(QVNMessages()->Shown.size(), 1);
    QVERIFY(QVNMessages()->Shown.first().startsWith(QString::fromUtf8("Der Dialog „Liste Wareneingänge bearbeiten / löschen“")));
  }
};

QTEST_MAIN(TestSearch)
#include "test_search.moc"
