// Finding any dialog by typing: the search popup over every entry, area, task
// and quick entry, ranked by what this workstation uses.
#include "wexoentreefrm.h"

#include "components/actionlist.h"
#include "components/qvnsearch.h"
#include "framework/qvnguard.h"

#include <QHash>

namespace {
// What the journal calls the dialog an action opens ("operation|arguments"):
// the operation and arguments of the action's handler.
const QHash<QString, QString> &JournalKeys() {
  static const QHash<QString, QString> keys = {
      {"acSBArtNrBekannt", "SBArtikelBekannt|"},
      {"acSBHerstBekannt", "SB_LoH_Bekannt|false,false"},
      {"acSBHerstBekanntVorgabe", "SB_LoH_Bekannt|false,true"},
      {"acSBLiefBekannt", "SB_LoH_Bekannt|true,false"},
      {"acSBLiefBekanntVorgabe", "SB_LoH_Bekannt|true,true"},
      {"acSBVorlagenliste", "SBVorlagenListe|"},
      {"acSBUebersicht", "SBUebersicht|"},
      {"acSBStammNachLief", "StammNachLieferant|1"},
      {"acSBStammSuchen", "StammSuchen|1"},
      {"acDIArtNrBek", "DIArtikelBekannt|"},
      {"acDIHerstBek", "DIHerstellerBekannt|false"},
      {"acDiHerstBekVorgabe", "DIHerstellerBekannt|true"},
      {"acDILiefbek", "DILieferantBekannt|false"},
      {"acDILiefBekVorgabe", "DILieferantBekannt|true"},
      {"acDIUebersicht", "DIUebersicht|"},
      {"acDIStammNachLieferant", "StammNachLieferant|2"},
      {"acDIStammSuchen", "StammSuchen|2"},
      {"acDiliste", "DIDispositionenliste|false"},
      {"acDI_OffeneAuftraege", "DIDispositionenliste|true"},
      {"acDI_AuftrNrBekannt", "DIAuftrNrBekannt|"},
      {"acDI_Bestellungen", "ORDERUebersicht|"},
      {"acWA_ArtikelBek", "WAArtikelBekannt|"},
      {"acWA_HerstBek", "WAHerstellerBekannt|"},
      {"acWA_Uebersicht", "WAUebersicht|"},
      {"acWA_Liste", "WAListe|"},
      {"acWA_AuftragsNrBekannt", "WAAuftrNrBekannt|"},
      {"acWT_ArtikelBek", "WTArtikelBekannt|"},
      {"acWT_HerstBek", "WTHerstellerBekannt|"},
      {"acWT_Uebersicht", "WTUebersicht|"},
      {"acWT_Liste", "WTListe|"},
      {"acWA_Barcode", "WTVorgIdBekannt|"},
      {"acWEArtNrBekannt", "WEArtikelBekannt|false"},
      {"acWEKorrVorgID", "WEVorgIdBekannt|"},
      {"acWEHerstBekannt", "WEHerstellerBekannt|false"},
      {"acWEAuftragsNrBekannt", "WEAuftragsNrBekannt|"},
      {"acWEHerstBekVorgabe", "WEHerstellerBekannt|true"},
      {"acWELiefBekannt", "WELieferantBekannt|false"},
      {"acWELiefBekanntVorgabe", "WELieferantBekannt|true"},
      {"acWEUebersicht", "WEUebersicht|"},
      {"acWEStammNachLieferant", "StammNachLieferant|3"},
      {"acWEStammSuchen", "StammSuchen|3"},
      {"acWEListe", "WEListe|"},
      {"acWE_ScanUeb", "LieferungUebersicht|[],false"},
      {"acWESammelartikel", "WEArtikelBekannt|true"},
      {"acAIUebersicht", "ArtinfoUebersicht|"},
      {"acAIArtNrBek", "ArtinfoArtikelBekannt|"},
      {"acAIAllgBew", "ArtinfoAllgBewListe|"},
      {"acAIInvZaehl", "ArtinfoInventurzaehlung|"},
      {"acAIKata2Wexo", "ArtinfoKata2Wexo|"},
      {"acAISSC2Wexo", "ArtinfoSSC2Wexo|"},
      {"acAIBez_Herst_ArtNr", "ArtinfoBez_Herst_ArtNr|"},
      {"acFAER", "FAEinzelRM|"},
      {"acFAArtNrBekannt", "FAArtikelBekannt|"},
      {"acFALC", "FAListeCreate|"},
      {"acSavedSelections", "Stat_SavedSelections|"},
      {"acEVA", "Stat_EVA|"},
      {"acRechnungskontrolle", "Rechnungskontrolle|"},
      {"acRechnungBearbeiten", "RechnungBearbeiten|"},
      {"acGutschriftsanforderung", "Gutschriftsanforderung|0:0,0:0,false,false"},
      {"acGutschriftsanforderungBearbeiten", "GutschriftsanforderungBearbeiten|"},
      {"acGutschriftsKontrolle", "Gutschriftskontrolle|"},
      {"acBelastungsanzeige", "Belastungsanzeige|"},
      {"acGutschriftBearbeiten", "GutschriftBearbeiten|"},
      {"acEWABearbeiten", "EWABearbeiten|"},
      {"acBelegUeberDokumentenNr", "BelegUeberDokumentenNr|"},
      {"acQuerfakturaNachdrucken", "QuerfakturaNachdrucken|"},
      {"acZeitraeume", "ZeitRaumAbfrage|true"},
      {"acGeneralOptions", "GeneralOptions|"},
      {"acLayoutCopy", "LayoutCopy|"},
      {"acThemenimport", "Import_Maskeneinstellungen|"},
      {"acMandant", "MandantEinstellen|"},
      {"acWaehrungen", "WaehrungenWaehlen|"},
      {"acESichtMenu", "OptionenSichtbareMenuepunkte|*"},
  };
  return keys;
}

// The task rows and the dialogs their double-click opens.
const QHash<QString, QString> &TaskKeys() {
  static const QHash<QString, QString> keys = {
      {"WDVO", "WiedervorlagenUebersicht|"},       {"BEDA", "BedarfeUebersicht|"},
      {"DIIM", "ORDERUebersicht|"},                {"SCAN", "LieferungUebersicht|[],false"},
      {"EXFE", "Exportfehler|1"},                  {"EXIM", "Exportfehler|2"},
      {"INVO", "RechnungsKontrolleInvoice|"},      {"UNVO", "UnvollstaendigeBelege|"},
      {"QUFA", "QuerfakturaUebersicht|"},          {"OFWA", "OffeneWarenverteilungenUebersicht|"},
      {"ERWA", "ErfolgteWarenverteilungenUebersicht|"}, {"SSC_", "ArtinfoSSC2Wexo|"},
  };
  return keys;
}
} // namespace

QString TfrmWexoentree::JournalKeyOf(const QAction *action) const {
  return action ? JournalKeys().value(action->objectName()) : QString();
}

// Everything the user can run from here, in menu order: each menu entry with
// its area, the areas, the task rows, the quick entries and the settings
// commands. Refused entries are left out; entries the user hid come marked.
QList<TQVNSuchEintrag> TfrmWexoentree::SearchEntries() {
  QList<TQVNSuchEintrag> entries;
  TPnlButtonsColl *areas = btnpnStartMenu->Buttons();
  for (int a = 0; a < areas->Count(); ++a) {
    TPnlButtonsCollItem *area = areas->Items(a);
    const QString areaCaption = QVNDisplayCaption(area->BtnCaption());
    if (QAction *areaAction = area->BtnAction(); areaAction && areaAction->isEnabled()) {
      TQVNSuchEintrag e;
      e.Text = QStringLiteral("Bereich ") + areaCaption;
      e.Shortcut = ShortCutToText(ActionShortCut(areaAction));
      e.Order = a * 100;
      e.Run = [areaAction] { areaAction->trigger(); };
      entries << e;
    }
    TWexoEntreeTabSheetInfos page;
    TWexoEntreeTabSheetInfosHelper::Clear(page);
    GetTabSheetInfos(area->LinkedTabSheet(), page);
    if (!page.BtnsMore)
      continue;
    TButtonsCollection *items = page.BtnsMore->Items();
    for (int j = 0; j < items->Count(); ++j) {
      TButtonsCollItem *item = items->Items(j);
      QAction *action = item->Button()->Action();
      // Headings run nothing; a refused entry's action is off and never listed.
      if (!action || item->ButtonType() == btHeading || !action->isEnabled())
        continue;
      TQVNSuchEintrag e;
      e.Text = QVNDisplayCaption(item->LeftCaption());
      e.Area = areaCaption;
      e.Shortcut = item->RightCaption();
      e.Hidden = !item->Visible();
      e.Order = a * 100 + 1 + j;
      e.Key = JournalKeyOf(action);
      e.Run = [action] { action->trigger(); };
      entries << e;
    }
  }
  for (int r = 0; r < vstAufgaben->RootNodeCount(); ++r) {
    const TStringList *row = vstAufgaben->GetNodeData(r);
    if (!row || row->Count() < 4)
      continue;
    TQVNSuchEintrag e;
    e.Text = QStringLiteral("Aufgabe: %1 (%2)").arg(row->Strings.at(0), row->Strings.at(1));
    e.Order = 1000 + r;
    e.Key = TaskKeys().value(row->Strings.at(3));
    // As a double-click on its row does; the row is found by its code, as the
    // list may have been rebuilt while the search was open.
    e.Run = [this, code = row->Strings.at(3)] {
      for (int node = 0; node < vstAufgaben->RootNodeCount(); ++node)
        if (const TStringList *list = vstAufgaben->GetNodeData(node); list && list->Count() > 3 && list->Strings.at(3) == code) {
          vstAufgaben->SetFocusedCell(node, 0);
          vstAufgabenDblClick(vstAufgaben);
          return;
        }
    };
    entries << e;
  }
  for (qsizetype i = 0; i < FSchnellEinstiege.size(); ++i) {
    if (wexodm->IsOperationRefused(FSchnellEinstiege.at(i).Operation, FSchnellEinstiege.at(i).Arguments))
      continue;
    TQVNSuchEintrag e;
    e.Text = QStringLiteral("Schnelleinstieg: ") + FSchnellEinstiege.at(i).Name;
    e.Order = 2000 + int(i);
    e.Key = QStringLiteral("SchnellEinstiegExecute|") + FSchnellEinstiege.at(i).Name;
    // As from its view: its cell gets the focus, then the run command.
    e.Run = [this, id = FSchnellEinstiege.at(i).Id] {
      for (int node = 0; node < vtSchnellEinstiegView->RootNodeCount(); ++node)
        if (const TStringList *cells = vtSchnellEinstiegView->GetNodeData(node))
          for (int c = 0; c < cells->Count(); ++c) {
            const qintptr index = cells->Objects.at(c);
            if (index >= 0 && index < FSchnellEinstiege.size() && FSchnellEinstiege.at(index).Id == id) {
              vtSchnellEinstiegView->SetFocusedCell(node, c);
              HandleSE(3, vtSchnellEinstiegView);
              return;
            }
          }
    };
    entries << e;
  }
  const QString settings = QStringLiteral("Einstellungen");
  if (acMandant->isVisible() && acMandant->isEnabled())
    entries << TQVNSuchEintrag{QVNDisplayCaption(acMandant->text()), settings, {}, false, 0, 3000,
                               QStringLiteral("MandantEinstellen|"), [this] { acMandant->trigger(); }};
  entries << TQVNSuchEintrag{acFensteranordnungZuruecksetzen->text(), settings, {}, false, 0, 3001, {},
                             [this] { acFensteranordnungZuruecksetzen->trigger(); }};
  return entries;
}

void TfrmWexoentree::acSuchenExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSuchenExecute"), [&] {
    QList<TQVNSuchEintrag> entries = SearchEntries();
    // This workstation's use: how often in 90 days, and the dialogs used last.
    QList<TWexoUsage> usage;
    try {
      usage = wexodm->OperationUsage();
    } catch (const EWexoStoreError &) {
      // Without the journal the search still finds everything, in menu order.
    }
    QHash<QString, int> counts;
    QStringList recent;
    QSet<QString> starred;
    for (const QString &key : JournalKeys())
      if (key.endsWith(QLatin1String("|*")))
        starred.insert(key.section(QLatin1Char('|'), 0, 0));
    for (const TWexoUsage &u : usage) {
      const QString key = starred.contains(u.Operation) ? u.Operation + QStringLiteral("|*")
                                                         : u.Operation + QLatin1Char('|') + u.Arguments;
      counts[key] += u.Count;
      if (!recent.contains(key))
        recent << key;
    }
    for (TQVNSuchEintrag &e : entries)
      e.Usage = counts.value(e.Key);
    if (!FSuche)
      FSuche = new TQVNSuche(this);
    FSuche->SetEntries(entries, recent);
    FSuche->Open(this);
  });
}
