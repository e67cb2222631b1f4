#pragma once
// Host framework services: program identity, current client and branch,
// parameters, the error registry and a few shared helpers.

#include <QChar>
#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <stdexcept>

// Key of a client: client number and branch-independent sub key.
struct TIntPair {
  int Key1 = 0;
  int Key2 = 0;
  bool Defined() const { return Key1 > 0; }
  bool operator==(const TIntPair &) const = default;
};
inline constexpr TIntPair CLeeresIntPair{0, 0};

enum TEnumProzessTypen { ptUnbekannt = 0, ptDialog = 1, ptDienst = 2, ptModul = 3 };
enum TPVR_InstanceCount { icBeliebig = 0, icEinmalig = 1 };

// An error the registry raises again at a named place.
class EQVNError : public std::runtime_error {
public:
  EQVNError(const QString &where, const QString &message)
      : std::runtime_error(message.toStdString()), Where(where) {}
  QString Where;
};

// Marks a fault the user is told once per run, however many actions meet it
// (a damaged database): the log still gets every one.
class TQVNOncePerRun {
public:
  virtual ~TQVNOncePerRun() = default;
};

class TQVNProgramm {
public:
  void Init(const QString &name, TEnumProzessTypen prozessTyp, TPVR_InstanceCount instanzen, int reserve,
            bool mitDatenbank);
  void SetTitle(const QString &title);
  void RestoreTitle();
  QString GetTextMandant() const { return FMandantText; }
  TIntPair GetAktMandant() const { return FMandant; }
  bool GetAktMandantGesetzt() const { return FMandant.Defined(); }
  int GetAktFiliale() const { return FFiliale; }
  void SetAktMandant(const TIntPair &mandant, const QString &text, int filiale);
  void ShowException(const std::exception &e, bool terminate);

  bool Initialized() const { return FInitialized; }
  // How many errors were shown to the user (support and tests read it).
  int ExceptionsShown = 0;
  QString Title() const { return FTitle; }

  // The program's name as the framework keeps it; forms build their identity from it.
  QString ProgrammName;

private:
  bool FInitialized = false;
  QString FTitle;
  TIntPair FMandant = CLeeresIntPair;
  QString FMandantText;
  int FFiliale = 0;
};

class TQVNInfo {
public:
  void RegisterException(const QString &where, const std::exception &e, bool flag);
  void FehlerRaise(const QString &where, int nr, const QString &text1, const QString &text2, int i1, int i2);
  void FehlerTerminate(const QString &where, int nr, const QString &text1, const QString &text2, int i1, int i2);
  void ResetErrorSpezNoWrite(int nr, const QString &text1, const QString &text2, int i1, int i2);

  bool HasPendingError() const { return !FPendingWhere.isEmpty(); }
  // Every place an error was registered, oldest first (support and tests read it).
  const QStringList &RegisteredWhere() const { return FHistory; }
  void ClearHistory() { FHistory.clear(); }
  // Appends one line to the error log: time, terminal, place, message.
  void WriteLog(const QString &where, const QString &message);
  static QString ErrorLogPath();
  // Above this size the log starts anew; the older generation is kept as "<log>.1".
  static constexpr qint64 MaxLogBytes = 10 * 1024 * 1024;

private:
  QSet<QString> FLogRefused; // logs that are no regular file: said once
  QString FPendingWhere;
  QString FPendingMessage;
  QStringList FHistory;
};

class TParameter {
public:
  bool GetBooleanValueByName(const QString &name) const;
  QChar GetCharValueByName(const QString &name) const;
  QString GetStringValueByName(const QString &name) const { return FValues.value(name); }
  void SetValues(const QMap<QString, QString> &values) { FValues = values; }
  void SetValue(const QString &name, const QString &value) { FValues[name] = value; }

private:
  QMap<QString, QString> FValues;
};

TQVNProgramm *QVNProgramm();
TQVNInfo *QVNInfo();
TParameter *QVNParameter();
// WEXO_DIALOGS=auto: every dialog returns at once and messages go to standard error (demos, automated runs).
bool QVNAutoDialogs();
// The identifier of this workstation: WEXO_TERMINAL_ID, or the host name when
// that is blank; trimmed and composed (NFC), as settings are keyed by it.
QString QVNInfoTerminalID();
// Why a workstation name cannot be used (German), or empty when it can.
QString QVNTerminalIDProblem(const QString &id);
// Throws EQVNError naming the broken rule when this workstation's name cannot be used.
void QVNCheckTerminalID();
// A field of the error log: backslash, tab and line breaks written as \\, \t, \n, \r,
// other control and invisible format characters as \uXXXX.
QString QVNEscapeLogField(const QString &text);

// The framework's form base.
class TQVNForm : public QWidget {
  Q_OBJECT
public:
  explicit TQVNForm(QWidget *parent = nullptr);
  void QVNFormInit(const QString &identity, bool withStore);
  QString FormIdentity() const { return FFormIdentity; }
  // True once a close of the form was accepted.
  bool WasClosed() const { return FClosed; }
  int HelpContext = 0;

Q_SIGNALS:
  // After the form's own creation handler; the form store restores here.
  void Created();
  // When a close was accepted, before the form goes; the form store saves here.
  void Closing();

protected:
  void FinishCreate() { Q_EMIT Created(); }
  virtual bool CloseQuery() { return true; }
  void closeEvent(QCloseEvent *e) override;

private:
  QString FFormIdentity;
  bool FClosed = false;
};

struct TWexoGeneralOptionsRec {
  bool HidePictures = false;
};

class TWexoGeneralOptions {
public:
  static TWexoGeneralOptionsRec GetOptions();
  static void SetOptions(const TWexoGeneralOptionsRec &options);
};

// Local (per-workstation) definitions of a settings mask, kept in an INI file.
class TSimpleMask {
public:
  TSimpleMask(const QString &programm, const QString &maske, const QString &variante, bool global, bool lokal,
              QObject *owner, const QString &text1, const QString &text2);
  int ReadLocalDef(const QString &name, int defaultValue) const;
  void WriteLocalDef(const QString &name, int value);
  static QString LocalIniPath();

private:
  QString FGroup;
};

QString BoolToJaNein(bool value);
QDateTime qvn_Now();

// Cross-invoicing mode from the parameter "QUERFAMA":
//   'E' -> 1 receive only, 'S' -> 2 send, 'J' or 'V' -> 3 send and receive,
//   anything else ('N', blank, unknown) -> 0 inactive.
// The task list counts cross-invoicing tasks in modes 2 and 3.
enum TQuerfakturaAktiv { qfInaktiv = 0, qfNurEmpfang = 1, qfSenden = 2, qfVoll = 3 };
TQuerfakturaAktiv QuerfakturaAktiv4Char(QChar c);
