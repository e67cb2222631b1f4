#pragma once
// The merchandise data module: opens every business dialog of the module,
// keeps the menu visibility settings and the quick entries, and hands out the
// managers that count pending work. Every dialog operation is journaled in the
// database before its dialog opens; the fault table can make one raise.
#include <QHash>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

#include "datamodule/managers.h"
#include "datamodule/masktyco.h"
#include "datamodule/menueinfo.h"
#include "framework/qvnframework.h"
#include "storage/wexostore.h"

// Close action of the catalogue-article dialog: where it was opened from.
enum TKatArtCloseAction { kacVorlagen = 1, kacDisposition = 2, kacWareneingang = 3 };
// Export class: 1 export errors, 2 master-data errors.
enum TZDQ_Exportklasse_Typ_erw { ekExport = 1, ekMaster = 2 };
struct TSCANSelectRec {
  int LieferungId = 0;
};
using TSCANSelectRecs = QList<TSCANSelectRec>;

// The visibility dialog; it also answers the permission test.
class TwexooptvisiDlg {
public:
  explicit TwexooptvisiDlg(const TWexoStore *store) : FStore(store) {}
  virtual ~TwexooptvisiDlg() = default;
  // False when the permission table forbids the entry's tag at this workstation or at all ('*').
  virtual bool IsMenuePunktErlaubt(TWexoEntreeMenueInfo &info);
  // Reads the permission table, when no permissions were handed over before the first question.
  void Reload();
  // The permissions read with the menu settings, in the same round trip.
  void SetForbidden(const QSet<qint32> &forbidden);

private:
  const TWexoStore *FStore;
  QSet<qint32> FForbidden;
  bool FLoaded = false;
};

// How often and how lately this workstation opened a dialog (from the journal).
struct TWexoUsage {
  QString Operation;
  QString Arguments;
  int Count = 0;     // openings in the last 90 days
  qint64 Last = 0;   // the journal row of the latest, for the order of the recent list
};

class Twexodm : public QObject {
  Q_OBJECT
public:
  // Works on the store (null for a data module without database); with
  // ownsStore the data module closes it when it goes.
  // batchTheStart: the program's own start, whose reads come in one round trip until EndStartBatch.
  explicit Twexodm(TWexoStore *store, bool ownsStore = false, QObject *parent = nullptr, bool batchTheStart = false);
  void EndStartBatch() { FStartBatch.reset(); }
  ~Twexodm() override;

  TWexoStore *Store() const { return FStore; }

  // Counts of open pending work, one read for a whole task list; while the
  // server is away, the counts read last.
  virtual TWexoOpenWork OpenWork();
  // Whether the counts OpenWork gave last were read just then (not the last ones known).
  bool OpenWorkCurrent() const { return FOpenWorkCurrent; }
  // While a window watches a server, the counts are read at least this often:
  // pushed totals are hints, and a lost or forged one lasts until then.
  static constexpr int ReconcileMs = 60000;
  // A payload that makes no sense costs at most one read in this time.
  static constexpr int DistrustReadMs = 10000;
  void SetReconcileInterval(int ms); // tests
  // While one lives, the open work is what was read and pushed last: no statement.
  class TPushedOpenWork {
  public:
    explicit TPushedOpenWork(Twexodm *dm) : FDm(dm) { FDm->FUsePushed = true; }
    ~TPushedOpenWork() { FDm->FUsePushed = false; }
    TPushedOpenWork(const TPushedOpenWork &) = delete;
    TPushedOpenWork &operator=(const TPushedOpenWork &) = delete;

  private:
    Twexodm *FDm;
  };
  // Resubmissions due at another moment than the counts were read for.
  int WiedervorlagenDueAt(const QDateTime &when);
  // Whether what the window shows is current: online, damaged, read-only.
  virtual TWexoConnectionState StoreState() const;
  // While on, OpenWorkChanged follows changes of the open work made anywhere.
  virtual void WatchOpenWork(bool on);
  // The dialogs this workstation opened in the last 90 days, the latest first.
  virtual QList<TWexoUsage> OperationUsage();

  // Direct start modes, set from the command line and cleared once run.
  bool InventurZaehlungAnfordern = false;
  quint8 DirektBearbeitenCode = 0;
  bool SchnellSucheAnfordern = false;
  void ReadCommandLine(const QStringList &arguments);

  // Results the window relies on.
  virtual bool MandantEinstellen();
  virtual bool ProgramExitAllowed();
  virtual void LoadEntreeMenueInfos(TWexoEntreeMenueInfos &infos);
  virtual bool OptionenSichtbareMenuepunkte(TWexoEntreeMenueInfos &infos);
  virtual void SaveEntreeMenueInfos(const TWexoEntreeMenueInfos &infos);
  virtual TwexooptvisiDlg *GetwexooptvisiDlg();

  // Managers for the task list; each call hands out a new one.
  virtual std::unique_ptr<TWiedervorlagen> GetWiedervorlagen();
  virtual std::unique_ptr<IQVN_BedarfeListServer> GetBedarfeListServer();
  virtual std::unique_ptr<TQVN_LieferungMani> GetLieferungMani();
  virtual std::unique_ptr<TZDQ_ExportFehler_Mani> GetEXFEMani();
  virtual std::unique_ptr<TZDQ_InVoic_Mani> GetInvoicMani();
  virtual std::unique_ptr<TUnvollMani> GetUnvollmani();
  virtual std::unique_ptr<TZDQ_QuerfakturaMani> QuerfakturaMani_GoC();
  virtual int DiImSatzCount();

  // Quick entries.
  virtual void LoadSchnellEinstiege(TContexte &entries, bool all);
  virtual void SchnellEinstiegNeuAnlage();
  virtual void SchnellEinstiegBearbeiten(const TContextSatz &entry);
  virtual void SchnellEinstiegKopieren(const TContextSatz &entry);
  virtual void DeleteSchnellEintieg(const TContextSatz &entry);
  virtual void SchnellEinstiegExecute(const TContextSatz &entry);
  virtual void SchnellEinstiegExportieren(const TContextSatz &entry);
  virtual void SchnellEinstiegImportieren();
  // Imports every entry of an exchange file in one transaction, or none; false with a German message.
  bool ImportSchnellEinstiegDatei(const QString &path, QString &error);
  // What became of a change of a quick entry loaded earlier: another
  // workstation may have changed or deleted it meanwhile.
  enum class TSEStand { Gespeichert, Geloescht, Geaendert };
  TSEStand UpdateSchnellEinstieg(const TContextSatz &loaded, const TContextSatz &edited);
  TSEStand CopySchnellEinstieg(const TContextSatz &loaded);
  TSEStand RemoveSchnellEinstieg(const TContextSatz &loaded);
  static QString StandText(TSEStand stand, const QString &name);

  // Business dialogs.
  void SBArtikelBekannt();
  void SB_LoH_Bekannt(bool lieferant, bool vorgabe);
  void SBVorlagenListe();
  void SBUebersicht();
  void StammNachLieferant(TKatArtCloseAction action);
  void StammSuchen(TKatArtCloseAction action);
  void DIArtikelBekannt();
  void DIHerstellerBekannt(bool vorgabe);
  void DILieferantBekannt(bool vorgabe);
  void DIUebersicht();
  void DIDispositionenliste(bool ohneAuftrag);
  void DIAuftrNrBekannt();
  void ORDERUebersicht();
  void WAArtikelBekannt();
  void WAHerstellerBekannt();
  void WAUebersicht();
  void WAListe();
  void WAAuftrNrBekannt();
  void WTArtikelBekannt();
  void WTHerstellerBekannt();
  void WTUebersicht();
  void WTListe();
  void WTVorgIdBekannt();
  void WEArtikelBekannt(bool sammelartikel);
  void WEVorgIdBekannt();
  void WEHerstellerBekannt(bool vorgabe);
  void WEAuftragsNrBekannt();
  void WELieferantBekannt(bool vorgabe);
  void WEUebersicht();
  void WEListe();
  void LieferungUebersicht(const TSCANSelectRecs &auswahl, bool nurAuswahl);
  void ArtinfoUebersicht();
  void ArtinfoArtikelBekannt();
  void ArtinfoAllgBewListe();
  void ArtinfoInventurzaehlung();
  void ArtinfoKata2Wexo();
  void ArtinfoSSC2Wexo();
  void ArtinfoBez_Herst_ArtNr();
  void FAEinzelRM();
  void FAArtikelBekannt();
  void FAListeCreate();
  void Stat_SavedSelections();
  void Stat_EVA();
  void Rechnungskontrolle();
  void RechnungBearbeiten();
  void Gutschriftsanforderung(const TIntPair &mandant, const TIntPair &lieferant, bool direkt, bool ohneDialog);
  void GutschriftsanforderungBearbeiten();
  void Gutschriftskontrolle();
  void Belastungsanzeige();
  void GutschriftBearbeiten();
  void EWABearbeiten();
  void BelegUeberDokumentenNr();
  void QuerfakturaNachdrucken();
  void ZeitRaumAbfrage(bool nurAnzeigen);
  void GeneralOptions();
  void LayoutCopy();
  void Import_Maskeneinstellungen();
  void WaehrungenWaehlen();
  void RechnungBearbeitenDirekt();
  void GutschriftBearbeitenDirekt();
  void SchnellSucheAusfuehren();
  // Task overviews.
  void WiedervorlagenUebersicht();
  void BedarfeUebersicht();
  void Exportfehler(TZDQ_Exportklasse_Typ_erw klasse);
  void RechnungsKontrolleInvoice();
  void UnvollstaendigeBelege();
  void QuerfakturaUebersicht();
  void OffeneWarenverteilungenUebersicht();
  void ErfolgteWarenverteilungenUebersicht();

  // Runs an operation by name and readable arguments (quick entries use it).
  // Throws for an unknown operation.
  void RunByName(const QString &operation, const QString &arguments);
  // Opens an operation's dialog from the arguments its journal row holds.
  void Run(const QString &operation, const QString &arguments);
  static bool IsKnownOperation(const QString &operation, const QString &arguments);

  // Permissions, decided here for every route (menu, key, search, task row,
  // quick entry, direct start). The window hands over which dialog each menu
  // entry opens ("operation|arguments") and whether the entry is allowed.
  void SetMenuPermissions(const QHash<QString, bool> &allowedByKey);
  // A dialog is refused in the form a refused menu entry opens it, and in
  // every other form of that dialog (a quick entry's own arguments) as soon
  // as any menu entry opening it is refused.
  bool IsOperationRefused(const QString &operation, const QString &arguments) const;
  // Throws the German refusal when the dialog is refused.
  void RefuseIfBarred(const QString &operation, const QString &arguments) const;

  // Every dialog operation ends here: journal, fault check, then its dialog
  // (the stand-in dialog when none is given). Tests override it.
  virtual void Operation(const QString &name, const QString &arguments, const std::function<void()> &dialog = {});

  // German title of an operation's dialog.
  static QString DialogTitle(const QString &operation);
  static bool AutoDialogs();

  // While one exists, operations are journaled as opened by what it names, not chosen by the user.
  class TOpenedVia {
  public:
    TOpenedVia(Twexodm *dm, const QString &via) : FDm(dm), FBefore(dm ? dm->FOpenedVia : QString()) {
      if (FDm)
        FDm->FOpenedVia = via;
    }
    ~TOpenedVia() {
      if (FDm)
        FDm->FOpenedVia = FBefore;
    }
    TOpenedVia(const TOpenedVia &) = delete;
    TOpenedVia &operator=(const TOpenedVia &) = delete;

  private:
    Twexodm *FDm;
    QString FBefore;
  };

Q_SIGNALS:
  // Open pending work changed somewhere (another workstation, a back-office job).
  void OpenWorkChanged();
  // New totals came with the change: the task list needs no read.
  void OpenWorkPushed();
  void StoreStateChanged();
  // The server is back after it was away.
  void Reconnected();
  // Damage found in the database, once, with the message for the user.
  void DamageFound(const QString &message);

protected:
  std::unique_ptr<TWexoReadBatch> FStartBatch;
  // Operation → arguments → allowed, and the operations refused in some form:
  // asked for every quick entry, so without building a key each time.
  QHash<QString, QHash<QString, bool>> FMenuPermissions;
  QSet<QString> FRefusedDialogs;
  QString FOpenedVia;

  // The dialogs of the quick-entry commands; tests answer them.
  virtual bool EditSchnellEinstiegDialog(const QString &title, TContextSatz &entry);
  virtual bool ConfirmSchnellEinstiegLoeschen(const TContextSatz &entry);

  void Journal(const QString &name, const QString &arguments);
  void LoadParameters();
  // Open work (wexodmu_openwork.cpp).
  void SetUpOpenWorkChecks();
  void TakePushedOpenWork(const QString &payload);
  void DistrustPushedOpenWork(const QString &payload);
  void TaskOverview(const QString &title, const QString &kind, int subkind);

  TSEStand ChangeLoaded(const TContextSatz &loaded,
                        const std::function<void(const TWexoStore *, const TContextSatz &)> &change);

  TWexoStore *FStore;
  std::unique_ptr<TWexoStore> FOwnedStore;
  std::unique_ptr<TwexooptvisiDlg> FVisiDlg;
  // What was read last, shown while the server is away.
  TWexoOpenWork FLastOpenWork;
  bool FHaveOpenWork = false;
  bool FOpenWorkCurrent = false;
  bool FUsePushed = false;
  qint64 FHighestVersion = 0;
  QTimer FReconcileTimer;
  QTimer FDistrustTimer;
  QElapsedTimer FDistrustRead, FLastDistrust;
  TWexoEntreeMenueInfos FLastMenueInfos;
  TContexte FLastSchnellEinstiege;
  bool FHaveSchnellEinstiege = false;
};

// The one data module of the program.
extern Twexodm *wexodm;

QString BoolText(bool b);
