#pragma once
// Test harness: a scriptable data module and a fixture that builds the real
// window on a temporary database.
#include <QApplication>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "datamodule/wexodmu.h"
#include "storage/wexostore.h"
#include "framework/qvnmessage.h"
#include "wexoentreefrm.h"

// Reaches the window's private state.
struct TfrmWexoentreeTestAccess {
  static int &StartMenuItemIndex(TfrmWexoentree *f) { return f->FStartMenuItemIndex; }
  static bool &Initialized(TfrmWexoentree *f) { return f->FInitialized; }
  static int SubMenuBtnMaxWidth(TfrmWexoentree *f) { return f->FSubMenuBtnMaxWidth; }
  static TWexoEntreeMenueInfos &MenueInfos(TfrmWexoentree *f) { return f->FMenueInfos; }
  static TContexte &SchnellEinstiege(TfrmWexoentree *f) { return f->FSchnellEinstiege; }
  static void FormShow(TfrmWexoentree *f) { f->FormShow(); }
  static void RefreshData(TfrmWexoentree *f) { f->RefreshData(); }
  static void FormActivate(TfrmWexoentree *f) { f->FormActivate(); }
  static void FormResize(TfrmWexoentree *f) { f->FormResize(); }
};

struct TCall {
  QString Operation;
  QString Arguments;
  bool WindowVisible = false;
};

class TScriptedWexodm : public Twexodm {
public:
  TScriptedWexodm() : Twexodm(nullptr) {}

  // What happened.
  QList<TCall> Calls;
  QPointer<QWidget> Window;
  int ExitQueries = 0;
  int SaveCount = 0;
  TWexoEntreeMenueInfos Saved;
  TWexoEntreeMenueInfos ShownInDialog;
  int QufaAsked = 0;

  // What to answer.
  QSet<QString> Raise;
  bool ExitAllowed = true;
  bool ClientChosen = true;
  TIntPair ClientAfterSelection{1, 0};
  QString ClientText = QStringLiteral("Testmandant");
  int Filiale = 0;
  int Wdvo = 0, Beda = 0, Diim = 0, Scan = 0, Exfe = 0, Exim = 0, Invo = 0, Unvo = 0, Qufa = 0, Ofwa = 0, Erwa = 0;
  bool BedaVorhanden = false, BedaRaises = false, UnvoAktiv = false;
  TWexoEntreeMenueInfos StoredInfos;
  QSet<int> Refused;
  bool PermissionRaises = false;
  bool AcceptDialog = false;
  std::function<void(TWexoEntreeMenueInfos &)> EditInDialog;
  TContexte Entries;

  QStringList Operations() const {
    QStringList names;
    for (const TCall &c : Calls)
      names << c.Operation;
    return names;
  }
  int Count(const QString &operation) const { return int(Operations().count(operation)); }

  void Operation(const QString &name, const QString &arguments, const std::function<void()> & = {}) override {
    Calls.append({name, arguments, Window && Window->isVisible()});
    if (Raise.contains(name))
      throw std::runtime_error(("Testfehler in " + name).toStdString());
  }
  bool MandantEinstellen() override {
    Operation(QStringLiteral("MandantEinstellen"), QString());
    if (ClientChosen)
      QVNProgramm()->SetAktMandant(ClientAfterSelection, ClientText, Filiale);
    return ClientChosen;
  }
  bool ProgramExitAllowed() override {
    ++ExitQueries;
    return ExitAllowed;
  }
  void LoadEntreeMenueInfos(TWexoEntreeMenueInfos &infos) override { infos = StoredInfos; }
  bool OptionenSichtbareMenuepunkte(TWexoEntreeMenueInfos &infos) override {
    ShownInDialog = infos;
    if (AcceptDialog && EditInDialog)
      EditInDialog(infos);
    return AcceptDialog;
  }
  void SaveEntreeMenueInfos(const TWexoEntreeMenueInfos &infos) override {
    ++SaveCount;
    Saved = infos;
  }
  TwexooptvisiDlg *GetwexooptvisiDlg() override { return &FDlg; }
  void LoadSchnellEinstiege(TContexte &entries, bool) override { entries = Entries; }
  // The journal of this workstation is the calls made, the latest first.
  QList<TWexoUsage> OperationUsage() override {
    QList<TWexoUsage> usage;
    for (qsizetype i = Calls.size() - 1; i >= 0; --i) {
      auto it = std::find_if(usage.begin(), usage.end(), [&](const TWexoUsage &u) {
        return u.Operation == Calls.at(i).Operation && u.Arguments == Calls.at(i).Arguments;
      });
      if (it == usage.end())
        usage.append({Calls.at(i).Operation, Calls.at(i).Arguments, 1, i});
      else
        ++it->Count;
    }
    return usage;
  }

  struct Dlg : TwexooptvisiDlg {
    explicit Dlg(TScriptedWexodm *d) : TwexooptvisiDlg(nullptr), D(d) {}
    bool IsMenuePunktErlaubt(TWexoEntreeMenueInfo &info) override {
      if (D->PermissionRaises)
        throw std::runtime_error("Berechtigungsprüfung fehlgeschlagen");
      return !D->Refused.contains(info.Tag);
    }
    TScriptedWexodm *D;
  } FDlg{this};

  // Scripted managers.
  struct Wv : TWiedervorlagen {
    explicit Wv(TScriptedWexodm *d) : TWiedervorlagen(nullptr), D(d) {}
    int Enum_Wiedervorlagen_ByDate(const QDateTime &, int, void *) override { return D->Wdvo; }
    int Enum_Warenverteilung_ByTyp(TZDQ_WiedervorlWarenvert_Typ typ, void *) override {
      return typ == wvtOffen ? D->Ofwa : D->Erwa;
    }
    TScriptedWexodm *D;
  };
  struct Bs : IQVN_BedarfeListServer {
    explicit Bs(TScriptedWexodm *d) : IQVN_BedarfeListServer(nullptr), D(d) {}
    int BedarfeCount() override {
      if (D->BedaRaises)
        throw std::runtime_error("Bedarfsserver nicht erreichbar");
      return D->Beda;
    }
    bool BedarfeVorhanden() override {
      if (D->BedaRaises)
        throw std::runtime_error("Bedarfsserver nicht erreichbar");
      return D->BedaVorhanden;
    }
    TScriptedWexodm *D;
  };
  struct Lm : TQVN_LieferungMani {
    explicit Lm(TScriptedWexodm *d) : TQVN_LieferungMani(nullptr), D(d) {}
    int Count() override { return D->Scan; }
    TScriptedWexodm *D;
  };
  struct Ef : TZDQ_ExportFehler_Mani {
    explicit Ef(TScriptedWexodm *d) : TZDQ_ExportFehler_Mani(nullptr), D(d) {}
    void GetFehlerCounts(int &e, int &m) override {
      e = D->Exfe;
      m = D->Exim;
    }
    TScriptedWexodm *D;
  };
  struct Iv : TZDQ_InVoic_Mani {
    explicit Iv(TScriptedWexodm *d) : TZDQ_InVoic_Mani(nullptr), D(d) {}
    int Lesen_RechnungsAnzahl() override {
      if (D->Raise.contains(QStringLiteral("Lesen_RechnungsAnzahl")))
        throw std::runtime_error("Rechnungsmanager nicht verfügbar");
      return D->Invo;
    }
    TScriptedWexodm *D;
  };
  struct Um : TUnvollMani {
    explicit Um(TScriptedWexodm *d) : TUnvollMani(nullptr), D(d) {}
    bool AufgabeAktiv() override { return D->UnvoAktiv; }
    int AnzahlBelege(const TIntPair &) override { return D->Unvo; }
    TScriptedWexodm *D;
  };
  struct Qm : TZDQ_QuerfakturaMani {
    explicit Qm(TScriptedWexodm *d) : TZDQ_QuerfakturaMani(nullptr), D(d) {}
    int AnzQFAufgabenGet() override { return D->Qufa; }
    TScriptedWexodm *D;
  };
  std::unique_ptr<TWiedervorlagen> GetWiedervorlagen() override { return std::make_unique<Wv>(this); }
  std::unique_ptr<IQVN_BedarfeListServer> GetBedarfeListServer() override { return std::make_unique<Bs>(this); }
  std::unique_ptr<TQVN_LieferungMani> GetLieferungMani() override { return std::make_unique<Lm>(this); }
  std::unique_ptr<TZDQ_ExportFehler_Mani> GetEXFEMani() override { return std::make_unique<Ef>(this); }
  std::unique_ptr<TZDQ_InVoic_Mani> GetInvoicMani() override { return std::make_unique<Iv>(this); }
  std::unique_ptr<TUnvollMani> GetUnvollmani() override { return std::make_unique<Um>(this); }
  std::unique_ptr<TZDQ_QuerfakturaMani> QuerfakturaMani_GoC() override {
    ++QufaAsked;
    return std::make_unique<Qm>(this);
  }
  int DiImSatzCount() override { return Diim; }
};

// A temporary database, terminal id, error log and local settings for one test.
class TTestEnvironment {
public:
  explicit TTestEnvironment(const QString &terminal = QStringLiteral("TEST-PC")) {
    QStandardPaths::setTestModeEnabled(true);
    qputenv("WEXO_TERMINAL_ID", terminal.toUtf8());
    qputenv("WEXO_DIALOGS", "auto"); // no test may wait for a dialog
    qputenv("WEXO_ERROR_LOG", Dir.filePath(QStringLiteral("errors.log")).toUtf8());
    QFile::remove(TSimpleMask::LocalIniPath());
    if (OnPostgres())
      EmptyPostgres();
    Store.reset(TWexoStore::Open(DatabasePath()));
    TWexoStore::SetCurrent(Store.get());
    QVNParameter()->SetValues({{"MANDLIEF", "N"}, {"QUERFAMA", "N"}});
    TWexoGeneralOptions::SetOptions({});
    QVNProgramm()->SetAktMandant(CLeeresIntPair, QString(), 0);
    QVNInfo()->ResetErrorSpezNoWrite(0, QString(), QString(), 0, 0);
    QVNInfo()->ClearHistory();
  }
  QString DatabasePath() const {
    return OnPostgres() ? PostgresUrl() : Dir.filePath(QStringLiteral("wexo.sqlite"));
  }
  // WEXO_TEST_POSTGRES runs the same tests against a PostgreSQL database (emptied before each test).
  static QString PostgresUrl() { return qEnvironmentVariable("WEXO_TEST_POSTGRES"); }
  static bool OnPostgres() { return !PostgresUrl().isEmpty(); }
  static void EmptyPostgres() {
    {
      std::unique_ptr<TWexoStore> store(TWexoStore::Open(PostgresUrl()));
      store->ExecDirect(QStringLiteral("DROP SCHEMA public CASCADE"));
      store->ExecDirect(QStringLiteral("CREATE SCHEMA public"));
    }
  }
  QTemporaryDir Dir;
  std::unique_ptr<TWexoStore> Store;
};

// The real window on a scripted data module.
class TWindowFixture {
public:
  explicit TWindowFixture(const std::function<void(TScriptedWexodm &)> &script = {}, bool show = true,
                          const QString &terminal = QStringLiteral("TEST-PC"))
      : Env(terminal) {
    Dm = std::make_unique<TScriptedWexodm>();
    wexodm = Dm.get();
    if (script)
      script(*Dm);
    Form = std::make_unique<TfrmWexoentree>();
    frmWexoentree = Form.get();
    Dm->Window = Form.get();
    if (show && !Form->WasClosed()) {
      Form->show();
      QApplication::processEvents();
    }
  }
  ~TWindowFixture() {
    Form.reset();
    wexodm = nullptr;
    Dm.reset();
  }
  TfrmWexoentree *F() const { return Form.get(); }
  TScriptedWexodm &D() const { return *Dm; }
  const QStringList &Reports() const { return QVNInfo()->RegisteredWhere(); }

  TTestEnvironment Env;
  std::unique_ptr<TScriptedWexodm> Dm;
  std::unique_ptr<TfrmWexoentree> Form;
};

// The rows of a string-list view as "caption|value|code" texts.
inline QStringList RowTexts(TVTStringList *view) {
  QStringList rows;
  for (int r = 0; r < view->RootNodeCount(); ++r) {
    const TStringList *list = view->GetNodeData(r);
    rows << (list ? list->Strings.join(QLatin1Char('|')) : QStringLiteral("<leer>"));
  }
  return rows;
}
