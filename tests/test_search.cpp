// The search over every entry, area, task and quick entry: how it opens and
// closes, what it finds and in which order, and that running a hit is running
// its menu entry.
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
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

  // The grades, best first: exact title, title start, adjacent word starts,
  // word starts in any order, initials, letters in order, one typing slip.
  void gradesComeInTheirOrder() {
    using namespace TQVNSuchFilter;
    const QList<TQVNSuchEintrag> entries = {
        Entry("Lieferart ändern", ""),                        // 0: "art" only inside a word
        Entry("Artikelnummer bekannt", "Wareneingang"),       // 1
        Entry("Liste offener Dispositionen ohne Auftrag", ""), // 2
        Entry("Dispo-Auftragsnr. bekannt", ""),               // 3
        Entry("Offene Dispositionen", ""),                    // 4
        Entry("Offene Dispositionen bearbeiten", ""),         // 5
        Entry("Dispositionen offen", ""),                     // 6
        Entry("Erweiterte Vergleichs-Analyse", ""),           // 7
        Entry("Gutschrift erfassen", ""),                     // 8
        Entry("Strasse", ""),                                 // 9
        Entry("Sortiment", ""),                               // 10
    };
    QCOMPARE(Rank("art", entries).mid(0, 2), QList<int>({1, 0})); // a word start before letters inside a word
    QCOMPARE(Rank("offene dispositionen", entries), QList<int>({4, 5, 2, 6}));
    QCOMPARE(Rank("dispo auftr", entries).first(), 3);
    QCOMPARE(Rank("lod", entries).first(), 2);
    QCOMPARE(Rank("eva", entries).first(), 7);
    QCOMPARE(Rank("gutschirft", entries), QList<int>({8})); // two letters swapped
    QCOMPARE(Rank("gutschrft", entries), QList<int>({8}));  // one missing
    QCOMPARE(Rank("gutsschrift", entries), QList<int>({8})); // one extra
    QCOMPARE(Rank("gutschrigt", entries), QList<int>({8})); // one wrong
    QVERIFY(Rank("gutschirtf", entries).isEmpty());          // two slips are too many
    QVERIFY(Rank("gutcshirft", entries).isEmpty());
    QVERIFY(Rank("lifer", entries).isEmpty() || Rank("lifer", entries).first() == 0); // short words get no slip
    // A repeated letter needs as many letters: "ss" is in "Strasse", not in "Sortiment".
    QVERIFY(Rank("ss", entries).contains(9));
    QVERIFY(!Rank("ss", entries).contains(10));
    QVERIFY(WithinOneSlip(u"wareneingnag", u"wareneingang"));
    QVERIFY(!WithinOneSlip(u"wareneignnag", u"wareneingang"));
  }

  // What is matched is drawn bold, on the letters shown (an umlaut for "ae").
  void matchedLettersAreMarked() {
    using TQVNSuchFilter::Highlights;
    using Ranges = QList<std::pair<int, int>>;
    QCOMPARE(Highlights("art bek", "Artikelnummer bekannt – Wareneingang"), Ranges({{0, 3}, {14, 3}}));
    QCOMPARE(Highlights("waehr", "Währungen – Einstellungen"), Ranges({{0, 4}}));
    QCOMPARE(Highlights("ztrm", "Zeiträume – Einstellungen"), Ranges({{0, 1}, {3, 2}, {7, 1}}));
  }

  // Rows that would read alike get what tells them apart; a line break in a name is a blank.
  void noTwoRowsReadAlike() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Entries = {{1, "Offene Dispositionen", "DIDispositionenliste", "false"},
                   {2, "Offene Dispositionen", "DIDispositionenliste", "true"},
                   {3, "Zwei\nZeilen", "WEListe", ""}};
    });
    TQVNSuche *s = Open(fx.F());
    QStringList rows = s->ListedTexts();
    rows.removeAll("Zuletzt verwendet");
    rows.removeAll("Alle Einträge");
    rows = rows.mid(rows.indexOf("Bereich Vorlagen")); // the list of all, after the recent ones
    QCOMPARE(QSet<QString>(rows.begin(), rows.end()).size(), rows.size());
    QVERIFY(rows.contains(QString::fromUtf8("Artikel bekannt – Warenannahme › Warenauszeichnung (ausgeblendet)")));
    QVERIFY(rows.contains("Schnelleinstieg: Offene Dispositionen (2)"));
    QVERIFY(rows.contains("Schnelleinstieg: Zwei Zeilen"));
    s->hide();
  }

  // A keyword names itself: "auch: Lieferschein".
  void otherNamesFindTheirEntry() {
    TWindowFixture fx;
    TQVNSuche *s = Open(fx.F());
    QCOMPARE(Typed(s, "lieferschein").first(), QString::fromUtf8("Wareneingang / DesAdv Übersicht – Wareneingang"));
    QCOMPARE(s->List()->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(),
             QString::fromUtf8("Wareneingang / DesAdv Übersicht – Wareneingang, auch: Lieferschein"));
    QCOMPARE(Typed(s, "EVA").first(), QString::fromUtf8("Erweiterte Vergleichs-Analyse – Statistiken"));
    s->hide();
  }

  // The key column is never cut and nothing scrolls sideways, also from the
  // second opening on; the heading over the recent dialogs is in view.
  void thePopupKeepsKeysAndHeadingInView() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->acWEListeExecute();
    for (int opening = 0; opening < 3; ++opening) {
      TQVNSuche *s = Open(f);
      QApplication::processEvents();
      QListView *list = s->List();
      QCOMPARE(s->ListedTexts().first(), QString("Zuletzt verwendet"));
      QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(0, 0))));
      QVERIFY(!list->horizontalScrollBar()->isVisible());
      for (int r = 0; r < list->model()->rowCount(); ++r) {
        const QRect row = list->visualRect(list->model()->index(r, 0));
        QVERIFY2(row.width() <= list->viewport()->width(), qPrintable(QString::number(r)));
      }
      // Up from the first entry stays there; the heading stays in view.
      QTest::keyClick(s->Line(), Qt::Key_Up);
      QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(0, 0))));
      s->hide();
    }
  }

  // The recent list holds what the user chose: not the client choice the
  // program opened at its start, a quick entry once (not also its dialog), at most eight.
  void theRecentListHoldsWhatTheUserChose() {
    TTestEnvironment env;
    Twexodm dm(env.Store.get());
    wexodm = &dm;
    {
      TfrmWexoentree form;
      form.show();
      QApplication::processEvents();
      QCOMPARE(env.Store->Scalar("SELECT COUNT(*) FROM operation_journal WHERE operation = 'MandantEinstellen'").toInt(), 1);
      TQVNSuche *s = Open(&form);
      QCOMPARE(s->ListedTexts().first(), QString("Bereich Vorlagen")); // nothing used yet
      s->hide();
      form.vtSchnellEinstiegView->SetFocusedCell(
          int(RowTexts(form.vtSchnellEinstiegView).indexOf(QRegularExpression("Offene Dispositionen.*"))), 0);
      form.acSchnelleinAusfuehrenExecute(form.spbSERun);
      QCOMPARE(env.Store->Scalar("SELECT COUNT(*) FROM operation_journal WHERE operation = 'DIDispositionenliste'").toInt(), 1);
      s = Open(&form);
      const QStringList rows = s->ListedTexts();
      QCOMPARE(rows.mid(0, 3), QStringList({"Zuletzt verwendet", "Schnelleinstieg: Offene Dispositionen", "Alle Einträge"}));
      s->hide();
      for (QAction *a : {form.acWEListe, form.acZeitraeume, form.acRechnungskontrolle, form.acWEUebersicht,
                         form.acDIUebersicht, form.acSBUebersicht, form.acAIUebersicht, form.acEVA, form.acWaehrungen})
        a->trigger();
      s = Open(&form);
      QCOMPARE(s->ListedTexts().indexOf("Alle Einträge"), 1 + TQVNSuche::MaxRecent);
      s->hide();
    }
    wexodm = nullptr;
  }

  // A table of what clerks type and the row they want first.
  void realisticQueriesFindTheWantedRowFirst_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("wanted");
    const QList<std::pair<const char *, const char *>> table = {
        {"Offene Dispositionen", "Schnelleinstieg: Offene Dispositionen"},
        {"wareneingang artikelnummer", "Schnelleinstieg: Wareneingang Artikelnummer"},
        {"artikelübersicht", "Schnelleinstieg: Artikelübersicht"},
        {"gutschirft", "Gutschrift"},
        {"wareneingnag", "Wareneingang"},
        {"EVA", "Erweiterte Vergleichs-Analyse – Statistiken"},
        {"vergleich", "Erweiterte Vergleichs-Analyse – Statistiken"},
        {"lieferschein", "Wareneingang / DesAdv Übersicht – Wareneingang"},
        {"desadv", "Wareneingang / DesAdv Übersicht – Wareneingang"},
        {"etikett", "Artikel bekannt – Warenannahme › Warenauszeichnung (ausgeblendet)"},
        {"dokumentennummer", "Beleg über Dokumenten-Nr. suchen – Belege (ausgeblendet)"},
        {"gutschrift erf", "Gutschrift erfassen – Belege (ausgeblendet)"},
        {"dispo auftr", "Dispo-Auftragsnr. bekannt – Disposition"},
        {"lod", "Liste offener Dispositionen bearbeiten / löschen – Disposition"},
        {"art bek", "Artikelnummer bekannt – Vorlagen"},
        {"artikelnummer bekannt wareneingang", "Artikelnummer bekannt – Wareneingang"},
        {"lieferant bekannt wareneingang", "Lieferant bekannt – Wareneingang"},
        {"hersteller vorgabe dispo", "Hersteller bekannt (mit Vorgabe) – Disposition"},
        {"wiedervorlage", "Aufgabe: Wiedervorlagen (3)"},
        {"offene bedarfe", "Aufgabe: Offene Bedarfe (2)"},
        {"rechnung erf", "Rechnung erfassen – Belege"},
        {"rechnung anz", "Rechnung anzeigen / bearbeiten – Belege"},
        {"inventur", "Inventurzählung – Artikelinfo"},
        {"zaehlung", "Inventurzählung – Artikelinfo"},
        {"waehrung", "Währungen – Einstellungen"},
        {"währung", "Währungen – Einstellungen"},
        {"ztrm", "Zeiträume – Einstellungen"},
        {"zeitraum", "Zeiträume – Einstellungen"},
        {"sichtbar", "Sichtbare Menüpunkte – Einstellungen"},
        {"menue", "Sichtbare Menüpunkte – Einstellungen"},
        {"mandant", "Mandant einstellen – Einstellungen"},
        {"fenster", "Fensteranordnung zurücksetzen – Einstellungen"},
        {"themen", "Themenimport – Einstellungen"},
        {"filialaustauschliste", "Filialaustauschlisten erstellen – Einstellungen"},
        {"filialaustausch", "Bereich Filialaustausch"},
        {"barcode", "Rückmeldung mit Barcode bekannt – Filialaustausch"},
        {"ssc", "SSC-Datenübernahme – Artikelinfo"},
        {"katalog", "Katalogdatenübernahme – Artikelinfo"},
        {"bewegung", "Allgemeine Bewegungsliste – Artikelinfo"},
        {"gtin", "Schnellsuche (u.a. GTIN) – Artikelinfo"},
        {"sammelartikel", "Wareneingang auf Sammelartikel – Wareneingang (ausgeblendet)"},
        {"vorgangs id", "Wareneingangskorrektur - Vorgangs ID bekannt – Wareneingang"},
        {"auftragsnummer", "Auftragsnummer bekannt – Wareneingang"},
        {"elektronische bestellung", "Elektronische Bestellungen bearbeiten – Disposition"},
        {"bestellung", "Elektronische Bestellungen bearbeiten – Disposition"},
        {"querfaktura", "Querfaktura-Belege nachdrucken – Belege (ausgeblendet)"},
        {"belastung", "Belastungsanzeige erfassen – Belege (ausgeblendet)"},
        {"allgemeine einst", "Allgemeine Einstellungen – Einstellungen"},
        {"einstellungen kop", "Einstellungen kopieren – Einstellungen"},
        {"gespeicherte", "Gespeicherte Auswertungen – Statistiken"},
        {"auswertung", "Gespeicherte Auswertungen – Statistiken"},
        {"warenempfang", "Warenempfang bestätigen – Filialaustausch"},
        {"stammdaten lief", "Stammdaten nach Lieferant – Vorlagen"},
        {"uebersicht einzel", "Übersicht und Einzelanzeige – Artikelinfo"},
        {"warenverteilung", "Aufgabe: Offene Warenverteilung (1)"},
    };
    for (const auto &[typed, wanted] : table)
      QTest::newRow(typed) << QString::fromUtf8(typed) << QString::fromUtf8(wanted);
  }
  void realisticQueriesFindTheWantedRowFirst() {
    QFETCH(QString, typed);
    QFETCH(QString, wanted);
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Wdvo = 3;
      d.Beda = 2;
      d.Ofwa = 1;
      d.Entries = {{1, "Wareneingang Artikelnummer", "WEArtikelBekannt", "false"},
                   {2, "Offene Dispositionen", "DIDispositionenliste", "false"},
                   {3, "Artikelübersicht", "ArtinfoUebersicht", ""},
                   {4, "Rechnung erfassen", "Rechnungskontrolle", ""}};
    });
    TQVNSuche *s = Open(fx.F());
    const QString first = Typed(s, typed).value(0);
    s->hide();
    QVERIFY2(first == wanted || (!wanted.contains(QString::fromUtf8(" – ")) && !wanted.contains(':') &&
                                 first.startsWith(wanted)),
             qPrintable(first));
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
    // Every entry the user hid comes after all the others.
    const QStringList all = rows.mid(5);
    const qsizetype firstHidden = all.indexOf(QRegularExpression(".*\\(ausgeblendet\\)$"));
    QVERIFY(firstHidden > 0);
    for (qsizetype i = firstHidden; i < all.size(); ++i)
      QVERIFY2(all.at(i).endsWith("(ausgeblendet)"), qPrintable(all.at(i)));
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
