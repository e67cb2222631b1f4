// Finding any dialog by typing: the search popup over every entry, area, task
// and quick entry, ranked by what this workstation uses.
#include "wexoentreefrm.h"

#include "components/actionlist.h"
#include "components/qvnsearch.h"
#include "framework/qvnguard.h"

#include <QHash>
#include <QSet>

namespace {
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

// Other names a clerk uses for an entry: searched like its title, never shown
// unless they were what matched ("auch: Lieferschein").
const QHash<QString, QStringList> &SearchKeywords() {
  static const QHash<QString, QStringList> keywords = {
      {"acWE_ScanUeb", {"Lieferschein", "DesAdv", "Lieferavis", "Scan"}},
      {"acWA_ArtikelBek", {"Warenannahme"}},
      {"acWT_ArtikelBek", {"Etikett", "Preisauszeichnung", "Etiketten drucken"}},
      {"acWT_HerstBek", {"Etikett", "Preisauszeichnung", "Etiketten drucken"}},
      {"acWT_Uebersicht", {"Etikett", "Preisauszeichnung"}},
      {"acWT_Liste", {"Etikett", "Preisauszeichnung"}},
      {"acWA_Barcode", {"Etikett", "Strichcode"}},
      {"acBelegUeberDokumentenNr", {"Dokumentennummer", "Belegnummer"}},
      {"acDI_Bestellungen", {"Bestellung", "Auftrag", "Order"}},
      {"acDiliste", {"Bestellvorschlag"}},
      {"acWEListe", {"Lieferung", "Wareneingang löschen"}},
      {"acAIInvZaehl", {"Inventur", "Zählliste"}},
      {"acGutschriftsanforderung", {"Reklamation", "Retoure"}},
      {"acBelastungsanzeige", {"Lastschrift", "Belastung"}},
      {"acRechnungskontrolle", {"Eingangsrechnung", "Lieferantenrechnung"}},
      {"acAIUebersicht", {"Bestand", "Lagerbestand"}},
      {"acEVA", {"Auswertung", "Statistik"}},
      {"acWaehrungen", {"Devisen", "Kurs"}},
      {"acThemenimport", {"Maskeneinstellungen"}},
      {"acFALC", {"Umlagerung"}},
      {"acFAER", {"Umlagerung"}},
  };
  return keywords;
}
} // namespace

namespace {
// An action's own text, where it names the entry otherwise than its caption
// ("EVA" for "Erweiterte Vergleichs-Analyse"), and its keywords.
QStringList KeywordsOf(const QAction *action, const QString &caption) {
  QStringList keywords = SearchKeywords().value(action->objectName());
  const QString text = QVNDisplayCaption(action->text());
  if (!text.isEmpty() && TQVNSuchFilter::Fold(text) != TQVNSuchFilter::Fold(caption))
    keywords.prepend(text);
  return keywords;
}
} // namespace

// Everything the user can run from here, in menu order: each menu entry with
// its area and sub-heading, the areas, the task rows, the commands of the
// title bar, and the quick entries. Refused entries are left out; entries the
// user hid come marked.
QList<TQVNSuchEintrag> TfrmWexoentree::SearchEntries() {
  return MenuSearchEntries() + QuickEntrySearchEntries().first;
}

// All but the quick entries: few, and made anew at each opening.
QList<TQVNSuchEintrag> TfrmWexoentree::MenuSearchEntries() {
  QList<TQVNSuchEintrag> entries;
  QSet<const QAction *> listed;
  TPnlButtonsColl *areas = btnpnStartMenu->Buttons();
  for (int a = 0; a < areas->Count(); ++a) {
    TPnlButtonsCollItem *area = areas->Items(a);
    const QString areaCaption = QVNDisplayCaption(area->BtnCaption());
    if (QAction *areaAction = area->BtnAction(); areaAction && areaAction->isEnabled()) {
      TQVNSuchEintrag e;
      e.Kind = QStringLiteral("Bereich ");
      e.Text = areaCaption;
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
    QString group;
    for (int j = 0; j < items->Count(); ++j) {
      TButtonsCollItem *item = items->Items(j);
      if (item->ButtonType() == btHeading) {
        // The menu's sub-heading tells twins apart; one that repeats the area says nothing new.
        group = QVNDisplayCaption(item->LeftCaption());
        if (group == areaCaption)
          group.clear();
        continue;
      }
      QAction *action = item->Button()->Action();
      // A refused entry's action is off and never listed.
      if (!action || !action->isEnabled())
        continue;
      TQVNSuchEintrag e;
      e.Text = QVNDisplayCaption(item->LeftCaption());
      e.Area = areaCaption;
      e.Group = group;
      e.Shortcut = item->RightCaption();
      e.Hidden = !item->Visible();
      e.Order = a * 100 + 1 + j;
      e.Key = JournalKeyOf(action);
      e.Keywords = KeywordsOf(action, e.Text);
      e.Run = [action] { action->trigger(); };
      entries << e;
      listed.insert(action);
    }
  }
  for (int r = 0; r < vstAufgaben->RootNodeCount(); ++r) {
    const TStringList *row = vstAufgaben->GetNodeData(r);
    if (!row || row->Count() < 4)
      continue;
    TQVNSuchEintrag e;
    e.Kind = QStringLiteral("Aufgabe: ");
    e.Text = QStringLiteral("%1 (%2)").arg(row->Strings.at(0), row->Strings.at(1));
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
  const QString settings = QStringLiteral("Einstellungen");
  int order = 3000;
  // The title bar's commands, where no menu lists them already.
  for (QAction *command : {acMandant, acFALC, acThemenimport, acFensteranordnungZuruecksetzen}) {
    if (listed.contains(command) || !command->isVisible() || !command->isEnabled())
      continue;
    TQVNSuchEintrag e;
    e.Text = QVNDisplayCaption(command->text());
    e.Area = settings;
    e.Order = order++;
    e.Key = JournalKeyOf(command);
    e.Keywords = SearchKeywords().value(command->objectName());
    e.Run = [command] { command->trigger(); };
    entries << e;
  }
  return entries;
}

// The quick entries as search entries with their preparation, made anew only
// when the quick entries changed (or a refusal of one of their dialogs did):
// they may be thousands.
const std::pair<QList<TQVNSuchEintrag>, QList<TQVNSuchFilter::TPrepared>> &TfrmWexoentree::QuickEntrySearchEntries() {
  if (FSearchQuickEntriesStamp == FSchnellEinstiegeStamp)
    return FSearchQuickEntries;
  QList<TQVNSuchEintrag> entries;
  entries.reserve(FSchnellEinstiege.size());
  for (qsizetype i = 0; i < FSchnellEinstiege.size(); ++i) {
    const TContextSatz &entry = FSchnellEinstiege.at(i);
    if (FSchnellEinstiegeRefused.value(i))
      continue;
    TQVNSuchEintrag e;
    e.Kind = QStringLiteral("Schnelleinstieg: ");
    e.Text = entry.Name;
    e.Order = 2000 + int(i);
    e.Key = QStringLiteral("SchnellEinstiegExecute|") + entry.Name;
    // As from its view: its cell gets the focus, then the run command.
    e.Run = [this, id = entry.Id] {
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
  FSearchQuickEntries = {entries, TQVNSuchFilter::Prepare(entries)};
  FSearchQuickEntriesStamp = FSchnellEinstiegeStamp;
  return FSearchQuickEntries;
}

void TfrmWexoentree::acSuchenExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSuchenExecute"), [&] {
    // The menus, tasks and commands are few and made anew; the quick entries come prepared.
    QList<TQVNSuchEintrag> entries = MenuSearchEntries();
    const QList<TQVNSuchFilter::TPrepared> prepared = TQVNSuchFilter::Prepare(entries) + QuickEntrySearchEntries().second;
    entries += QuickEntrySearchEntries().first;
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
    for (const TQVNSuchEintrag &e : entries)
      if (e.Key.endsWith(QLatin1String("|*")))
        starred.insert(e.Key.section(QLatin1Char('|'), 0, 0));
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
    FSuche->SetEntries(entries, prepared, recent);
    FSuche->Open(this);
  });
}
