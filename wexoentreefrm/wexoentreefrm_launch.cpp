// The actions that open the business dialogs of the module.
#include "wexoentreefrm.h"

#include "framework/qvnguard.h"

#include <QMenu>

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

void TfrmWexoentree::LaunchPattern(const QString &where, const std::function<void()> &operation) {
  QVNGuard(where, [&] { RunHidden(operation); });
}

void TfrmWexoentree::acSBArtNrBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBArtNrBekanntExecute"), [] { wexodm->SBArtikelBekannt(); });
}

void TfrmWexoentree::acSBHerstBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBHerstBekanntExecute"), [] { wexodm->SB_LoH_Bekannt(false, false); });
}

void TfrmWexoentree::acSBHerstBekanntVorgabeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBHerstBekanntVorgabeExecute"), [] { wexodm->SB_LoH_Bekannt(false, true); });
}

void TfrmWexoentree::acSBLiefBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBLiefBekanntExecute"), [] { wexodm->SB_LoH_Bekannt(true, false); });
}

void TfrmWexoentree::acSBLiefBekanntVorgabeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBLiefBekanntVorgabeExecute"), [] { wexodm->SB_LoH_Bekannt(true, true); });
}

void TfrmWexoentree::acSBVorlagenListeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBVorlagenListeExecute"), [] { wexodm->SBVorlagenListe(); });
}

void TfrmWexoentree::acSBUebersichtExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBUebersichtExecute"), [] { wexodm->SBUebersicht(); });
}

void TfrmWexoentree::acSBStammNachLiefExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBStammNachLiefExecute"), [] { wexodm->StammNachLieferant(kacVorlagen); });
}

void TfrmWexoentree::acSBStammSuchenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSBStammSuchenExecute"), [] { wexodm->StammSuchen(kacVorlagen); });
}

void TfrmWexoentree::acDIArtNrBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDIArtNrBekExecute"), [] { wexodm->DIArtikelBekannt(); });
}

void TfrmWexoentree::acDIHerstBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDIHerstBekExecute"), [] { wexodm->DIHerstellerBekannt(false); });
}

void TfrmWexoentree::acDIHerstBekVorgabeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDIHerstBekVorgabeExecute"), [] { wexodm->DIHerstellerBekannt(true); });
}

void TfrmWexoentree::acDILiefbekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDILiefbekExecute"), [] { wexodm->DILieferantBekannt(false); });
}

void TfrmWexoentree::acDILiefBekVorgabeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDILiefBekVorgabeExecute"), [] { wexodm->DILieferantBekannt(true); });
}

void TfrmWexoentree::acDIUebersichtExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDIUebersichtExecute"), [] { wexodm->DIUebersicht(); });
}

void TfrmWexoentree::acDIStammNachLieferantExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDIStammNachLieferantExecute"), [] { wexodm->StammNachLieferant(kacDisposition); });
}

void TfrmWexoentree::acDIStammSuchenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDIStammSuchenExecute"), [] { wexodm->StammSuchen(kacDisposition); });
}

void TfrmWexoentree::acDilisteExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDilisteExecute"), [] { wexodm->DIDispositionenliste(false); });
}

void TfrmWexoentree::acDI_OffeneAuftraegeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDI_OffeneAuftraegeExecute"), [] { wexodm->DIDispositionenliste(true); });
}

void TfrmWexoentree::acDI_AuftrNrBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDI_AuftrNrBekanntExecute"), [] { wexodm->DIAuftrNrBekannt(); });
}

void TfrmWexoentree::acDI_BestellungenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acDI_BestellungenExecute"), [] { wexodm->ORDERUebersicht(); });
}

void TfrmWexoentree::acWA_ArtikelBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWA_ArtikelBekExecute"), [] { wexodm->WAArtikelBekannt(); });
}

void TfrmWexoentree::acWA_HerstBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWA_HerstBekExecute"), [] { wexodm->WAHerstellerBekannt(); });
}

void TfrmWexoentree::acWA_UebersichtExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWA_UebersichtExecute"), [] { wexodm->WAUebersicht(); });
}

void TfrmWexoentree::acWA_ListeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWA_ListeExecute"), [] { wexodm->WAListe(); });
}

void TfrmWexoentree::acWA_AuftragsNrBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWA_AuftragsNrBekanntExecute"), [] { wexodm->WAAuftrNrBekannt(); });
}

void TfrmWexoentree::acWT_ArtikelBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWT_ArtikelBekExecute"), [] { wexodm->WTArtikelBekannt(); });
}

void TfrmWexoentree::acWT_HerstBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWT_HerstBekExecute"), [] { wexodm->WTHerstellerBekannt(); });
}

void TfrmWexoentree::acWT_UebersichtExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWT_UebersichtExecute"), [] { wexodm->WTUebersicht(); });
}

void TfrmWexoentree::acWT_ListeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWT_ListeExecute"), [] { wexodm->WTListe(); });
}

void TfrmWexoentree::acWA_BarcodeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWA_BarcodeExecute"), [] { wexodm->WTVorgIdBekannt(); });
}

void TfrmWexoentree::acWEArtNrBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEArtNrBekanntExecute"), [] { wexodm->WEArtikelBekannt(false); });
}

void TfrmWexoentree::acWEKorrVorgIDExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEKorrVorgIDExecute"), [] { wexodm->WEVorgIdBekannt(); });
}

void TfrmWexoentree::acWEHerstBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEHerstBekanntExecute"), [] { wexodm->WEHerstellerBekannt(false); });
}

void TfrmWexoentree::acWEAuftragsNrBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEAuftragsNrBekanntExecute"), [] { wexodm->WEAuftragsNrBekannt(); });
}

void TfrmWexoentree::acWEHerstBekanntVorgabeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEHerstBekanntVorgabeExecute"), [] { wexodm->WEHerstellerBekannt(true); });
}

void TfrmWexoentree::acWELiefBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWELiefBekanntExecute"), [] { wexodm->WELieferantBekannt(false); });
}

void TfrmWexoentree::acWELiefBekanntVorgabeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWELiefBekanntVorgabeExecute"), [] { wexodm->WELieferantBekannt(true); });
}

void TfrmWexoentree::acWEUebersichtExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEUebersichtExecute"), [] { wexodm->WEUebersicht(); });
}

void TfrmWexoentree::acWEStammNachLieferantExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEStammNachLieferantExecute"), [] { wexodm->StammNachLieferant(kacWareneingang); });
}

void TfrmWexoentree::acWEStammSuchenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEStammSuchenExecute"), [] { wexodm->StammSuchen(kacWareneingang); });
}

void TfrmWexoentree::acWEListeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWEListeExecute"), [] { wexodm->WEListe(); });
}

void TfrmWexoentree::acWE_ScanUebExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWE_ScanUebExecute"), [] { wexodm->LieferungUebersicht(TSCANSelectRecs(), false); });
}

void TfrmWexoentree::acWESammelartikelExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acWESammelartikelExecute"), [] { wexodm->WEArtikelBekannt(true); });
}

void TfrmWexoentree::acAIUebersichtExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAIUebersichtExecute"), [] { wexodm->ArtinfoUebersicht(); });
}

void TfrmWexoentree::acAIArtNrBekExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAIArtNrBekExecute"), [] { wexodm->ArtinfoArtikelBekannt(); });
}

void TfrmWexoentree::acAIAllgBewExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAIAllgBewExecute"), [] { wexodm->ArtinfoAllgBewListe(); });
}

void TfrmWexoentree::acAIInvZaehlExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAIInvZaehlExecute"), [] { wexodm->ArtinfoInventurzaehlung(); });
}

void TfrmWexoentree::acAIKata2WexoExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAIKata2WexoExecute"), [] { wexodm->ArtinfoKata2Wexo(); });
}

void TfrmWexoentree::acAISSC2WexoExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAISSC2WexoExecute"), [] { wexodm->ArtinfoSSC2Wexo(); });
}

void TfrmWexoentree::acAIBez_Herst_ArtNrExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acAIBez_Herst_ArtNrExecute"), [] { wexodm->ArtinfoBez_Herst_ArtNr(); });
}

void TfrmWexoentree::acFAERExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acFAERExecute"), [] { wexodm->FAEinzelRM(); });
}

void TfrmWexoentree::acFAArtNrBekanntExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acFAArtNrBekanntExecute"), [] { wexodm->FAArtikelBekannt(); });
}

void TfrmWexoentree::acFALCExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acFALCExecute"), [] { wexodm->FAListeCreate(); });
}

void TfrmWexoentree::acSavedSelectionsExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acSavedSelectionsExecute"), [] { wexodm->Stat_SavedSelections(); });
}

void TfrmWexoentree::acEVAExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acEVAExecute"), [] { wexodm->Stat_EVA(); });
}

void TfrmWexoentree::acRechnungskontrolleExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acRechnungskontrolleExecute"), [] { wexodm->Rechnungskontrolle(); });
}

void TfrmWexoentree::acRechnungBearbeitenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acRechnungBearbeitenExecute"), [] { wexodm->RechnungBearbeiten(); });
}

void TfrmWexoentree::acGutschriftsanforderungExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acGutschriftsanforderungExecute"), [] { wexodm->Gutschriftsanforderung(CLeeresIntPair, CLeeresIntPair, false, false); });
}

void TfrmWexoentree::acGutschriftsanforderungBearbeitenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acGutschriftsanforderungBearbeitenExecute"), [] { wexodm->GutschriftsanforderungBearbeiten(); });
}

void TfrmWexoentree::acGutschriftsKontrolleExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acGutschriftsKontrolleExecute"), [] { wexodm->Gutschriftskontrolle(); });
}

void TfrmWexoentree::acBelastungsanzeigeExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acBelastungsanzeigeExecute"), [] { wexodm->Belastungsanzeige(); });
}

void TfrmWexoentree::acGutschriftBearbeitenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acGutschriftBearbeitenExecute"), [] { wexodm->GutschriftBearbeiten(); });
}

void TfrmWexoentree::acEWABearbeitenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acEWABearbeitenExecute"), [] { wexodm->EWABearbeiten(); });
}

void TfrmWexoentree::acBelegUeberDokumentenNrExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acBelegUeberDokumentenNrExecute"), [] { wexodm->BelegUeberDokumentenNr(); });
}

void TfrmWexoentree::acQuerfakturaNachdruckenExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acQuerfakturaNachdruckenExecute"), [] { wexodm->QuerfakturaNachdrucken(); });
}

void TfrmWexoentree::acLayoutCopyExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acLayoutCopyExecute"), [] { wexodm->LayoutCopy(); });
}

void TfrmWexoentree::acThemenimportExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acThemenimportExecute"), [] { wexodm->Import_Maskeneinstellungen(); });
}

void TfrmWexoentree::acMandantExecute() {
  LaunchPattern(QStringLiteral("TfrmWexoentree.acMandantExecute"), [] { wexodm->MandantEinstellen(); });
}

void TfrmWexoentree::acZeitraeumeExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acZeitraeumeExecute"), [] { wexodm->ZeitRaumAbfrage(true); });
}

void TfrmWexoentree::acGeneralOptionsExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acGeneralOptionsExecute"), [&] {
    wexodm->GeneralOptions();
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
    connect(bar, &QWidget::customContextMenuRequested, this, [this, bar](const QPoint &pos) {
      QMenu menu(this);
      menu.addAction(acMandant);
      menu.addAction(acFALC);
      menu.addAction(acThemenimport);
      menu.addSeparator();
      menu.addAction(acFensteranordnungZuruecksetzen);
      menu.exec(bar->mapToGlobal(pos));
    });
  }
}
