#pragma once
// The entry window of the article management: start menu and work-area pages,
// task list, quick entries and the docked panels around them.
#include <QPointer>
#include <QElapsedTimer>
#include <QTimer>

#include "components/imagelist.h"
#include "datamodule/wexodmu.h"
#include "framework/qvnframework.h"
#include "ui_wexoentreefrm.h"

class TButtonsCollItem;
class TQVNSuche;
#include "components/qvnsearch.h"

// The six elements of one work-area page.
struct TWexoEntreeTabSheetInfos {
  TButtons *BtnsMore = nullptr;
  TImage *ImgPhoto = nullptr;
  TImage *ImgPhotoL = nullptr;
  TImage *ImgPhotoR = nullptr;
  TQVNStdLabel *LblText = nullptr;
  TQVNStdPanel *PnlHeader = nullptr;
};

struct TWexoEntreeTabSheetInfosHelper {
  static void Clear(TWexoEntreeTabSheetInfos &infos) { infos = TWexoEntreeTabSheetInfos{}; }
};

class TfrmWexoentree : public TQVNForm, public Ui::frmWexoentree {
  Q_OBJECT
public:
  // A change of the open work shows after its burst (one refresh for it), and
  // under a steady stream at most every OpenWorkRefreshMs.
  static constexpr int OpenWorkBurstMs = 100;
  static constexpr int OpenWorkRefreshMs = 500;
  explicit TfrmWexoentree(QWidget *parent = nullptr);
  ~TfrmWexoentree() override;

  // The page control, page and task-list pieces other parts of the window use.
  void acFormRebuild();
  void LoadAufgaben();
  // Above the task list: why its counts are not current, when they are not.
  void ShowStoreState();
  void LoadSchnellEinstiege();
  int GetSE4FocusedColumn(TVTStringList *view);
  void HandleSE(quint8 operation, TVTStringList *view);
  void New_spbColCount_Image();
  void SetColWidthSEView();
  void GetTabSheetInfos(QWidget *tabSheet, TWexoEntreeTabSheetInfos &infos);
  void VerticalControlsAdjust(const TWexoEntreeTabSheetInfos &infos);
  void HorCenterButtons(QWidget *control);
  void HorCenterCtrl(QWidget *control);
  void ResizeLblText(QWidget *control);
  void HorCenterImageLeft(QWidget *image, QWidget *reference);
  void HorCenterImageRight(QWidget *image, QWidget *reference);
  // Where the menu would scroll or the text be cut, the page's parts give way.
  void GiveRoomToEntries(TTabSheet *sheet, const TWexoEntreeTabSheetInfos &infos);
  void KeepMotifFree(TImage *side, TImage *centre, bool left);
  void TakeBackRoom(const TTabSheet *sheet);
  void btnsMoreToMenueInfos(TWexoEntreeMenueInfos &infos);
  void MenueInfosTobtnsMore(const TWexoEntreeMenueInfos &infos);
  void BuildMenuInfo(TButtonsCollItem *item, const QString &areaText, TWexoEntreeMenueInfo &info);
  void DockingLayoutToStr(TQVNDockingManager *manager, QString &text);
  void StrToDockingLayout(TQVNDockingManager *manager, const QString &text);

  // What the search offers now, and what the journal calls an action's dialog.
  QList<TQVNSuchEintrag> SearchEntries();
  QList<TQVNSuchEintrag> MenuSearchEntries();
  const std::pair<QList<TQVNSuchEintrag>, QList<TQVNSuchFilter::TPrepared>> &QuickEntrySearchEntries();
  QString JournalKeyOf(const QAction *action) const;
  TQVNSuche *Suche() const { return FSuche; }
  // A direct start mode whose dialog failed: the program then ends with an error code.
  bool DirectStartFailed() const { return FDirectStartFailed; }

  TImageList *imlAufgaben;
  // Every action of the window in the order of the form definition; keys go to the first that matches.
  QList<QAction *> ActionListWexo;

public Q_SLOTS:
  // Lifecycle.
  void acESCExecute(QObject *Sender = nullptr);
  // Page switching and settings.
  void acVorgangsvorlageExecute();
  void acDispositionExecute();
  void acWAExecute();
  void acWareneingangExecute();
  void acArtikelinformationExecute();
  void acFilialaustauschExecute();
  void acStatistikExecute();
  void acReKoExecute();
  void acEinstellungenExecute();
  void acWaehrungenExecute();
  void btnsMoreBtnKeyDown(TButtons *Sender, int ButtonIndex, const QString &ButtonName, quint16 &Key,
                          Qt::KeyboardModifiers Shift);
  void acESichtMenuExecute();
  // Page layout.
  void tshSBShow(QObject *Sender);
  void tshDIShow(QObject *Sender);
  void tshWAShow(QObject *Sender);
  void tshWEShow(QObject *Sender);
  void tshArtinfoShow(QObject *Sender);
  void tshFIShow(QObject *Sender);
  void tshStatistikenShow(QObject *Sender);
  void tshRechnungenShow(QObject *Sender);
  void tshOptionenShow(QObject *Sender);
  void tshStartCommonResize(QObject *Sender);
  void pnlStartFrameInnerResize(QObject *Sender);
  // Task list.
  void vstAufgabenBeforeCellPaint(TVTStringList *Sender, QPainter *TargetCanvas, int Node, int Column,
                                  const QRect &CellRect);
  void vstAufgabenGetImageIndex(TVTStringList *Sender, int Node, int Kind, int Column, bool &Ghosted,
                                int &ImageIndex);
  void vstAufgabenGetCursor(TVTStringList *Sender, int &Cursor);
  void vstAufgabenDblClick(QObject *Sender);
  // Quick entries.
  void acSchnelleinNeuAnlageExecute(QObject *Sender = nullptr);
  void acSchnelleinBearbeitenExecute(QObject *Sender = nullptr);
  void acSchnelleinAusfuehrenExecute(QObject *Sender = nullptr);
  void actSchnelleinLoeschenExecute(QObject *Sender = nullptr);
  void acSchnelleinKopierenExecute(QObject *Sender = nullptr);
  void acSchnelleinExportierenExecute(QObject *Sender = nullptr);
  void acSchnelleinImportierenExecute(QObject *Sender = nullptr);
  void vtSchnellEinstiegViewClick(QObject *Sender);
  void vtSchnellEinstiegViewGetCursor(TVTStringList *Sender, int &Cursor);
  void vtSchnellEinstiegViewResize(QObject *Sender);
  void spbColCountClick(QObject *Sender = nullptr);
  void spbColCountContextPopup(QObject *Sender, const QPoint &MousePos, bool &Handled);
  // Docking layout.
  void fsFormStoreStoreStart(QObject *Sender);
  void fsFormStoreRestoreEnd(QObject *Sender);
  void aqDockingManager1CloseQuery(QObject *Sender, TaqDockingControl *Control, bool &CanClose);
  void aqDockingManager1Change(QObject *Sender);
  // The user's way out of any stored arrangement: the design layout and one column of quick entries.
  void acFensteranordnungZuruecksetzenExecute();
  // The search over every entry, area, task and quick entry (Strg+F).
  void acSuchenExecute();
  // Module launching.
  void acMandantExecute();
  void acSBArtNrBekanntExecute();
  void acSBHerstBekanntExecute();
  void acSBHerstBekanntVorgabeExecute();
  void acSBLiefBekanntExecute();
  void acSBLiefBekanntVorgabeExecute();
  void acSBVorlagenListeExecute();
  void acSBUebersichtExecute();
  void acSBStammNachLiefExecute();
  void acSBStammSuchenExecute();
  void acDIArtNrBekExecute();
  void acDIHerstBekExecute();
  void acDIHerstBekVorgabeExecute();
  void acDILiefbekExecute();
  void acDILiefBekVorgabeExecute();
  void acDIUebersichtExecute();
  void acDIStammNachLieferantExecute();
  void acDIStammSuchenExecute();
  void acDilisteExecute();
  void acDI_OffeneAuftraegeExecute();
  void acDI_AuftrNrBekanntExecute();
  void acDI_BestellungenExecute();
  void acWA_ArtikelBekExecute();
  void acWA_HerstBekExecute();
  void acWA_UebersichtExecute();
  void acWA_ListeExecute();
  void acWA_AuftragsNrBekanntExecute();
  void acWT_ArtikelBekExecute();
  void acWT_HerstBekExecute();
  void acWT_UebersichtExecute();
  void acWT_ListeExecute();
  void acWA_BarcodeExecute();
  void acWEArtNrBekanntExecute();
  void acWEKorrVorgIDExecute();
  void acWEHerstBekanntExecute();
  void acWEAuftragsNrBekanntExecute();
  void acWEHerstBekanntVorgabeExecute();
  void acWELiefBekanntExecute();
  void acWELiefBekanntVorgabeExecute();
  void acWEUebersichtExecute();
  void acWEStammNachLieferantExecute();
  void acWEStammSuchenExecute();
  void acWEListeExecute();
  void acWE_ScanUebExecute();
  void acWESammelartikelExecute();
  void acAIUebersichtExecute();
  void acAIArtNrBekExecute();
  void acAIAllgBewExecute();
  void acAIInvZaehlExecute();
  void acAIKata2WexoExecute();
  void acAISSC2WexoExecute();
  void acAIBez_Herst_ArtNrExecute();
  void acFAERExecute();
  void acFAArtNrBekanntExecute();
  void acFALCExecute();
  void acSavedSelectionsExecute();
  void acEVAExecute();
  void acRechnungskontrolleExecute();
  void acRechnungBearbeitenExecute();
  void acGutschriftsanforderungExecute();
  void acGutschriftsanforderungBearbeitenExecute();
  void acGutschriftsKontrolleExecute();
  void acBelastungsanzeigeExecute();
  void acGutschriftBearbeitenExecute();
  void acEWABearbeitenExecute();
  void acBelegUeberDokumentenNrExecute();
  void acQuerfakturaNachdruckenExecute();
  void acZeitraeumeExecute();
  void acGeneralOptionsExecute();
  void acLayoutCopyExecute();
  void acThemenimportExecute();

protected:
  void setVisible(bool visible) override;
  void showEvent(QShowEvent *) override;
  void hideEvent(QHideEvent *) override;
  void resizeEvent(QResizeEvent *) override;
  void changeEvent(QEvent *) override;
  bool CloseQuery() override;

private:
  friend struct TfrmWexoentreeTestAccess;

  // One row of the task list: its caption, its count (or yes/no) and its task code.
  struct TAufgabenZeile {
    QString Caption, Value, Code;
  };
  void CountAufgaben(QList<TAufgabenZeile> &rows);
  TAufgabenZeile CountNeeds();
  void ShowAufgaben(const QList<TAufgabenZeile> &rows);

  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormResize();
  bool FormCloseQuery();
  void FormDestroy();
  void RunDirectStartModes();
  // What the database gives the window anew, without touching page or focus:
  // after the server came back, and (the task list alone) when open work changed.
  void RefreshData();
  void ConnectDataModule();
  void SetLblText(TQVNStdLabel *label, const QString &text);
  // Fillers of the start menu and the nine button menus.
  void FillStartMenu();
  void FillBtnMenu_SB();
  void FillBtnMenu_DI();
  void FillBtnMenu_WA();
  void FillBtnMenu_WE();
  void FillBtnMenu_ArtInfo();
  void FillBtnMenu_FI();
  void FillBtnMenu_ReKo_GuKo();
  void FillBtnMenu_Statistiken();
  void FillBtnMenu_Einstellungen();
  // Page switching and page layout.
  void SwitchPage(TTabSheet *sheet, int index, TButtons *menu);
  void ShowPage(QObject *sender, const QStringList &pictureFiles, const QString &where, bool leftFirst = false);
  // Module launching: hide, call, show again in every case.
  void LaunchPattern(const QString &where, const std::function<void()> &operation);
  // Opens the dialog an action stands for, as its handler.
  void Launch(const QAction *action);
  // Keyboard routing between the panels: Tab and Shift+Tab stop at each
  // panel (and each toolbar button), F6 and Shift+F6 jump panel by panel.
  QList<QList<QWidget *>> FocusPanels() const;
  void MoveFocusPanel(bool next, bool wholePanels);
  void InstallPanelKeys();
  void InstallToolbarKeys();
  int DesignTaskListHeight() const;
  void FitTaskListToRows();
  void ShowSystemMenu(const QPoint &globalPos);
  void OpenContextMenuByKey();
  bool focusNextPrevChild(bool next) override;
  void RunHidden(const std::function<void()> &operation);
  void SetActiveControlByName(TQVNDockingManager *manager, const QString &name);
  // The arrangement of the form definition: start on the left, tasks over quick entries on the right.
  void ApplyDesignLayout();
  void InstallSystemMenuActions();
  void RegisterFailureTexts();
  void RegisterQuietPlaces();
  // The first entry of the menu of the area shown gets the focus: Return runs it.
  void FocusFirstEntry();

  bool FInitialized = false;
  int FStartMenuItemIndex = 0;
  int FSubMenuBtnMaxWidth = 0;
  // What giving room changed on a page, to be undone before it is laid out anew.
  struct TRoomGiven {
    QList<QPointer<QWidget>> Parts;
    QList<QRect> Before, After;
  };
  QHash<const QWidget *, TRoomGiven> FRoomGiven;
  TWexoEntreeMenueInfos FMenueInfos;
  TContexte FSchnellEinstiege;

  bool FLoading = true;
  bool FDestroying = false;
  bool FCountsUnavailable = false;
  bool FStoreStateTold = false;
  bool FFocusedOnce = false;
  bool FDirectStartFailed = false;
  bool FShownOnce = false; // a direct start ends before the window appears
  QHash<TButtonsCollItem *, bool> FVisibleBeforeRefusal;
  TQVNSuche *FSuche = nullptr;
  // The quick entries change rarely and may be thousands: the search keeps them prepared.
  quint64 FSchnellEinstiegeStamp = 1;
  quint64 FSearchQuickEntriesStamp = 0;
  QList<bool> FSchnellEinstiegeRefused;
  std::pair<QList<TQVNSuchEintrag>, QList<TQVNSuchFilter::TPrepared>> FSearchQuickEntries;
  QTimer FStateTimer;
  QTimer FOpenWorkTimer;
  QElapsedTimer FOpenWorkRefreshed;
  bool FOpenWorkRead = false; // a change in this burst came without its totals
};

extern TfrmWexoentree *frmWexoentree;
