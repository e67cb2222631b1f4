// The actions that open the business dialogs of the module.
#include "wexoentreefrm.h"

#include "framework/qvnguard.h"

#include <QMenu>
#include <QShortcut>

#include "components/qvnstdcontrols.h"
#include "framework/qvnmessage.h"

// Hides the window for the call and shows it again in every case; showing
// runs the show handling, which refreshes everything the window presents. The
// control that ran the dialog gets the focus back, scrolled into view.
void TfrmWexoentree::RunHidden(const std::function<void()> &operation) {
  const QPointer<QWidget> focus = focusWidget();
  auto showAgain = [&] {
    show();
    if (focus && focus->window() == this && focus->isVisibleTo(this)) {
      focus->setFocus(Qt::OtherFocusReason);
      if (auto *button = qobject_cast<TButtonsBtn *>(focus.data()))
        if (auto *menu = qobject_cast<TButtons *>(button->parentWidget()))
          menu->EnsureVisible(button->Index());
    }
  };
  hide();
  try {
    operation();
  } catch (...) {
    showAgain();
    throw;
  }
  showAgain();
}

// The place a launch action's failure is reported under: its handler.
static QString HandlerPlace(const QAction *action) {
  const QString name = action->objectName();
  if (name == QLatin1String("acWEHerstBekVorgabe"))
    return QStringLiteral("TfrmWexoentree.acWEHerstBekanntVorgabeExecute");
  if (name == QLatin1String("acDiHerstBekVorgabe"))
    return QStringLiteral("TfrmWexoentree.acDIHerstBekVorgabeExecute");
  if (name == QLatin1String("acSBVorlagenliste"))
    return QStringLiteral("TfrmWexoentree.acSBVorlagenListeExecute");
  return QStringLiteral("TfrmWexoentree.") + name + QStringLiteral("Execute");
}

// Painting, the cursor and the layout steps report to the log only: the user asked for none of them.
void TfrmWexoentree::RegisterQuietPlaces() {
  TQVNMessages *messages = QVNMessages();
  for (const char *quiet : {"TfrmWexoentree.FormActivate", "TfrmWexoentree.acFormRebuild",
                            "TfrmWexoentree.FormResize", "TfrmWexoentree.tshStartCommonResize",
                            "TfrmWexoentree.pnlStartFrameInnerResize", "TfrmWexoentree.vtSchnellEinstiegViewResize",
                            "TfrmWexoentree.vstAufgabenBeforeCellPaint", "TfrmWexoentree.vstAufgabenGetImageIndex",
                            "TfrmWexoentree.vstAufgabenGetCursor", "TfrmWexoentree.vtSchnellEinstiegViewGetCursor",
                            "TfrmWexoentree.tshSBShow", "TfrmWexoentree.tshDIShow", "TfrmWexoentree.tshWAShow",
                            "TfrmWexoentree.tshWEShow", "TfrmWexoentree.tshArtinfoShow", "TfrmWexoentree.tshFIShow",
                            "TfrmWexoentree.tshStatistikenShow", "TfrmWexoentree.tshRechnungenShow",
                            "TfrmWexoentree.tshOptionenShow",
                            "TfrmWexoentree.GetTabSheetInfos", "TfrmWexoentree.VerticalControlsAdjust",
                            "TfrmWexoentree.HorCenterButtons", "TfrmWexoentree.HorCenterCtrl",
                            "TfrmWexoentree.ResizeLblText", "TfrmWexoentree.HorCenterImageLeft",
                            "TfrmWexoentree.HorCenterImageRight", "TfrmWexoentree.SetColWidthSEView",
                            "TfrmWexoentree.New_spbColCount_Image", "TfrmWexoentree.ShowStoreState",
                            "TfrmWexoentree.aqDockingManager1CloseQuery"})
    messages->SetQuiet(QString::fromLatin1(quiet));
}

// A failure tells the user what could not be done, in the words of the menu.
void TfrmWexoentree::RegisterFailureTexts() {
  TQVNMessages *messages = QVNMessages();
  const QString dialog = QStringLiteral("Der Dialog „%1“ konnte nicht geöffnet werden");
  for (TButtons *menu : {btnMoreSB, btnsMoreDI, btnMoreWA, btnsMoreWE, btnsMoreArtinfo, btnsMoreFI, btnMoreStatistiken,
                         btnsMoreRK, btnsMoreOptionen})
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      TButtonsCollItem *item = menu->Items()->Items(i);
      if (QAction *action = item->Button()->Action())
        messages->SetWhat(HandlerPlace(action), dialog.arg(QVNDisplayCaption(item->LeftCaption())));
    }
  TPnlButtonsColl *areas = btnpnStartMenu->Buttons();
  for (int i = 0; i < areas->Count(); ++i)
    if (QAction *action = areas->Items(i)->BtnAction())
      messages->SetWhat(HandlerPlace(action), QStringLiteral("Der Bereich „%1“ konnte nicht angezeigt werden")
                                                  .arg(QVNDisplayCaption(areas->Items(i)->BtnCaption())));
  for (QAction *action : {acMandant, acFALC, acThemenimport})
    messages->SetWhat(HandlerPlace(action), dialog.arg(QVNDisplayCaption(action->text())));
  messages->SetWhat(QStringLiteral("TfrmWexoentree.acESichtMenuExecute"),
                    QStringLiteral("Die sichtbaren Menüpunkte konnten nicht gespeichert werden"));
  messages->SetWhat(QStringLiteral("TfrmWexoentree.acFensteranordnungZuruecksetzenExecute"),
                    QStringLiteral("Die Fensteranordnung konnte nicht zurückgesetzt werden"));
  messages->SetWhat(QStringLiteral("TfrmWexoentree.LoadSchnellEinstiege"),
                    QStringLiteral("Die Schnelleinstiege konnten nicht geladen werden"));
  messages->SetWhat(QStringLiteral("TfrmWexoentree.LoadAufgaben"),
                    QStringLiteral("Die Aufgabenliste konnte nicht aufgebaut werden"));
  messages->SetWhat(QStringLiteral("TfrmWexoentree.RefreshData"),
                    QStringLiteral("Die Anzeige konnte nicht aufgefrischt werden"));
}

namespace {
// How an action's dialog is opened: with the window hidden for the call, in
// front of the window, or by a handler of its own that needs more than a name.
enum class TLaunchKind { Hidden, InPlace, Own };
struct TLaunchTarget {
  QString Operation;
  QString Arguments; // as the journal holds them
  TLaunchKind Kind;
};
// Every action that opens a dialog of the data module, with the operation and
// arguments it opens. The handlers run through it and the search finds what a
// journal row means through it, so there is no second list to keep.
const QHash<QString, TLaunchTarget> &LaunchTargets() {
  static const QHash<QString, TLaunchTarget> targets = {
      {"acSBArtNrBekannt", {"SBArtikelBekannt", "", TLaunchKind::Hidden}},
      {"acSBHerstBekannt", {"SB_LoH_Bekannt", "false,false", TLaunchKind::Hidden}},
      {"acSBHerstBekanntVorgabe", {"SB_LoH_Bekannt", "false,true", TLaunchKind::Hidden}},
      {"acSBLiefBekannt", {"SB_LoH_Bekannt", "true,false", TLaunchKind::Hidden}},
      {"acSBLiefBekanntVorgabe", {"SB_LoH_Bekannt", "true,true", TLaunchKind::Hidden}},
      {"acSBVorlagenliste", {"SBVorlagenListe", "", TLaunchKind::Hidden}},
      {"acSBUebersicht", {"SBUebersicht", "", TLaunchKind::Hidden}},
      {"acSBStammNachLief", {"StammNachLieferant", "1", TLaunchKind::Hidden}},
      {"acSBStammSuchen", {"StammSuchen", "1", TLaunchKind::Hidden}},
      {"acDIArtNrBek", {"DIArtikelBekannt", "", TLaunchKind::Hidden}},
      {"acDIHerstBek", {"DIHerstellerBekannt", "false", TLaunchKind::Hidden}},
      {"acDiHerstBekVorgabe", {"DIHerstellerBekannt", "true", TLaunchKind::Hidden}},
      {"acDILiefbek", {"DILieferantBekannt", "false", TLaunchKind::Hidden}},
      {"acDILiefBekVorgabe", {"DILieferantBekannt", "true", TLaunchKind::Hidden}},
      {"acDIUebersicht", {"DIUebersicht", "", TLaunchKind::Hidden}},
      {"acDIStammNachLieferant", {"StammNachLieferant", "2", TLaunchKind::Hidden}},
      {"acDIStammSuchen", {"StammSuchen", "2", TLaunchKind::Hidden}},
      {"acDiliste", {"DIDispositionenliste", "false", TLaunchKind::Hidden}},
      {"acDI_OffeneAuftraege", {"DIDispositionenliste", "true", TLaunchKind::Hidden}},
      {"acDI_AuftrNrBekannt", {"DIAuftrNrBekannt", "", TLaunchKind::Hidden}},
      {"acDI_Bestellungen", {"ORDERUebersicht", "", TLaunchKind::Hidden}},
      {"acWA_ArtikelBek", {"WAArtikelBekannt", "", TLaunchKind::Hidden}},
      {"acWA_HerstBek", {"WAHerstellerBekannt", "", TLaunchKind::Hidden}},
      {"acWA_Uebersicht", {"WAUebersicht", "", TLaunchKind::Hidden}},
      {"acWA_Liste", {"WAListe", "", TLaunchKind::Hidden}},
      {"acWA_AuftragsNrBekannt", {"WAAuftrNrBekannt", "", TLaunchKind::Hidden}},
      {"acWT_ArtikelBek", {"WTArtikelBekannt", "", TLaunchKind::Hidden}},
      {"acWT_HerstBek", {"WTHerstellerBekannt", "", TLaunchKind::Hidden}},
      {"acWT_Uebersicht", {"WTUebersicht", "", TLaunchKind::Hidden}},
      {"acWT_Liste", {"WTListe", "", TLaunchKind::Hidden}},
      {"acWA_Barcode", {"WTVorgIdBekannt", "", TLaunchKind::Hidden}},
      {"acWEArtNrBekannt", {"WEArtikelBekannt", "false", TLaunchKind::Hidden}},
      {"acWEKorrVorgID", {"WEVorgIdBekannt", "", TLaunchKind::Hidden}},
      {"acWEHerstBekannt", {"WEHerstellerBekannt", "false", TLaunchKind::Hidden}},
      {"acWEAuftragsNrBekannt", {"WEAuftragsNrBekannt", "", TLaunchKind::Hidden}},
      {"acWEHerstBekVorgabe", {"WEHerstellerBekannt", "true", TLaunchKind::Hidden}},
      {"acWELiefBekannt", {"WELieferantBekannt", "false", TLaunchKind::Hidden}},
      {"acWELiefBekanntVorgabe", {"WELieferantBekannt", "true", TLaunchKind::Hidden}},
      {"acWEUebersicht", {"WEUebersicht", "", TLaunchKind::Hidden}},
      {"acWEStammNachLieferant", {"StammNachLieferant", "3", TLaunchKind::Hidden}},
      {"acWEStammSuchen", {"StammSuchen", "3", TLaunchKind::Hidden}},
      {"acWEListe", {"WEListe", "", TLaunchKind::Hidden}},
      {"acWE_ScanUeb", {"LieferungUebersicht", "[],false", TLaunchKind::Hidden}},
      {"acWESammelartikel", {"WEArtikelBekannt", "true", TLaunchKind::Hidden}},
      {"acAIUebersicht", {"ArtinfoUebersicht", "", TLaunchKind::Hidden}},
      {"acAIArtNrBek", {"ArtinfoArtikelBekannt", "", TLaunchKind::Hidden}},
      {"acAIAllgBew", {"ArtinfoAllgBewListe", "", TLaunchKind::Hidden}},
      {"acAIInvZaehl", {"ArtinfoInventurzaehlung", "", TLaunchKind::Hidden}},
      {"acAIKata2Wexo", {"ArtinfoKata2Wexo", "", TLaunchKind::Hidden}},
      {"acAISSC2Wexo", {"ArtinfoSSC2Wexo", "", TLaunchKind::Hidden}},
      {"acAIBez_Herst_ArtNr", {"ArtinfoBez_Herst_ArtNr", "", TLaunchKind::Hidden}},
      {"acFAER", {"FAEinzelRM", "", TLaunchKind::Hidden}},
      {"acFAArtNrBekannt", {"FAArtikelBekannt", "", TLaunchKind::Hidden}},
      {"acFALC", {"FAListeCreate", "", TLaunchKind::Hidden}},
      {"acSavedSelections", {"Stat_SavedSelections", "", TLaunchKind::Hidden}},
      {"acEVA", {"Stat_EVA", "", TLaunchKind::Hidden}},
      {"acRechnungskontrolle", {"Rechnungskontrolle", "", TLaunchKind::Hidden}},
      {"acRechnungBearbeiten", {"RechnungBearbeiten", "", TLaunchKind::Hidden}},
      {"acGutschriftsanforderung", {"Gutschriftsanforderung", "0:0,0:0,false,false", TLaunchKind::Hidden}},
      {"acGutschriftsanforderungBearbeiten", {"GutschriftsanforderungBearbeiten", "", TLaunchKind::Hidden}},
      {"acGutschriftsKontrolle", {"Gutschriftskontrolle", "", TLaunchKind::Hidden}},
      {"acBelastungsanzeige", {"Belastungsanzeige", "", TLaunchKind::Hidden}},
      {"acGutschriftBearbeiten", {"GutschriftBearbeiten", "", TLaunchKind::Hidden}},
      {"acEWABearbeiten", {"EWABearbeiten", "", TLaunchKind::Hidden}},
      {"acBelegUeberDokumentenNr", {"BelegUeberDokumentenNr", "", TLaunchKind::Hidden}},
      {"acQuerfakturaNachdrucken", {"QuerfakturaNachdrucken", "", TLaunchKind::Hidden}},
      {"acZeitraeume", {"ZeitRaumAbfrage", "true", TLaunchKind::InPlace}},
      {"acGeneralOptions", {"GeneralOptions", "", TLaunchKind::InPlace}},
      {"acLayoutCopy", {"LayoutCopy", "", TLaunchKind::Hidden}},
      {"acThemenimport", {"Import_Maskeneinstellungen", "", TLaunchKind::Hidden}},
      {"acMandant", {"MandantEinstellen", "", TLaunchKind::Hidden}},
      {"acWaehrungen", {"WaehrungenWaehlen", "", TLaunchKind::InPlace}},
      {"acESichtMenu", {"OptionenSichtbareMenuepunkte", "*", TLaunchKind::Own}},
  };
  return targets;
}
} // namespace

QString TfrmWexoentree::JournalKeyOf(const QAction *action) const {
  if (!action)
    return QString();
  const auto it = LaunchTargets().constFind(action->objectName());
  return it == LaunchTargets().cend() ? QString() : it->Operation + QLatin1Char('|') + it->Arguments;
}

void TfrmWexoentree::Launch(const QAction *action) {
  const TLaunchTarget &target = LaunchTargets()[action->objectName()];
  Q_ASSERT(target.Kind != TLaunchKind::Own);
  const auto run = [&] { wexodm->Run(target.Operation, target.Arguments); };
  if (target.Kind == TLaunchKind::Hidden)
    LaunchPattern(HandlerPlace(action), run);
  else
    QVNGuard(HandlerPlace(action), run);
}

void TfrmWexoentree::LaunchPattern(const QString &where, const std::function<void()> &operation) {
  QVNGuard(where, [&] { RunHidden(operation); });
}

void TfrmWexoentree::acSBArtNrBekanntExecute() { Launch(acSBArtNrBekannt); }

void TfrmWexoentree::acSBHerstBekanntExecute() { Launch(acSBHerstBekannt); }

void TfrmWexoentree::acSBHerstBekanntVorgabeExecute() { Launch(acSBHerstBekanntVorgabe); }

void TfrmWexoentree::acSBLiefBekanntExecute() { Launch(acSBLiefBekannt); }

void TfrmWexoentree::acSBLiefBekanntVorgabeExecute() { Launch(acSBLiefBekanntVorgabe); }

void TfrmWexoentree::acSBVorlagenListeExecute() { Launch(acSBVorlagenliste); }

void TfrmWexoentree::acSBUebersichtExecute() { Launch(acSBUebersicht); }

void TfrmWexoentree::acSBStammNachLiefExecute() { Launch(acSBStammNachLief); }

void TfrmWexoentree::acSBStammSuchenExecute() { Launch(acSBStammSuchen); }

void TfrmWexoentree::acDIArtNrBekExecute() { Launch(acDIArtNrBek); }

void TfrmWexoentree::acDIHerstBekExecute() { Launch(acDIHerstBek); }

void TfrmWexoentree::acDIHerstBekVorgabeExecute() { Launch(acDiHerstBekVorgabe); }

void TfrmWexoentree::acDILiefbekExecute() { Launch(acDILiefbek); }

void TfrmWexoentree::acDILiefBekVorgabeExecute() { Launch(acDILiefBekVorgabe); }

void TfrmWexoentree::acDIUebersichtExecute() { Launch(acDIUebersicht); }

void TfrmWexoentree::acDIStammNachLieferantExecute() { Launch(acDIStammNachLieferant); }

void TfrmWexoentree::acDIStammSuchenExecute() { Launch(acDIStammSuchen); }

void TfrmWexoentree::acDilisteExecute() { Launch(acDiliste); }

void TfrmWexoentree::acDI_OffeneAuftraegeExecute() { Launch(acDI_OffeneAuftraege); }

void TfrmWexoentree::acDI_AuftrNrBekanntExecute() { Launch(acDI_AuftrNrBekannt); }

void TfrmWexoentree::acDI_BestellungenExecute() { Launch(acDI_Bestellungen); }

void TfrmWexoentree::acWA_ArtikelBekExecute() { Launch(acWA_ArtikelBek); }

void TfrmWexoentree::acWA_HerstBekExecute() { Launch(acWA_HerstBek); }

void TfrmWexoentree::acWA_UebersichtExecute() { Launch(acWA_Uebersicht); }

void TfrmWexoentree::acWA_ListeExecute() { Launch(acWA_Liste); }

void TfrmWexoentree::acWA_AuftragsNrBekanntExecute() { Launch(acWA_AuftragsNrBekannt); }

void TfrmWexoentree::acWT_ArtikelBekExecute() { Launch(acWT_ArtikelBek); }

void TfrmWexoentree::acWT_HerstBekExecute() { Launch(acWT_HerstBek); }

void TfrmWexoentree::acWT_UebersichtExecute() { Launch(acWT_Uebersicht); }

void TfrmWexoentree::acWT_ListeExecute() { Launch(acWT_Liste); }

void TfrmWexoentree::acWA_BarcodeExecute() { Launch(acWA_Barcode); }

void TfrmWexoentree::acWEArtNrBekanntExecute() { Launch(acWEArtNrBekannt); }

void TfrmWexoentree::acWEKorrVorgIDExecute() { Launch(acWEKorrVorgID); }

void TfrmWexoentree::acWEHerstBekanntExecute() { Launch(acWEHerstBekannt); }

void TfrmWexoentree::acWEAuftragsNrBekanntExecute() { Launch(acWEAuftragsNrBekannt); }

void TfrmWexoentree::acWEHerstBekanntVorgabeExecute() { Launch(acWEHerstBekVorgabe); }

void TfrmWexoentree::acWELiefBekanntExecute() { Launch(acWELiefBekannt); }

void TfrmWexoentree::acWELiefBekanntVorgabeExecute() { Launch(acWELiefBekanntVorgabe); }

void TfrmWexoentree::acWEUebersichtExecute() { Launch(acWEUebersicht); }

void TfrmWexoentree::acWEStammNachLieferantExecute() { Launch(acWEStammNachLieferant); }

void TfrmWexoentree::acWEStammSuchenExecute() { Launch(acWEStammSuchen); }

void TfrmWexoentree::acWEListeExecute() { Launch(acWEListe); }

void TfrmWexoentree::acWE_ScanUebExecute() { Launch(acWE_ScanUeb); }

void TfrmWexoentree::acWESammelartikelExecute() { Launch(acWESammelartikel); }

void TfrmWexoentree::acAIUebersichtExecute() { Launch(acAIUebersicht); }

void TfrmWexoentree::acAIArtNrBekExecute() { Launch(acAIArtNrBek); }

void TfrmWexoentree::acAIAllgBewExecute() { Launch(acAIAllgBew); }

void TfrmWexoentree::acAIInvZaehlExecute() { Launch(acAIInvZaehl); }

void TfrmWexoentree::acAIKata2WexoExecute() { Launch(acAIKata2Wexo); }

void TfrmWexoentree::acAISSC2WexoExecute() { Launch(acAISSC2Wexo); }

void TfrmWexoentree::acAIBez_Herst_ArtNrExecute() { Launch(acAIBez_Herst_ArtNr); }

void TfrmWexoentree::acFAERExecute() { Launch(acFAER); }

void TfrmWexoentree::acFAArtNrBekanntExecute() { Launch(acFAArtNrBekannt); }

void TfrmWexoentree::acFALCExecute() { Launch(acFALC); }

void TfrmWexoentree::acSavedSelectionsExecute() { Launch(acSavedSelections); }

void TfrmWexoentree::acEVAExecute() { Launch(acEVA); }

void TfrmWexoentree::acRechnungskontrolleExecute() { Launch(acRechnungskontrolle); }

void TfrmWexoentree::acRechnungBearbeitenExecute() { Launch(acRechnungBearbeiten); }

void TfrmWexoentree::acGutschriftsanforderungExecute() { Launch(acGutschriftsanforderung); }

void TfrmWexoentree::acGutschriftsanforderungBearbeitenExecute() { Launch(acGutschriftsanforderungBearbeiten); }

void TfrmWexoentree::acGutschriftsKontrolleExecute() { Launch(acGutschriftsKontrolle); }

void TfrmWexoentree::acBelastungsanzeigeExecute() { Launch(acBelastungsanzeige); }

void TfrmWexoentree::acGutschriftBearbeitenExecute() { Launch(acGutschriftBearbeiten); }

void TfrmWexoentree::acEWABearbeitenExecute() { Launch(acEWABearbeiten); }

void TfrmWexoentree::acBelegUeberDokumentenNrExecute() { Launch(acBelegUeberDokumentenNr); }

void TfrmWexoentree::acQuerfakturaNachdruckenExecute() { Launch(acQuerfakturaNachdrucken); }

void TfrmWexoentree::acLayoutCopyExecute() { Launch(acLayoutCopy); }

void TfrmWexoentree::acThemenimportExecute() { Launch(acThemenimport); }

void TfrmWexoentree::acMandantExecute() { Launch(acMandant); }

void TfrmWexoentree::acZeitraeumeExecute() { Launch(acZeitraeume); }

void TfrmWexoentree::acGeneralOptionsExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acGeneralOptionsExecute"), [&] {
    wexodm->Run(QStringLiteral("GeneralOptions"), QString());
    // The visible page applies the options anew through its show handler.
    using ShowHandler = void (TfrmWexoentree::*)(QObject *);
    const std::pair<TTabSheet *, ShowHandler> handlers[] = {
        {tshWE, &TfrmWexoentree::tshWEShow},         {tshDI, &TfrmWexoentree::tshDIShow},
        {tshArtinfo, &TfrmWexoentree::tshArtinfoShow}, {tshFI, &TfrmWexoentree::tshFIShow},
        {tshOptionen, &TfrmWexoentree::tshOptionenShow}, {tshRechnungen, &TfrmWexoentree::tshRechnungenShow},
        {tshStatistiken, &TfrmWexoentree::tshStatistikenShow}, {tshSB, &TfrmWexoentree::tshSBShow},
        {tshWA, &TfrmWexoentree::tshWAShow}};
    TTabSheet *page = pgcStartMain->ActivePage();
    for (const auto &[sheet, handler] : handlers)
      if (page && sheet == page)
        (this->*handler)(page);
  });
}

// Actions without a menu button are offered in the window's context menu of
// the title bar, where a user looks for program-wide commands.
void TfrmWexoentree::InstallSystemMenuActions() {
  for (QWidget *bar : {static_cast<QWidget *>(pnlAppTitle), static_cast<QWidget *>(pnlAppTitleFiller)}) {
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, this,
            [this, bar](const QPoint &pos) { ShowSystemMenu(bar->mapToGlobal(pos)); });
  }
  // The context-menu key and Shift+F10 open the menu of the panel in focus:
  // the quick entries' own, elsewhere the title bar's.
  for (const QKeySequence &key : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
    auto *shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, &TfrmWexoentree::OpenContextMenuByKey);
  }
}

void TfrmWexoentree::ShowSystemMenu(const QPoint &globalPos) {
  QMenu menu(this);
  menu.addAction(acMandant);
  menu.addAction(acFALC);
  menu.addAction(acThemenimport);
  menu.addSeparator();
  menu.addAction(acFensteranordnungZuruecksetzen);
  menu.exec(globalPos);
}

void TfrmWexoentree::OpenContextMenuByKey() {
  QWidget *focus = focusWidget();
  TVTStringList *list = vtSchnellEinstiegView;
  if (focus && (focus == list || list->isAncestorOf(focus)) && list->PopupMenu()) {
    const QRect item = list->visualRect(list->currentIndex());
    const QPoint at = item.isValid() ? item.bottomLeft() : QPoint(0, 0);
    list->PopupMenu()->exec(list->viewport()->mapToGlobal(at));
    return;
  }
  ShowSystemMenu(pnlAppTitle->mapToGlobal(QPoint(0, pnlAppTitle->height())));
}
