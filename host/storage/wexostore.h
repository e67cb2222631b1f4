#pragma once
// The database behind the data module and the form store: an SQLite file by
// default, a shared PostgreSQL server when WEXO_DATABASE names one.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <stdexcept>

class EWexoStoreError : public std::runtime_error {
public:
  explicit EWexoStoreError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

class TWexoStore {
public:
  static constexpr int SchemaVersion = 3;

  // Opens (and creates, migrates and seeds when new) the database that
  // WEXO_DATABASE or the default location names. Throws EWexoStoreError with a
  // German message naming the database when it cannot be used.
  static TWexoStore *Open(const QString &location = QString());
  ~TWexoStore();

  // The store of this process, or null before one was opened.
  static TWexoStore *Current();
  static QString DefaultLocation();

  QSqlDatabase Db() const { return QSqlDatabase::database(FConnection, false); }
  QString Location() const { return FLocation; }
  bool IsPostgres() const { return FPostgres; }

  // Runs a statement with positional parameters; throws on failure.
  QSqlQuery Exec(const QString &sql, const QVariantList &params = {}) const;
  // Runs a statement without parameters as it stands (schema changes).
  void ExecDirect(const QString &sql) const;
  // First column of the first row, or the default when there is none.
  QVariant Scalar(const QString &sql, const QVariantList &params = {}, const QVariant &def = {}) const;
  // Runs the body in one transaction; rolls back and rethrows on failure.
  void Transaction(const std::function<void()> &body) const;

  void Migrate();
  // Open pending work of a kind (all sub kinds when subkind < 0), read from the
  // counters the database keeps up to date, never from the work rows themselves.
  int OpenWorkCount(const QString &kind, int subkind = -1) const;
  void SeedDemoData();

private:
  TWexoStore() = default;
  void Connect(const QString &location);
  void CheckReadable();
  int StoredVersion() const;
  void MigrateTo1();
  void MigrateTo2();
  void MigrateTo3();
  void KeepOpenWorkCounted(const QString &table, const QString &sqlitePrefix, const QString &postgresName,
                           bool perDay);

  QString FConnection;
  QString FLocation;
  bool FPostgres = false;
};
