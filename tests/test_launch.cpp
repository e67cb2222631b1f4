// Every launch action reaches its operation with its arguments while the
// window is hidden; the visible menu items follow stored settings and permissions.
#include <QtTest>

#include "wexotesting.h"

class TestLaunch : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void everyLaunchAction_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("hides");
    const struct {
      const char *action, *operation, *arguments;
      bool hides;
    } rows[] = {
        {"acSBArtNrBekannt", "SBArtikelBekannt", "", true},
        {"acSBHerstBekannt", "SB_LoH_Bekannt", "false,false", true},
        {"acSBHerstBekanntVorgabe", "SB_LoH_Bekannt", "false,true", true},
        {"acSBLiefBekannt", "SB_LoH_Bekannt", "true,false", true},
        {"acSBLiefBekanntVorgabe", "SB_LoH_Bekannt", "true,true", true},
        {"acSBVorlagenliste", "SBVorlagenListe", "", true},
        {"acSBUebersicht", "SBUebersicht", "", true},
        {"acSBStammNachLief", "StammNachLieferant", "1", true},
        {"acSBStammSuchen", "StammSuchen", "1", true},
        {"acDIArtNrBek", "DIArtikelBekannt", "", true},
        {"acDIHerstBek", "DIHerstellerBekannt", "false", true},
        {"acDiHerstBekVorgabe", "DIHerstellerBekannt", "true", true},
        {"acDILiefbek", "DILieferantBekannt", "false", true},
        {"acDILiefBekVorgabe", "DILieferantBekannt", "true", true},
        {"acDIUebersicht", "DIUebersicht", "", true},
        {"acDIStammNachLieferant", "StammNachLieferant", "2", true},
        {"acDIStammSuchen", "StammSuchen", "2", true},
        {"acDiliste", "DIDispositionenliste", "false", true},
        {"acDI_OffeneAuftraege", "DIDispositionenliste", "true", true},
        {"acDI_AuftrNrBekannt", "DIAuftrNrBekannt", "", true},
        {"acDI_Bestellungen", "ORDERUebersicht", "", true},
        {"acWA_ArtikelBek", "WAArtikelBekannt", "", true},
        {"acWA_HerstBek", "WAHerstellerBekannt", "", true},
        {"acWA_Uebersicht", "WAUebersicht", "", true},
        {"acWA_Liste", "WAListe", "", true},
        {"acWA_AuftragsNrBekannt", "WAAuftrNrBekannt", "", true},
        {"acWT_ArtikelBek", "WTArtikelBekannt", "", true},
        {"acWT_HerstBek", "WTHerstellerBekannt", "", true},
        {"acWT_Uebersicht", "WTUebersicht", "", true},
        {"acWT_Liste", "WTListe", "", true},
        {"acWA_Barcode", "WTVorgIdBekannt", "", true},
        {"acWEArtNrBekannt", "WEArtikelBekannt", "false", true},
        {"acWEKorrVorgID", "WEVorgIdBekannt", "", true},
        {"acWEHerstBekannt", "WEHerstellerBekannt", "false", true},
        {"acWEAuftragsNrBekannt", "WEAuftragsNrBekannt", "", true},
        {"acWEHerstBekVorgabe", "WEHerstellerBekannt", "true", true},
        {"acWELiefBekannt", "WELieferantBekannt", "false", true},
        {"acWELiefBekanntVorgabe", "WELieferantBekannt", "true", true},
        {"acWEUebersicht", "WEUebersicht", "", true},
        {"acWEStammNachLieferant", "StammNachLieferant", "3", true},
        {"acWEStammSuchen", "StammSuchen", "3", true},
        {"acWEListe", "WEListe", "", true},
        {"acWE_ScanUeb", "LieferungUebersicht", "[],false", true},
        {"acWESammelartikel", "WEArtikelBekannt", "true", true},
        {"acAIUebersicht", "ArtinfoUebersicht", "", true},
        {"acAIArtNrBek", "ArtinfoArtikelBekannt", "", true},
        {"acAIAllgBew", "ArtinfoAllgBewListe", "", true},
        {"acAIInvZaehl", "ArtinfoInventurzaehlung", "", true},
        {"acAIKata2Wexo", "ArtinfoKata2Wexo", "", true},
        {"acAISSC2Wexo", "ArtinfoSSC2Wexo", "", true},
        {"acAIBez_Herst_ArtNr", "ArtinfoBez_Herst_ArtNr", "", true},
        {"acFAER", "FAEinzelRM", "", true},
        {"acFAArtNrBekannt", "FAArtikelBekannt", "", true},
        {"acFALC", "FAListeCreate", "", true},
        {"acSavedSelections", "Stat_SavedSelections", "", true},
        {"acEVA", "Stat_EVA", "", true},
        {"acRechnungskontrolle", "Rechnungskontrolle", "", true},
        {"acRechnungBearbeiten", "RechnungBearbeiten", "", true},
        {"acGutschriftsanforderung", "Gutschriftsanforderung", "0:0,0:0,false,false", true},
        {"acGutschriftsanforderungBearbeiten", "GutschriftsanforderungBearbeiten", "", true},
        {"acGutschriftsKontrolle", "Gutschriftskontrolle", "", true},
        {"acBelastungsanzeige", "Belastungsanzeige", "", true},
        {"acGutschriftBearbeiten", "GutschriftBearbeiten", "", true},
        {"acEWABearbeiten", "EWABearbeiten", "", true},
        {"acBelegUeberDokumentenNr", "BelegUeberDokumentenNr", "", true},
        {"acQuerfakturaNachdrucken", "QuerfakturaNachdrucken", "", true},
        {"acZeitraeume", "ZeitRaumAbfrage", "true", false},
        {"acGeneralOptions", "GeneralOptions", "", false},
        {"acLayoutCopy", "LayoutCopy", "", true},
        {"acThemenimport", "Import_Maskeneinstellungen", "", true},
        {"acMandant", "MandantEinstellen", "", true},
        {"acWaehrungen", "WaehrungenWaehlen", "", false},
    };
    for (const auto &r : rows)
      QTest::newRow(r.action) << r.action << r.operation << r.arguments << r.hides;
  }

  void everyLaunchAction() {
    QFETCH(QString, action);
    QFETCH(QString, operation);
    QFETCH(QString, arguments);
    QFETCH(bool, hides);
    TWindowFixture fx;
    auto *a = fx.F()->findChild<QAction *>(action);
    QVERIFY(a);
    fx.D().Calls.clear();
    a->trigger();
    QCOMPARE(fx.D().Calls.size(), 1);
    QCOMPARE(fx.D().Calls.first().Operation, operation);
    QCOMPARE(fx.D().Calls.first().Arguments, arguments);
    QCOMPARE(fx.D().Calls.first().WindowVisible, !hides);
    QVERIFY(fx.F()->isVisible());
    QVERIFY(fx.Reports().isEmpty());
    // The search knows which journal rows are this action's.
    QCOMPARE(fx.F()->JournalKeyOf(a), operation + "|" + arguments);

    // A raising operation leaves the window visible and is reported once under the handler.
    fx.D().Raise.insert(operation);
    a->trigger();
    QVERIFY(fx.F()->isVisible());
    QCOMPARE(fx.Reports().size(), 1);
    QVERIFY(fx.Reports().first().startsWith("TfrmWexoentree.ac"));
    QVERIFY(fx.Reports().first().endsWith("Execute"));
  }

  void renamedHandlersReportUnderTheirOwnNames() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Raise = {"WEHerstellerBekannt", "DIHerstellerBekannt", "SBVorlagenListe"};
    });
    fx.F()->acWEHerstBekVorgabe->trigger();
    fx.F()->acDiHerstBekVorgabe->trigger();
    fx.F()->acSBVorlagenliste->trigger();
    QCOMPARE(fx.Reports(), QStringList({"TfrmWexoentree.acWEHerstBekanntVorgabeExecute",
                                        "TfrmWexoentree.acDIHerstBekVorgabeExecute",
                                        "TfrmWexoentree.acSBVorlagenListeExecute"}));
  }

  void reappearingRefreshesTheWindow() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    fx.D().Wdvo = 5;
    fx.D().Entries = {{1, "Neu", "WEListe", ""}};
    fx.D().ClientText = "Zweiter Mandant";
    f->acReKoExecute();
    f->acMandant->trigger();
    QCOMPARE(f->windowTitle(), QString("Artikelverwaltung - Zweiter Mandant"));
    QCOMPARE(RowTexts(f->vstAufgaben).first(), QString("Wiedervorlagen|5||WDVO"));
    QCOMPARE(f->vtSchnellEinstiegView->RootNodeCount(), 1);
    QCOMPARE(f->btnpnStartMenu->Selected(), 7);
    // Zeiträume leaves the window as it is.
    fx.D().Wdvo = 9;
    f->acZeitraeume->trigger();
    QCOMPARE(RowTexts(f->vstAufgaben).first(), QString("Wiedervorlagen|5||WDVO"));
  }

  void orderNumberActionHasNoHandler() {
    TWindowFixture fx;
    fx.D().Calls.clear();
    fx.F()->acDIBestNrBek->trigger();
    QVERIFY(fx.D().Calls.isEmpty());
  }

  void emptySettingsKeepTheCatalogueAndHideGoodsAcceptance() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QVERIFY(!f->acWA->isVisible());
    QVERIFY(!f->acWA->isEnabled());
    QVERIFY(!f->btnpnStartMenu->Buttons()->Items(2)->Button()->isVisible());
    QVERIFY(f->acWareneingang->isVisible() && f->acWareneingang->isEnabled());
    QVERIFY(!f->btnsMoreWE->Items()->Items(12)->Visible());
    QVERIFY(f->acEinstellungen->isVisible());
  }

  void storedSettingsShowAndHideEntries() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.StoredInfos = {{"", "", 105, false}, {"", "", 111, true}, {"", "", 1003, true}, {"", "", 1003, false}};
    });
    TfrmWexoentree *f = fx.F();
    QVERIFY(!f->btnsMoreWE->Items()->Items(10)->Visible());
    QVERIFY(f->btnsMoreWE->Items()->Items(12)->Visible());
    QVERIFY(f->btnMoreWA->Items()->Items(3)->Visible()); // the first of two equal tags decides
    QVERIFY(f->acWA->isVisible() && f->acWA->isEnabled());
    QCOMPARE(f->btnMoreWA->TopItem(), 3);
  }

  void refusedEntriesStayHiddenAndEmptyAreasDisappear() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.StoredInfos = {{"", "", 400, true}};
      d.Refused = {400, 405, 500, 501};
    });
    TfrmWexoentree *f = fx.F();
    QVERIFY(!f->btnsMoreFI->Items()->Items(0)->Visible());
    QVERIFY(!f->acFilialaustausch->isVisible());
    QVERIFY(!f->acFilialaustausch->isEnabled());
    QTest::keyClick(f->btnsMoreArtinfo, Qt::Key_F);
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshArtinfo);
    QVERIFY(f->acEinstellungen->isVisible()); // its untagged entries always stay
  }

  void aFailingPermissionTestAllows() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.PermissionRaises = true; });
    QVERIFY(fx.F()->btnsMoreFI->Items()->Items(0)->Visible());
    QVERIFY(fx.Reports().contains("IsMenuPunktAllowed"));
  }

  void dialogCancelChangesNothingAcceptStoresAndApplies() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    fx.D().AcceptDialog = false;
    f->acESichtMenuExecute();
    QCOMPARE(fx.D().SaveCount, 0);
    QCOMPARE(fx.D().ShownInDialog.size(), 69);
    QCOMPARE(fx.D().ShownInDialog.first().AreaText, QString("Vorlagen"));
    QVERIFY(f->btnsMoreWE->Items()->Items(10)->Visible());
    fx.D().AcceptDialog = true;
    fx.D().EditInDialog = [](TWexoEntreeMenueInfos &infos) {
      for (TWexoEntreeMenueInfo &i : infos)
        if (i.Tag == 105)
          i.Visible = false;
    };
    f->acESichtMenuExecute();
    QCOMPARE(fx.D().SaveCount, 1);
    QVERIFY(!f->btnsMoreWE->Items()->Items(10)->Visible());
  }

  void aFailingDialogIsShownOnceWithItsName() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Raise.insert("WEArtikelBekannt"); });
    QVNMessages()->Shown.clear();
    fx.F()->acWEArtNrBekanntExecute();
    QCOMPARE(QVNMessages()->Shown.size(), 1);
    QCOMPARE(QVNMessages()->Shown.first(),
             QString::fromUtf8("Der Dialog „Artikelnummer bekannt“ konnte nicht geöffnet werden:\n\nTestfehler in "
                               "WEArtikelBekannt"));
    QVERIFY(fx.F()->isVisible());
    QCOMPARE(fx.Reports(), QStringList{"TfrmWexoentree.acWEArtNrBekanntExecute"});
  }

  void aRefusedEntryRunsByNoRoute_aHiddenOneKeepsItsKey() {
    {
      TWindowFixture fx([](TScriptedWexodm &d) { d.Refused = {100, 400, 405}; });
      TfrmWexoentree *f = fx.F();
      QTest::keyClick(f, Qt::Key_K);
      QTest::keyClick(f, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
      QCOMPARE(fx.D().Count("WEArtikelBekannt"), 0);
      QCOMPARE(fx.D().Count("FAEinzelRM"), 0);
      QVERIFY(!f->acWEArtNrBekannt->isEnabled());
      QVERIFY(!f->acFAER->isEnabled());
      QVERIFY(!f->btnsMoreWE->Items()->Items(0)->Visible());
    }
    {
      TWindowFixture fx([](TScriptedWexodm &d) { d.StoredInfos.append({QString(), QString(), 100, false}); });
      QVERIFY(!fx.F()->btnsMoreWE->Items()->Items(0)->Visible());
      QTest::keyClick(fx.F(), Qt::Key_K);
      QCOMPARE(fx.D().Count("WEArtikelBekannt"), 1);
    }
    {
      // A permission taken back: the entry runs again.
      TWindowFixture fx([](TScriptedWexodm &d) { d.Refused = {100}; });
      fx.D().Refused.clear();
      fx.F()->MenueInfosTobtnsMore({});
      QTest::keyClick(fx.F(), Qt::Key_K);
      QCOMPARE(fx.D().Count("WEArtikelBekannt"), 1);
    }
  }
};

QTEST_MAIN(TestLaunch)
#include "test_launch.moc"
