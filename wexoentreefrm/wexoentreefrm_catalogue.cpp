// The catalogue of the nine work areas: the start menu and the button menus.
#include "wexoentreefrm.h"

#include "components/actionlist.h"
#include "framework/qvnguard.h"

namespace {
struct MenuEntry {
  const char *caption;
  QAction *action; // none for a heading
  qint32 tag;
  int shown; // 1 shown, 0 hidden, 2 set visible explicitly
  bool heading = false;
};

// Fills one button menu inside its update bracket and its guard.
void FillMenu(const QString &where, TButtons *menu, const QList<MenuEntry> &entries,
              const char *componentNameOf6th = nullptr) {
  TButtonsCollection *items = menu->Items();
  items->BeginUpdate();
  QVNGuard(where, [&] {
    items->Clear();
    int number = 0;
    for (const MenuEntry &e : entries) {
      ++number;
      TButtonsCollItem *item = items->Add();
      if (e.heading) {
        item->Button()->SetAction(nullptr);
        item->SetButtonType(btHeading);
      } else {
        if (componentNameOf6th && number == 6)
          item->Button()->setObjectName(QString::fromLatin1(componentNameOf6th));
        item->Button()->SetAction(e.action);
      }
      item->SetLeftCaption(QString::fromUtf8(e.caption));
      item->SetRightCaption(e.heading ? QString() : ShortCutToText(ActionShortCut(e.action)));
      item->Tag = e.tag;
      if (e.shown == 0)
        item->SetVisible(false);
      else if (e.shown == 2)
        item->SetVisible(true);
    }
  });
  items->EndUpdate();
}
} // namespace

void TfrmWexoentree::FillStartMenu() {
  TPnlButtonsColl *buttons = btnpnStartMenu->Buttons();
  buttons->BeginUpdate();
  QVNGuard(QStringLiteral("FillStartMenu"), [&] {
    buttons->Clear();
    struct Area {
      const char *name;
      const char *caption;
      const char *glyph;
      QAction *action;
      TTabSheet *sheet;
    };
    const Area areas[] = {
        {"btnSB", "Vorlagen", "CHARVMETAL", acVorgangsvorlage, tshSB},
        {"btnDI", "Disposition", "CHARDMETAL", acDisposition, tshDI},
        {"btnWA", "Warenannahme", "CHARXMETAL", acWA, tshWA},
        {"btnWE", "Wareneingang", "CHARWMETAL", acWareneingang, tshWE},
        {"btnArtinfo", "Artikelinfo", "CHARAMETAL", acArtikelinformation, tshArtinfo},
        {"btnFI", "Filialaustausch", "CHARFMETAL", acFilialaustausch, tshFI},
        {"btnStatistiken", "Statistiken", "CHARSMETAL", acStatistik, tshStatistiken},
        {"btnRechnungen", "Belege", "CHARBMETAL", acReKo, tshRechnungen},
        {"btnOptionen", "Einstellungen", "CHAREMETAL", acEinstellungen, tshOptionen},
    };
    for (const Area &a : areas) {
      TPnlButtonsCollItem *item = buttons->Add();
      item->SetBtnName(QString::fromLatin1(a.name));
      item->SetBtnAction(a.action);
      item->SetLinkedTabSheet(a.sheet);
      item->SetBtnCaption(QString::fromUtf8(a.caption));
      item->GetResourceGlyph()->SetGlyph(TGlyphType(0), TGlyphSizeType(1), QString::fromLatin1(a.glyph));
    }
  });
  buttons->EndUpdate();
}

void TfrmWexoentree::FillBtnMenu_SB() {
  FillMenu(QStringLiteral("FillBtnMenu_SB"), btnMoreSB,
           {{"Artikelnummer bekannt", acSBArtNrBekannt, 907, 1},
            {"Hersteller bekannt", acSBHerstBekannt, 900, 1},
            {"Hersteller bekannt (mit Vorgabe)", acSBHerstBekanntVorgabe, 901, 0},
            {"Lieferant bekannt", acSBLiefBekannt, 902, 0},
            {"Lieferant bekannt (mit Vorgabe)", acSBLiefBekanntVorgabe, 903, 0},
            {"Vorgangsvorlagen bearbeiten / löschen", acSBVorlagenliste, 904, 1},
            {"Vorgangsvorlagen in Disposition überführen", acSBUebersicht, 905, 1},
            {"Stammdaten nach Lieferant", acSBStammNachLief, 906, 1},
            {"Stammdaten suchen", acSBStammSuchen, 908, 1}});
}

void TfrmWexoentree::FillBtnMenu_DI() {
  FillMenu(QStringLiteral("FillBtnMenu_DI"), btnsMoreDI,
           {{"Artikelnummer bekannt", acDIArtNrBek, 200, 1},
            {"Hersteller bekannt", acDIHerstBek, 209, 1},
            {"Hersteller bekannt (mit Vorgabe)", acDiHerstBekVorgabe, 203, 1},
            {"Lieferant bekannt", acDILiefbek, 201, 1},
            {"Lieferant bekannt (mit Vorgabe)", acDILiefBekVorgabe, 208, 1},
            {"Dispositionen über Liste erfassen", acDIUebersicht, 205, 1},
            {"Stammdaten nach Lieferant", acDIStammNachLieferant, 206, 1},
            {"Stammdaten suchen", acDIStammSuchen, 207, 1},
            {"Liste offener Dispositionen bearbeiten / löschen", acDiliste, 204, 1},
            {"Liste offener Dispositionen ohne Auftrag", acDI_OffeneAuftraege, 210, 1},
            {"Dispo-Auftragsnr. bekannt", acDI_AuftrNrBekannt, 211, 1},
            {"Elektronische Bestellungen bearbeiten", acDI_Bestellungen, 202, 1}});
}

void TfrmWexoentree::FillBtnMenu_WA() {
  FillMenu(QStringLiteral("FillBtnMenu_WA"), btnMoreWA,
           {{"Warenannahme", nullptr, 1000, 0, true},
            {"Artikel bekannt", acWA_ArtikelBek, 1001, 0},
            {"Hersteller bekannt", acWA_HerstBek, 1002, 0},
            {"Warenannahme aus Artikelübersicht erfassen", acWA_Uebersicht, 1003, 0},
            {"Liste Warenannahmen bearbeiten / löschen", acWA_Liste, 1004, 0},
            {"Auftragsnummer bekannt", acWA_AuftragsNrBekannt, 1005, 0},
            {"Warenauszeichnung", nullptr, 1010, 0, true},
            {"Artikel bekannt", acWT_ArtikelBek, 1011, 0},
            {"Hersteller bekannt", acWT_HerstBek, 1012, 0},
            {"Warenauszeichnung aus Artikelübersicht erfassen", acWT_Uebersicht, 1013, 0},
            {"Liste Warenauszeichnungen bearbeiten / löschen", acWT_Liste, 1014, 0},
            {"Warenauszeichnung über Barcode erfassen", acWA_Barcode, 1015, 0}});
}

void TfrmWexoentree::FillBtnMenu_WE() {
  FillMenu(QStringLiteral("FillBtnMenu_WE"), btnsMoreWE,
           {{"Artikelnummer bekannt", acWEArtNrBekannt, 100, 1},
            {"Wareneingangskorrektur - Vorgangs ID bekannt", acWEKorrVorgID, 110, 1},
            {"Hersteller bekannt", acWEHerstBekannt, 101, 1},
            {"Auftragsnummer bekannt", acWEAuftragsNrBekannt, 114, 1},
            {"Hersteller bekannt (mit Vorgabe)", acWEHerstBekVorgabe, 102, 1},
            {"Lieferant bekannt", acWELiefBekannt, 112, 1},
            {"Lieferant bekannt (mit Vorgabe)", acWELiefBekanntVorgabe, 113, 1},
            {"Wareneingang aus offener Disposition erfassen", acWEUebersicht, 103, 1},
            {"Stammdaten nach Lieferant", acWEStammNachLieferant, 106, 1},
            {"Stammdaten suchen", acWEStammSuchen, 107, 1},
            {"Liste Wareneingänge bearbeiten / löschen", acWEListe, 105, 1},
            {"Wareneingang / DesAdv Übersicht", acWE_ScanUeb, 108, 1},
            {"Wareneingang auf Sammelartikel", acWESammelartikel, 111, 0}});
}

void TfrmWexoentree::FillBtnMenu_ArtInfo() {
  FillMenu(QStringLiteral("FillBtnMenu_ArtInfo"), btnsMoreArtinfo,
           {{"Übersicht und Einzelanzeige", acAIUebersicht, 300, 1},
            {"Artikelnummer bekannt", acAIArtNrBek, 304, 1},
            {"Allgemeine Bewegungsliste", acAIAllgBew, 303, 1},
            {"Inventurzählung", acAIInvZaehl, 305, 1},
            {"Katalogdatenübernahme", acAIKata2Wexo, 306, 1},
            {"SSC-Datenübernahme", acAISSC2Wexo, 307, 1},
            {"Schnellsuche (u.a. GTIN)", acAIBez_Herst_ArtNr, 308, 1}},
           "btnSSC");
}

void TfrmWexoentree::FillBtnMenu_FI() {
  FillMenu(QStringLiteral("FillBtnMenu_FI"), btnsMoreFI,
           {{"Warenempfang bestätigen", acFAER, 400, 1}, {"Rückmeldung mit Barcode bekannt", acFAArtNrBekannt, 405, 1}});
}

void TfrmWexoentree::FillBtnMenu_ReKo_GuKo() {
  FillMenu(QStringLiteral("FillBtnMenu_ReKo_GuKo"), btnsMoreRK,
           {{"Rechnung erfassen", acRechnungskontrolle, 700, 2},
            {"Rechnung anzeigen / bearbeiten", acRechnungBearbeiten, 701, 2},
            {"Gutschriftsanforderung erfassen", acGutschriftsanforderung, 704, 0},
            {"Gutschriftsanforderung anzeigen / bearbeiten", acGutschriftsanforderungBearbeiten, 705, 0},
            {"Gutschrift erfassen", acGutschriftsKontrolle, 707, 0},
            {"Belastungsanzeige erfassen", acBelastungsanzeige, 714, 0},
            {"Gutschrift / Belastungsanzeige anzeigen / bearbeiten", acGutschriftBearbeiten, 708, 0},
            {"Warenannahmebelege anzeigen / bearbeiten", acEWABearbeiten, 710, 0},
            {"Beleg über Dokumenten-Nr. suchen", acBelegUeberDokumentenNr, 712, 0},
            {"Querfaktura-Belege nachdrucken", acQuerfakturaNachdrucken, 713, 0}});
}

void TfrmWexoentree::FillBtnMenu_Statistiken() {
  FillMenu(QStringLiteral("FillBtnMenu_Statistiken"), btnMoreStatistiken,
           {{"Gespeicherte Auswertungen", acSavedSelections, 800, 1},
            {"Erweiterte Vergleichs-Analyse", acEVA, 801, 1}});
}

void TfrmWexoentree::FillBtnMenu_Einstellungen() {
  FillMenu(QStringLiteral("FillBtnMenu_Einstellungen"), btnsMoreOptionen,
           {{"Zeiträume", acZeitraeume, 0, 1},
            {"Allgemeine Einstellungen", acGeneralOptions, 0, 1},
            {"Einstellungen kopieren", acLayoutCopy, 500, 1},
            {"Sichtbare Menüpunkte", acESichtMenu, -1, 1},
            {"Währungen", acWaehrungen, 501, 1}});
}
