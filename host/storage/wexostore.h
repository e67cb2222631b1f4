#pragma once
// The database behind the data module and the form store: an SQLite file by
// default, a shared PostgreSQL server when WEXO_DATABASE names one. This file
// knows the schema; the connection (wexoconnection.h) knows the server.
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

#include "storage/wexoconnection.h"

// What one read of the database can bring, combined as bits.
enum TWexoPart : int {
  wpParameters = 1,
  wpSettings = 2,   // this workstation's settings
  wpFormStore = 4,  // this workstation's stored window settings
  wpClients = 8,    // clients and branches
  wpMenu = 16,      // this workstation's visible menu items
  wpPermissions = 32,
  wpOpenWork = 64,  // the counts of open pending work
  wpQuickEntries = 128,
  wpAll = 255
};

struct TStoredMenuInfo {
  QString Caption;
  QString Area;
  qint32 Tag = 0;
  bool Visible = false;
};

struct TStoredQuickEntry {
  qint64 Id = 0;
  QString Name;
  QString Operation;
  QString Arguments;
};

// Open pending work, counted by kind, sub kind, client and branch.
struct TWexoOpenWork {
  struct Key {
    QString Kind;
    int Subkind = 0;
    int Client = 0;
    int Branch = 0;
    bool operator==(const Key &) const = default;
  };
  // Version: the order in which totals of one key were written (0: not known).
  struct Total {
    Key Of;
    int Count = 0;
    qint64 Version = 0;
  };
  QList<Total> Totals;
  QDateTime Now;       // the moment the due resubmissions were counted for
  int WdvoAhead = 0;   // open resubmissions due after today
  int WdvoLater = 0;   // open resubmissions due later today
  // Sum over the totals that match (negative sub kind, client or branch: any).
  int Count(const QString &kind, int subkind = -1, int client = -1, const QList<int> &branches = {}) const;
  // Resubmissions due at `Now`.
  int WdvoDue() const;
};

// Everything a start or a refresh reads, brought in one round trip.
struct TWexoSnapshot {
  int Parts = 0;
  QMap<QString, QString> Parameters;
  QMap<QString, QString> Settings;
  // form id → property → value; values above the limit are listed apart, unread.
  QMap<QString, QMap<QString, QString>> FormStore;
  QMap<QString, QStringList> FormStoreOversize;
  QList<std::pair<int, QString>> Clients;
  QList<std::tuple<int, int, QString>> Branches;
  QList<TStoredMenuInfo> MenuInfos;
  QSet<qint32> Forbidden;
  QList<TStoredQuickEntry> QuickEntries;
  TWexoOpenWork OpenWork;
};

class TWexoStore {
public:
  static constexpr int SchemaVersion = 8;
  // What a PostgreSQL starter sends first in the schema's transaction: its
  // limits, then the lock that lets one starter create or update the schema.
  static QString SchemaLockStatement();
  // Compares the counters of one kind of open work with a count of its rows;
  // a mismatch is written to the error log and returned as text (empty: exact).
  QString CheckCounters(const QString &kind) const;
  // A stored window setting longer than this (in bytes) is not read at all.
  static constexpr int MaxFormValueLength = 64 * 1024;
  // The expression for the length of a text column in bytes.
  static QString ByteLength(bool postgres, const QString &column);

  // Opens (and creates, migrates and seeds when new) the database that
  // WEXO_DATABASE or the default location names. Throws EWexoStoreError with a
  // German message naming the database when it cannot be used.
  static TWexoStore *Open(const QString &location = QString());
  ~TWexoStore();

  // The store of this process: set once by whoever wires the program (the
  // data module for its store), or null.
  static TWexoStore *Current();
  static void SetCurrent(TWexoStore *store);
  static QString DefaultLocation();

  TWexoConnection *Connection() const { return FConnection.get(); }
  QString Location() const { return FConnection->Location(); }
  bool IsPostgres() const { return FConnection->IsPostgres(); }

  // Runs a statement with positional parameters; throws on failure.
  TWexoRows Exec(const QString &sql, const QVariantList &params = {}) const;
  // Runs a statement without parameters as it stands (schema changes).
  void ExecDirect(const QString &sql) const;
  // First column of the first row, or the default when there is none.
  QVariant Scalar(const QString &sql, const QVariantList &params = {}, const QVariant &def = {}) const;
  // Runs the body in one transaction; rolls back and rethrows on failure.
  void Transaction(const std::function<void()> &body) const;

  // Reads the parts asked for: within a read batch all parts of the batch come
  // with the first read and are served from it; outside one, each read goes
  // to the database.
  TWexoSnapshot Read(int parts) const;
  // Forgets what a batch has read (after a write that changes it).
  void Forget() const;
  // The counts of open work with the due resubmissions counted for another moment.
  TWexoOpenWork OpenWorkAt(const QDateTime &when) const { return Load(wpOpenWork, when).OpenWork; }

  // Writes a journal row and answers the fault stored for the operation, if any, in one statement.
  // `via` names what opened it when the user did not choose it directly ("Programmstart", a quick entry).
  QString JournalAndFault(const QString &terminal, const QString &operation, const QString &arguments,
                          const QString &via = QString()) const;

  // Brings the schema to this program's version; `known` is the version read already, or -1.
  void Migrate(int known = -1);
  void SeedDemoData();

private:
  friend class TWexoReadBatch;
  TWexoStore() = default;
  QStringList CheckOwnDatabase();
  int StoredVersion() const;
  int ReadVersion() const;
  bool HasTable(const QString &name) const;
  QVariant DirectScalar(const QString &sql) const;
  void MigrateLocked();
  void MigrateTo1();
  void MigrateTo2();
  void MigrateTo3();
  void MigrateTo4();
  void MigrateTo5();
  void MigrateTo6();
  void MigrateTo7();
  void MigrateTo8();
  void NormaliseDueTimesOnPostgres();
  void PushOpenWorkTotals();
  void CountDaysAnew();
  void CountTotalsAnew();
  void KeepOpenWorkCounted(const QString &table, const QString &sqlitePrefix, const QString &postgresName,
                           bool perDay);
  TWexoSnapshot Load(int parts, const QDateTime &now = QDateTime::currentDateTime()) const;

  std::unique_ptr<TWexoConnection> FConnection;
  // Read batches of this store: how deep, which parts, and which batch the snapshot is of.
  mutable TWexoSnapshot FBatchSnapshot;
  mutable int FBatchGeneration = -1;
  mutable int FBatchDepth = 0;
  mutable int FBatchParts = 0;
  mutable int FBatchCount = 0;
};

// While one exists, reads of its store come from one round trip. A null store: no batch.
class TWexoReadBatch {
public:
  explicit TWexoReadBatch(const TWexoStore *store, int parts = wpAll);
  ~TWexoReadBatch();
  TWexoReadBatch(const TWexoReadBatch &) = delete;
  TWexoReadBatch &operator=(const TWexoReadBatch &) = delete;

private:
  const TWexoStore *FStore;
};
