// Creation, showing, activation, resizing, exit and destruction of the window.
#include "wexoentreefrm.h"

#include <optional>

#include "components/accessible.h"
#include "components/actionlist.h"
#include "framework/qvnguard.h"
#include "framework/qvnmessage.h"
#include "storage/wexostore.h"

#include <QApplication>
#include <QKeyEvent>

TfrmWexoentree *frmWexoentree = nullptr;

namespace {

// The descriptive texts of the pages; "\r\n" breaks the line where the text asks for it.
// clang-format off
const QString kTextWE = QStringLiteral("Verwalten Sie Ihre Wareneingänge. Übernehmen Sie einfach komplette Dispositionen oder buchen Sie Teillieferungen - alternativ kann auf die Stammdaten der Industrie zurückgegriffen werden. Lassen Sie Kunden automatisch benachrichtigen, wenn bestellte Ware eingetroffen ist.");
const QString kTextDI = QStringLiteral("Erfassen Sie Bestellungen und Aufträge. Das YUPA-Informationssystem unterstützt Sie durch die automatische Übernahme von Artikeldaten aus Katalogdaten, Lieferantenaufträgen oder vom Web-Portal von ZDQ. \r\nVorschläge zur Größenverteilung und die automatische Auftragserstellung helfen Ihnen, den Aufwand für Ihre Bestellungen weiter zu verringern.");
const QString kTextArtinfo = QStringLiteral("Fällen Sie unternehmerische Entscheidungen auf Basis der Gruppen- und Detaildaten Ihrer Artikel. \r\nDie Artikelübersicht bietet Ihnen in Echtzeit frei gestaltbare Auswertungen und die Möglichkeit, Buchungen für Gruppen von Artikeln durchzuführen. In der Einzelanzeige finden Sie detaillierte Angaben und Änderungsmöglichkeiten zu allen Stamm- und Bewegungsdaten.");
const QString kTextFI = QStringLiteral("Melden Sie einen Filialaustausch zurück. Rückmeldungen können komplett oder teilweise, einzeln oder als Gruppe durchgeführt werden. Nutzen Sie unsere automatischen Filialaustausch-Vorschläge zur Optimierung Ihrer Bestandsverteilung.");
const QString kTextOptionen = QStringLiteral("Definieren Sie Ihre persönlichen Aufgaben und Selektionen und passen Sie das Menü Ihren eigenen Vorstellungen an.");
const QString kTextRK = QStringLiteral("Hier können Sie die Waren-Eingangsrechnungen und -gutschriften Ihrer Lieferanten erfassen und diese auf Korrektheit prüfen. Bei Vorliegen von  Differenzen werden entweder Gutschriftsanforderungen an Ihre Lieferanten generiert oder Korrekturen der Wareneingangsbuchungen vorgenommen. Durch  die Erfassung dieser Belege schaffen Sie die Voraussetzung zur automatischen Kontrolle Ihrer Zentralregulierungs-Aufstellung. Kostenrechnungen und  -gutschriften können an anderer Stelle erfasst werden.");
const QString kHintStatistiken = QStringLiteral("Zusätzliche Auswertungen, die die Artikelübersicht und- Einzelinfo ergänzen");
// clang-format on

// What the window shows from the database: menu settings, counts and quick entries, in one read.
constexpr int kShownParts = wpMenu | wpPermissions | wpOpenWork | wpQuickEntries;
} // namespace

TfrmWexoentree::TfrmWexoentree(QWidget *parent) : TQVNForm(parent) {
  RegisterQuietPlaces();
  InstallWexoAccessibility();
  setupUi(this);
  // Disabled text stays readable: 4.5:1 on white instead of the style's light grey.
  QPalette readable = palette();
  for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
    readable.setColor(QPalette::Disabled, role, QColor(0x6B, 0x6B, 0x6B));
  setPalette(readable);
  for (QAction *action : TActionList::ActionsOf(this))
    if (action->objectName().startsWith(QLatin1String("ac")))
      ActionListWexo << action;
  imlAufgaben = new TImageList(this);
  imlAufgaben->AddGlyph(QStringLiteral("AUFGABE"));
  vstAufgaben->SetImages(imlAufgaben);
  vtSchnellEinstiegView->SetPopupMenu(pumSelektion);
  vstAufgaben->SetActionColumnName(2, QStringLiteral("Öffnen"));
  ApplyDesignLayout();
  InstallSystemMenuActions();
  FLoading = false;
  // The action list's keys are the window's shortcuts, offered before the focused control.
  TActionList::InstallShortcuts(this, ActionListWexo);
  InstallPanelKeys();
  InstallToolbarKeys();
  ConnectDataModule();
  FormCreate();
  FinishCreate();
}

TfrmWexoentree::~TfrmWexoentree() {
  FDestroying = true;
  FormDestroy();
  if (::frmWexoentree == this)
    ::frmWexoentree = nullptr;
}

void TfrmWexoentree::FormCreate() {
  QVNGuard(QStringLiteral("TfrmWexoentree.FormCreate"), [&] {
    QVNFormInit(objectName() + QLatin1Char('.') + QVNProgramm()->ProgrammName, true);
    FInitialized = false;
    HelpContext = 320;
    FSubMenuBtnMaxWidth = imgPhotoWE->width();
    for (TImage *picture : {imgPhotoWE, imgPhotoWE_L, imgPhotoWE_R, imgPhotoDI, imgPhotoDI_L, imgPhotoDI_R,
                            imgPhotoArtinfo, imgPhotoArtinfo_L, imgPhotoArtinfo_R, imgPhotoFI, imgPhotoFI_L,
                            imgPhotoFI_R, imgPhotoOptionen, imgPhotoOptionen_L, imgPhotoOptionen_R, imgPhotoRK,
                            imgPhotoRK_L, imgPhotoRK_R})
      picture->setVisible(false);
    aqDockingManager1->SetEnabled(false);
    const bool mandLief = QVNParameter()->GetBooleanValueByName(QStringLiteral("MANDLIEF"));
    acMandant->setEnabled(!mandLief);
    acMandant->setVisible(!mandLief);
    FStartMenuItemIndex = 4;
    FSchnellEinstiege.clear();
    FMenueInfos.clear();
    fsFormStore->IndexName = QVNInfoTerminalID();
    FillStartMenu();
    FillBtnMenu_SB();
    FillBtnMenu_DI();
    FillBtnMenu_WA();
    FillBtnMenu_WE();
    FillBtnMenu_ArtInfo();
    FillBtnMenu_FI();
    FillBtnMenu_ReKo_GuKo();
    FillBtnMenu_Statistiken();
    FillBtnMenu_Einstellungen();
    RegisterFailureTexts();
    if (!QVNParameter()->GetBooleanValueByName(QStringLiteral("MANDLIEF"))) {
      // Opened by the program at its start, not chosen by the user: no use the search counts.
      const Twexodm::TOpenedVia atStart(wexodm, QStringLiteral("Programmstart"));
      if (wexodm->MandantEinstellen())
        setWindowTitle(QStringLiteral("Artikelverwaltung - ") + QVNProgramm()->GetTextMandant());
      if (!QVNProgramm()->GetAktMandant().Defined() && wexodm->ProgramExitAllowed())
        close();
    }
  });
}

// The show handling runs before the window and its pages become visible, as
// the toolkit's OnShow does: the page shown first is then the remembered one,
// laid out once with the texts already set. A close during it (a direct start
// mode) leaves the window hidden.
void TfrmWexoentree::setVisible(bool visible) {
  if (visible && !isVisible() && !FDestroying) {
    const bool closedBefore = WasClosed();
    FormShow();
    if (WasClosed() && !closedBefore)
      return;
  }
  TQVNForm::setVisible(visible);
}

void TfrmWexoentree::SetLblText(TQVNStdLabel *label, const QString &text) {
  label->SetCaption(text);
  label->setWordWrap(true);
  label->resize(label->width(), 113);
  label->SetFontSize(10);
}

void TfrmWexoentree::FormShow() {
  const TWexoReadBatch batch(wexodm ? wexodm->Store() : nullptr, kShownParts);
  // A direct start names its dialog below; anything else failing here is the refresh.
  QVNMessages()->SetWhat(QStringLiteral("TfrmWexoentree.FormShow"),
                         QStringLiteral("Die Anzeige konnte nicht aufgefrischt werden"));
  QVNGuard(QStringLiteral("TfrmWexoentree.FormShow"), [&] {
    const QString client = QVNProgramm()->GetTextMandant();
    setWindowTitle(client.isEmpty() ? QStringLiteral("Artikelverwaltung")
                                    : QStringLiteral("Artikelverwaltung - ") + QVNProgramm()->GetTextMandant());
    pnlAppTitle->SetCaption(QStringLiteral(" Artikelverwaltung"));
    QVNProgramm()->RestoreTitle();
    aqdcStart->SetCaption(QStringLiteral("Start"));
    aqdcAufgaben->SetCaption(QStringLiteral("Aufgaben"));
    aqdcSelektionen->SetCaption(QStringLiteral("Schnelleinstieg"));
    SetLblText(lblTextWE, kTextWE);
    SetLblText(lblTextDI, kTextDI);
    SetLblText(lblTextArtinfo, kTextArtinfo);
    SetLblText(lblTextFI, kTextFI);
    SetLblText(lblTextOptionen, kTextOptionen);
    SetLblText(lblTextRK, kTextRK);
    SetLblText(lblHintStatistiken, kHintStatistiken);
    wexodm->LoadEntreeMenueInfos(FMenueInfos);
    MenueInfosTobtnsMore(FMenueInfos);
    // Nudging the task dock makes its contents lay out anew; its size ends unchanged.
    const QRect r = aqdcAufgaben->geometry();
    aqdcAufgaben->setGeometry(r.left(), r.top(), r.width(), r.height() - 1);
    aqdcAufgaben->setGeometry(r.left(), r.top(), r.width(), aqdcAufgaben->height() + 1);
    New_spbColCount_Image();
    LoadAufgaben();
    LoadSchnellEinstiege();
    btnpnStartMenu->SetSelected(FStartMenuItemIndex);
    if (!FFocusedOnce) {
      FFocusedOnce = true;
      FocusFirstEntry();
    }
    RunDirectStartModes();
  });
}

// Where the stored active panel is another one, that panel keeps the focus.
void TfrmWexoentree::FocusFirstEntry() {
  TaqDockingControl *active = aqDockingManager1->ActiveControl();
  if (active && active != aqdcStart)
    return;
  TWexoEntreeTabSheetInfos page;
  TWexoEntreeTabSheetInfosHelper::Clear(page);
  GetTabSheetInfos(pgcStartMain->ActivePage(), page);
  if (page.BtnsMore)
    page.BtnsMore->FocusButton(-1, +1);
}

void TfrmWexoentree::ConnectDataModule() {
  FStateTimer.setInterval(1000);
  connect(&FStateTimer, &QTimer::timeout, this, &TfrmWexoentree::ShowStoreState);
  // Changes come in bursts (a receipt books many rows): one refresh for a
  // burst, and under a steady stream one at most every OpenWorkRefreshMs, so
  // a change shows within that time however long the stream lasts.
  FOpenWorkTimer.setSingleShot(true);
  connect(&FOpenWorkTimer, &QTimer::timeout, this, [this] {
    if (!isVisible() || !isEnabled())
      return;
    FOpenWorkRefreshed.start();
    // Totals the server pushed need no read; any other change in the burst does.
    std::optional<Twexodm::TPushedOpenWork> pushed;
    if (!std::exchange(FOpenWorkRead, false) && wexodm)
      pushed.emplace(wexodm);
    // Nobody asked for this refresh: a lock taken meanwhile leaves the counts as they are.
    if (wexodm && wexodm->Store())
      wexodm->Store()->Connection()->NoLockWaitThisTurn();
    LoadAufgaben();
  });
  if (!wexodm)
    return;
  auto scheduleRefresh = [this] {
    if (FOpenWorkTimer.isActive())
      return; // the refresh already due takes this change along
    const qint64 since = FOpenWorkRefreshed.isValid() ? FOpenWorkRefreshed.elapsed() : OpenWorkRefreshMs;
    FOpenWorkTimer.start(int(qMax<qint64>(OpenWorkBurstMs, OpenWorkRefreshMs - since)));
  };
  connect(wexodm, &Twexodm::OpenWorkChanged, this, [this, scheduleRefresh] {
    FOpenWorkRead = true;
    scheduleRefresh();
  });
  connect(wexodm, &Twexodm::OpenWorkPushed, this, scheduleRefresh);
  connect(wexodm, &Twexodm::StoreStateChanged, this, &TfrmWexoentree::ShowStoreState);
  connect(wexodm, &Twexodm::Reconnected, this, [this] {
    if (isVisible())
      RefreshData();
  });
  // Told once per run, whether an action or the check found it first; always logged.
  connect(wexodm, &Twexodm::DamageFound, this, [](const QString &message) {
    QVNInfo()->WriteLog(QStringLiteral("Datenbankprüfung"), message);
    if (QVNMessages()->FirstTimeThisRun(message))
      QVNMessages()->Show(QStringLiteral("Artikelverwaltung"), message, TQVNMessageKind::Error);
  });
}

void TfrmWexoentree::RefreshData() {
  const TWexoReadBatch batch(wexodm ? wexodm->Store() : nullptr, kShownParts);
  QVNGuard(QStringLiteral("TfrmWexoentree.RefreshData"), [&] {
    wexodm->LoadEntreeMenueInfos(FMenueInfos);
    MenueInfosTobtnsMore(FMenueInfos);
    LoadAufgaben();
    LoadSchnellEinstiege();
  });
}

void TfrmWexoentree::showEvent(QShowEvent *e) {
  TQVNForm::showEvent(e);
  // With no stored layout, the task list's height is its rows', measured once
  // they are there and the window has its size.
  if (!FShownOnce && lblDockingLayout->Caption().isEmpty())
    QTimer::singleShot(0, this, [this] { FitTaskListToRows(); });
  FShownOnce = true;
  if (wexodm)
    wexodm->WatchOpenWork(true);
  // A database that takes no changes is said once, when the window first appears.
  if (!FStoreStateTold && wexodm && wexodm->StoreState().ReadOnly) {
    FStoreStateTold = true;
    QTimer::singleShot(0, this, [] {
      QVNMessages()->Show(QStringLiteral("Artikelverwaltung"),
                          QStringLiteral("Die Datenbank „%1“ ist schreibgeschützt (%2). Aufgaben und Dialoge stehen "
                                         "zur Verfügung; Einstellungen, Fensteranordnung und Schnelleinstiege werden "
                                         "in dieser Sitzung nicht gespeichert.")
                              .arg(wexodm->Store() ? wexodm->Store()->Location() : QString(),
                                   wexodm->StoreState().Reason),
                          TQVNMessageKind::Warning);
    });
  }
}

void TfrmWexoentree::hideEvent(QHideEvent *e) {
  TQVNForm::hideEvent(e);
  if (wexodm && !FDestroying)
    wexodm->WatchOpenWork(false);
}

void TfrmWexoentree::RunDirectStartModes() {
  auto what = [](const QString &dialog) {
    QVNMessages()->SetWhat(QStringLiteral("TfrmWexoentree.FormShow"),
                           QStringLiteral("Der Dialog „%1“ konnte nicht geöffnet werden").arg(dialog));
  };
  // Every direct start ends the program after its dialog, whether it opened or failed.
  auto runDirect = [this](const std::function<void()> &operation) {
    setEnabled(false);
    auto finish = [this] {
      setEnabled(true);
      if (wexodm->ProgramExitAllowed())
        close();
    };
    try {
      operation();
    } catch (...) {
      FDirectStartFailed = true;
      finish();
      throw;
    }
    finish();
  };
  if (wexodm->InventurZaehlungAnfordern) {
    what(QStringLiteral("Inventurzählung"));
    runDirect([] { wexodm->ArtinfoInventurzaehlung(); });
  }
  std::function<void()> operation;
  switch (wexodm->DirektBearbeitenCode) {
  case 12:
    what(QStringLiteral("Rechnung bearbeiten"));
    operation = [] { wexodm->RechnungBearbeitenDirekt(); };
    break;
  case 16:
    what(QStringLiteral("Gutschrift bearbeiten"));
    operation = [] { wexodm->GutschriftBearbeitenDirekt(); };
    break;
  default:
    if (wexodm->SchnellSucheAnfordern) {
      what(QStringLiteral("Schnellsuche"));
      operation = [] { wexodm->SchnellSucheAusfuehren(); };
    }
  }
  if (operation)
    runDirect(operation);
}

void TfrmWexoentree::changeEvent(QEvent *e) {
  TQVNForm::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow())
    FormActivate();
}

void TfrmWexoentree::FormActivate() {
  QVNGuard(QStringLiteral("TfrmWexoentree.FormActivate"), [&] {
    if (!FInitialized) {
      FInitialized = true;
      acFormRebuild();
    }
  });
}

void TfrmWexoentree::resizeEvent(QResizeEvent *e) {
  TQVNForm::resizeEvent(e);
  FormResize();
}

void TfrmWexoentree::FormResize() {
  QVNGuard(QStringLiteral("TfrmWexoentree.FormResize"), [&] {
    pnlOuter->setGeometry(4, 4, width() - 8, height() - 8);
    if (pgcStartMain && pgcStartMain->parentWidget())
      pgcStartMain->setGeometry(0, 0, pgcStartMain->parentWidget()->width(), pgcStartMain->parentWidget()->height());
    acFormRebuild();
  });
}

void TfrmWexoentree::acFormRebuild() {
  if (FLoading || FDestroying)
    return;
  QVNGuard(QStringLiteral("TfrmWexoentree.acFormRebuild"), [&] {
    // Keep room for the side column (two docks of at least 240 pixels).
    const int room = pnlInner->width() - 16 - aqdcStart->width();
    if (room < 254 && !aqdcStart->isFloating())
      aqDockingSite1->resizeDocks({aqdcStart}, {qMax(aqdcStart->minimumWidth(), pnlInner->width() - 16 - 254)},
                                  Qt::Horizontal);
    vstAufgaben->SetColumnWidth(0, vstAufgaben->ClientWidth() - 72);
    vstAufgaben->SetColumnWidth(1, 50);
    vstAufgaben->SetColumnWidth(2, 22);
  });
}

void TfrmWexoentree::acESCExecute(QObject *Sender) {
  if (!Sender)
    Sender = sender();
  QVNGuard(QStringLiteral("TfrmWexoentree.acESCExecute"), [&] {
    if (Sender == acESC && !wexodm->ProgramExitAllowed())
      return;
    close();
  });
}

bool TfrmWexoentree::CloseQuery() { return FormCloseQuery(); }

bool TfrmWexoentree::FormCloseQuery() {
  bool canClose = true;
  QVNGuard(QStringLiteral("TfrmWexoentree.FormCloseQuery"), [&] { canClose = true; });
  return canClose;
}

void TfrmWexoentree::FormDestroy() {
  QVNGuard(
      QStringLiteral("TfrmWexoentree.FormDestroy"),
      [&] {
        FSchnellEinstiege.clear();
        FMenueInfos.clear();
      },
      false);
  QVNInfo()->FehlerTerminate(QStringLiteral("TfrmWexoentree.FormDestroy"), 0, QString(), QString(), 0, 0);
}

