#pragma once
// The one connection of the program to its database: opens and checks it,
// keeps prepared statements for its life, tells a lock from damage, notices a
// lost server and comes back by itself, and turns changes of the open work
// made anywhere into one signal.
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "framework/qvnframework.h"

class QSqlQuery;
class QSocketNotifier;
class QThread;

class EWexoStoreError : public std::runtime_error {
public:
  explicit EWexoStoreError(const QString &message) : std::runtime_error(message.toStdString()) {}
};
// The database cannot be reached just now; what was read last may stand in.
class EWexoUnreachable : public EWexoStoreError {
  using EWexoStoreError::EWexoStoreError;
};
// The server cannot be reached; the connection tries again by itself.
class EWexoOffline : public EWexoUnreachable {
  using EWexoUnreachable::EWexoUnreachable;
};
// A write was sent and no answer came: it may have been saved or not.
class EWexoUncertain : public EWexoOffline {
  using EWexoOffline::EWexoOffline;
};
// Another program or workstation holds a lock longer than the busy timeout.
class EWexoLocked : public EWexoUnreachable {
  using EWexoUnreachable::EWexoUnreachable;
};
// The database reported damage; nothing is written to it any more. Told once per run.
class EWexoDamaged : public EWexoStoreError, public TQVNOncePerRun {
  using EWexoStoreError::EWexoStoreError;
};
// The database or this user may not be written to.
class EWexoReadOnly : public EWexoStoreError {
  using EWexoStoreError::EWexoStoreError;
};
// Two writers got in each other's way (a deadlock); the transaction may run again.
class EWexoConflict : public EWexoStoreError {
  using EWexoStoreError::EWexoStoreError;
};

// A result read completely: rows of values, walked like a query.
class TWexoRows {
public:
  bool next() { return ++FPos < Rows.size(); }
  QVariant value(int column) const { return Rows.at(FPos).value(column); }
  qsizetype size() const { return Rows.size(); }
  int numRowsAffected() const { return Affected; }

  QList<QVariantList> Rows;
  int Affected = 0;

private:
  qsizetype FPos = -1;
};

struct TWexoConnectionState {
  bool Online = true;
  bool Damaged = false;
  bool ReadOnly = false;
  bool Locked = false; // another program has held a lock for a while (SQLite)
  QDateTime NextTry;   // the next attempt in the background
  QString Reason;      // the driver's last reason, for the user
};

// Shows an address without its password, whatever its scheme.
QString WexoRedactLocation(const QString &location);

class TWexoConnection : public QObject {
  Q_OBJECT
public:
  // Longest wait for a server: connecting, and any one statement.
  static constexpr int ServerTimeoutSeconds = 5;
  // The server gives up first, so that what the client gives up on is not
  // left running there: a lock wait, then any statement.
  static constexpr int ServerLockTimeoutMs = 3000;
  static constexpr int ServerStatementTimeoutMs = 4000;
  // Creating or updating the schema: the wait for another starter, how long
  // a starter may stop inside it before the server ends its session, and
  // the longest statement.
  static constexpr int SchemaLockSeconds = 30;
  static constexpr int SchemaIdleSeconds = 20;
  static constexpr int SchemaStatementSeconds = 60;
  // A start that meets a server at its connection limit (or starting) tries this long.
  static constexpr int StartBusySeconds = 30;
  // The channel on which the server tells changes of the open work.
  static constexpr const char *OpenWorkChannel = "wexo_open_work";
  // Behind a transaction pooler: how often a shown window reads the change counter.
  static constexpr int PooledWatchMs = 1500;
  static constexpr int BusyTimeoutMs = 5000;
  // A lock held this long by another program is shown, as a lost server is.
  static constexpr int LockShownAfterMs = 5000;

  // Opens the database the location names; throws EWexoStoreError with a
  // German message naming it (without password) when it cannot be opened.
  explicit TWexoConnection(const QString &location);
  ~TWexoConnection() override;

  bool IsPostgres() const { return FPostgres; }
  bool IsPooled() const { return FPooled; }
  // The address as the user may read it: no password.
  QString Location() const { return FDisplay; }
  QSqlDatabase Db() const { return QSqlDatabase::database(FName, false); }

  // Runs a statement with positional parameters, prepared once for the life
  // of the connection, and reads its whole result.
  TWexoRows Exec(const QString &sql, const QVariantList &params = {});
  // Runs a statement as it stands, unprepared (schema changes, one-off checks).
  TWexoRows ExecDirect(const QString &sql);
  // Runs the body in one transaction (on SQLite taking the write lock at
  // once); rolls back and rethrows on failure. A body interrupted by a lost
  // server or a deadlock runs again once the connection is back.
  void Transaction(const std::function<void()> &body);

  TWexoConnectionState State() const;
  bool ReadOnly() const { return FReadOnly; }
  bool Damaged() const { return FDamaged; }
  void SetReadOnly(bool readOnly, const QString &reason);
  // Whether a write may go to the database now; waits briefly for the check
  // of the file that runs in the background since the start.
  bool Writable();
  // Checks an SQLite file in the background for at most CheckBudgetMs: damage
  // in pages no read touches is found before anything is written, and a check
  // not done by then (a large file, slow storage) is stopped, never kept
  // holding a lock that a write of this program would wait for.
  void StartBackgroundCheck();
  static constexpr int CheckBudgetMs = 1000;

  // While on, changes of the open work made anywhere raise OpenWorkChanged:
  // PostgreSQL notifies, SQLite is asked for its data version every 2 s.
  void WatchOpenWork(bool on);
  // The schema's limits instead of a statement's (a migration may take long and waits for other starters).
  void SetLongRunning(bool on) { FLongRunning = on; }
  void SetBusyTimeout(int ms);
  // For a read the program makes by itself (a refresh after a change elsewhere):
  // the rest of this turn does not wait for another program's lock.
  void NoLockWaitThisTurn() { LockedThisTurn(); }
  // Whether a statement writes (a read-only or damaged database refuses it).
  static bool IsWrite(const QString &sql);
  // What a failed statement means, from the driver's code and text.
  enum class TFailure { None, Other, Lost, Locked, Damaged, ReadOnly, Conflict, Stale, Cancelled };
  static TFailure ClassifyError(bool postgres, bool connectionOpen, const QString &code, const QString &text);
  // Whether a refused connection is a server or pooler busy for the moment,
  // and the refusal in German with libpq's sentence after it.
  static bool IsBusyRefusal(const QString &reason);
  static QString ConnectReason(const QString &reason);

  // Round trips are what a slow link costs: tests and the benchmark count statements.
  int StatementsSent() const { return FSent; }

Q_SIGNALS:
  void StateChanged();
  void Reconnected();
  void OpenWorkChanged();
  // The server told the new totals of open work of one client and branch.
  void OpenWorkPushed(const QString &payload);
  // Damage the background check found, with the German message for the user
  // (the same text a statement meeting the damage throws).
  void DamageFound(const QString &message);

private:

  void Open();
  void OpenSqlite(const QString &location);
  void OpenPostgres(const QString &location);
  TWexoRows Run(const QString &sql, const QVariantList &params, bool prepared);
  TWexoRows RunOnce(const QString &sql, const QVariantList &params, bool prepared, TFailure &failure,
                    QString &reason);
  bool ExecWatched(QSqlQuery &q, const QString *text, bool &timedOut);
  TWexoRows Complete(QSqlQuery &q, bool ok, bool timedOut,
                     const std::function<TWexoRows(const QSqlError &, bool)> &fail);
  QString PostgresExecute(const QString &sql, const QVariantList &params, QSqlError &error, bool &timedOut);
  QSqlQuery *SqlitePrepared(const QString &sql, const QVariantList &params, QSqlError &error);
  [[noreturn]] void Throw(TFailure failure, const QString &reason);
  TFailure Classify(const QSqlError &error) const;
  void ClearStatements();
  void MarkLost(const QString &reason);
  void MarkOnline();
  bool ReconnectNow();
  void SpendAttempt();
  void ScheduleRetry();
  void StartProbe();
  void TakeOver(const QString &name, bool listening);
  void CloseSession();
  static QString PooledLimits();
  void CheckSessionBeforeSending();
  // Change watching (wexoconnection_watch.cpp).
  void SetUpWatch();
  static QString ListenStatement();
  void Listen();
  void StartListener();
  void StopListening();
  void ReadNotifications();
  void TakeQueuedNotifications();
  void Notified(const QString &payload);
  void CheckDataVersion();
  void CheckChangeCounter();
  QString WithValues(const QString &sql, const QVariantList &params) const;
  void LockedThisTurn();
  static int OnBusy(void *connection, int count);
  void SetLockWait(int ms);
  // Damage found by a statement or by the background check: said once, nothing written after.
  void ReportDamage(const QString &reason);
  QString DamageMessage() const;
  static QString Numbered(const QString &sql);

  QString FName;
  QString FLocation; // as given, with password: only ever handed to the driver
  QString FDisplay;
  bool FPostgres = false;
  // Connection parameters of a PostgreSQL server (libpq's, quoted), kept to connect again.
  QString FPassword, FOptions;
  bool FPooled = false; // behind a transaction pooler: no session state

  // SQLite: prepared queries; PostgreSQL: names of statements prepared in the session.
  std::unordered_map<std::string, std::unique_ptr<QSqlQuery>> FPrepared;
  std::unordered_map<std::string, QString> FPgPrepared;
  int FPgNames = 0;
  bool FTimedOut = false;
  int FSent = 0;
  bool FInTransaction = false;
  bool FLongRunning = false;

  bool FOnline = true;
  bool FReadOnly = false;
  bool FDamaged = false;
  QString FDamageReason; // the first damage found: one text for every report of it
  QString FReason;
  QDateTime FNextTry;
  bool FTriedThisTurn = false;
  bool FFailFast = false;
  int FBusyTimeout = BusyTimeoutMs;
  bool FOwnBusyHandler = false;
  int FBusyWaitMs = BusyTimeoutMs;
  QElapsedTimer FBusyClock;
  bool FBusyCursor = false;
  QElapsedTimer FLockedSince;
  bool FLocked = false;
  int FRetryStep = 0;
  QTimer FRetryTimer;
  QPointer<QThread> FProbe;

  bool FWatching = false;
  bool FListening = false; // the session has said LISTEN
  // Watches the socket of the session that listens; replaced with the session.
  std::unique_ptr<QSocketNotifier> FListener;
  bool FQueuedCheckDue = false;
  QTimer FWatchTimer;
  qint64 FDataVersion = -1;

  class TWatchdog;
  std::unique_ptr<TWatchdog> FWatchdog;
  struct TCheck;
  std::shared_ptr<TCheck> FCheck;
  QPointer<QThread> FCheckThread;
  void TakeCheckVerdict(bool beforeWrite);
};
