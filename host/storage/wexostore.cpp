#include "storage/wexostore.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include "framework/qvnframework.h"

namespace {
TWexoStore *gCurrent = nullptr;

// Everything one read may bring, as one statement: each part is switched on by
// a bit of its own parameter, so the same prepared statement serves every read.
// Columns: part, three texts, four numbers.
const QString &SnapshotSql(bool postgres) {
  static const auto make = [](bool pg) { return QStringLiteral(
      "SELECT 'P', name, value, '', 0, 0, 0, 0 FROM parameters WHERE (? & 1) <> 0 "
      "UNION ALL SELECT 'S', name, value, '', 0, 0, 0, 0 FROM workstation_settings WHERE (? & 2) <> 0 AND "
      "terminal_id = ? "
      "UNION ALL SELECT 'F', form_id, property, CASE WHEN %2 <= %1 THEN value ELSE '' END, %2, "
      "0, 0, 0 FROM form_store WHERE (? & 4) <> 0 AND index_name = ? "
      "UNION ALL SELECT 'C', name, '', '', id, 0, 0, 0 FROM clients WHERE (? & 8) <> 0 "
      "UNION ALL SELECT 'B', name, '', '', client_id, nr, 0, 0 FROM branches WHERE (? & 8) <> 0 "
      "UNION ALL SELECT 'M', caption, area, '', tag, visible, position, 0 FROM menu_infos WHERE (? & 16) <> 0 AND "
      "terminal_id = ? "
      "UNION ALL SELECT 'R', '', '', '', tag, 0, 0, 0 FROM menu_permissions WHERE (? & 32) <> 0 AND "
      "terminal_id IN ('*', ?) "
      "UNION ALL SELECT 'W', kind, %3, '', subkind, client_id, branch_nr, open_count FROM pending_totals WHERE "
      "(? & 64) <> 0 AND (open_count <> 0 %4) "
      "UNION ALL SELECT 'A', '', '', '', COALESCE(SUM(open_count), 0), 0, 0, 0 FROM pending_counts WHERE (? & 64) <> 0 "
      "AND kind = 'WDVO' AND subkind = 0 AND due_day > ? "
      "UNION ALL SELECT 'L', '', '', '', COUNT(*), 0, 0, 0 FROM pending_work WHERE (? & 64) <> 0 AND kind = 'WDVO' "
      "AND done = 0 AND subkind = 0 AND due_at > ? AND due_at < ? "
      "UNION ALL SELECT 'Q', name, operation, arguments, id, position, 0, 0 FROM quick_entries WHERE (? & 128) <> 0")
                               .arg(TWexoStore::MaxFormValueLength)
                               .arg(TWexoStore::ByteLength(pg, QStringLiteral("value")))
                               // A total's version tells pushed totals from older ones; zero totals carry one too.
                               .arg(pg ? QStringLiteral("CAST(version AS TEXT)") : QStringLiteral("''"),
                                    pg ? QStringLiteral("OR version <> 0") : QString()); };
  static const QString sqlite = make(false), postgresql = make(true);
  return postgres ? postgresql : sqlite;
}
} // namespace

int TWexoOpenWork::Count(const QString &kind, int subkind, int client, const QList<int> &branches) const {
  int sum = 0;
  for (const auto &[key, count, version] : Totals)
    if (key.Kind == kind && (subkind < 0 || key.Subkind == subkind) && (client < 0 || key.Client == client) &&
        (branches.isEmpty() || branches.contains(key.Branch)))
      sum += count;
  return sum;
}

// Due are all open resubmissions (those without a date among them) except the
// ones still ahead: the days after today, and today's after `Now`.
int TWexoOpenWork::WdvoDue() const { return Count(QStringLiteral("WDVO"), 0) - WdvoAhead - WdvoLater; }

TWexoReadBatch::TWexoReadBatch(const TWexoStore *store, int parts) : FStore(store) {
  if (!FStore)
    return;
  if (FStore->FBatchDepth++ == 0) {
    ++FStore->FBatchCount;
    FStore->FBatchParts = 0;
  }
  FStore->FBatchParts |= parts;
}

TWexoReadBatch::~TWexoReadBatch() {
  if (FStore && --FStore->FBatchDepth == 0)
    FStore->FBatchParts = 0;
}

TWexoStore *TWexoStore::Current() { return gCurrent; }
void TWexoStore::SetCurrent(TWexoStore *store) { gCurrent = store; }

// Bytes, not characters: SQLite's length() of a text stops at its first NUL.
QString TWexoStore::ByteLength(bool postgres, const QString &column) {
  return postgres ? QStringLiteral("octet_length(%1)").arg(column) : QStringLiteral("length(CAST(%1 AS BLOB))").arg(column);
}

QString TWexoStore::DefaultLocation() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  return dir + QStringLiteral("/wexo.sqlite");
}

TWexoStore *TWexoStore::Open(const QString &location) {
  QString where = location;
  if (where.isEmpty())
    where = qEnvironmentVariable("WEXO_DATABASE");
  if (where.isEmpty())
    where = DefaultLocation();
  auto store = std::unique_ptr<TWexoStore>(new TWexoStore);
  store->FConnection = std::make_unique<TWexoConnection>(where);
  const QStringList tables = store->CheckOwnDatabase();
  // The table list tells already whether there is a version to read.
  store->Migrate(tables.contains(QLatin1String("schema_version")) ? store->ReadVersion() : 0);
  store->FConnection->StartBackgroundCheck();
  return store.release();
}

TWexoStore::~TWexoStore() {
  if (gCurrent == this)
    gCurrent = nullptr;
}

// Reads before anything is written, so a damaged, locked or foreign file stays
// as it is: only an empty database or one of this program is taken.
QStringList TWexoStore::CheckOwnDatabase() {
  QStringList tables;
  bool readOnly = FConnection->ReadOnly();
  QString readOnlyReason;
  try {
    if (IsPostgres()) {
      TWexoRows rows = FConnection->ExecDirect(QStringLiteral(
          "SELECT (SELECT string_agg(table_name, ',') FROM information_schema.tables WHERE table_schema = "
          "current_schema() AND table_type = 'BASE TABLE'), current_setting('transaction_read_only'), "
          "has_schema_privilege(current_schema(), 'CREATE'), CASE WHEN to_regclass('form_store') IS NULL THEN true "
          "ELSE has_table_privilege('form_store', 'INSERT') AND has_table_privilege('form_store', 'UPDATE') END, "
          "current_schema() IS NULL"));
      rows.next();
      // Without a schema to look in, every table seems missing: said as what it is.
      if (rows.value(4).toBool())
        throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ kann nicht benutzt werden: der Suchpfad "
                                             "(search_path) des Benutzers nennt kein vorhandenes Schema. Sie wurde "
                                             "nicht verändert. Bitte lassen Sie den Suchpfad einstellen (zum "
                                             "Beispiel ALTER ROLE … SET search_path = public).")
                                  .arg(Location()));
      tables = rows.value(0).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
      if (rows.value(1).toString() == QLatin1String("on")) {
        readOnly = true;
        readOnlyReason = QStringLiteral("der Server nimmt nur Lesezugriffe an");
      } else if (!rows.value(3).toBool() || (tables.isEmpty() && !rows.value(2).toBool())) {
        readOnly = true;
        readOnlyReason = QStringLiteral("der Benutzer darf nicht schreiben");
      }
    } else {
      TWexoRows rows = FConnection->ExecDirect(
          QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"));
      while (rows.next())
        tables << rows.value(0).toString();
      FConnection->ExecDirect(QStringLiteral("PRAGMA foreign_keys = ON"));
    }
  } catch (const EWexoDamaged &e) {
    throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ ist beschädigt oder keine Datenbank (%2). Sie wurde "
                                         "nicht verändert.")
                              .arg(Location(), FConnection->State().Reason));
  }
  if (!tables.isEmpty() && !tables.contains(QLatin1String("schema_version")))
    throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ gehört nicht zu diesem Programm: sie enthält Tabellen, "
                                         "aber keine Schemaversion der Artikelverwaltung. Sie wurde nicht verändert.")
                              .arg(Location()));
  if (readOnly && !FConnection->ReadOnly())
    FConnection->SetReadOnly(true, readOnlyReason);
  return tables;
}

QVariant TWexoStore::DirectScalar(const QString &sql) const {
  return FConnection->ExecDirect(sql).Rows.value(0).value(0);
}

// Asked unprepared: during a migration the table may come and go.
bool TWexoStore::HasTable(const QString &name) const {
  return IsPostgres() ? DirectScalar(QStringLiteral("SELECT to_regclass('%1') IS NOT NULL").arg(name)).toBool()
                      : DirectScalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                                    "name = '%1'")
                                         .arg(name))
                                .toInt() > 0;
}

// The highest version stored; a value that is no plain number in range is
// no version of this program, and the database is left as it is.
int TWexoStore::ReadVersion() const {
  static const QRegularExpression plain(QStringLiteral("^[0-9]{1,6}$"));
  int version = 0;
  TWexoRows rows = FConnection->ExecDirect(QStringLiteral("SELECT version FROM schema_version"));
  while (rows.next()) {
    const QString text = rows.value(0).toString();
    if (!plain.match(text).hasMatch())
      throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ hat eine unlesbare Schemaversion („%2“). Sie wurde "
                                           "nicht verändert; bitte wenden Sie sich an Ihre Systembetreuung.")
                                .arg(Location(), text.left(40)));
    version = qMax(version, text.toInt());
  }
  return version;
}

int TWexoStore::StoredVersion() const { return HasTable(QStringLiteral("schema_version")) ? ReadVersion() : 0; }

TWexoRows TWexoStore::Exec(const QString &sql, const QVariantList &params) const {
  if (TWexoConnection::IsWrite(sql)) // a write may change what a read batch brought
    Forget();
  return FConnection->Exec(sql, params);
}

void TWexoStore::ExecDirect(const QString &sql) const {
  if (TWexoConnection::IsWrite(sql)) // a write may change what a read batch brought
    Forget();
  FConnection->ExecDirect(sql);
}

QVariant TWexoStore::Scalar(const QString &sql, const QVariantList &params, const QVariant &def) const {
  TWexoRows rows = Exec(sql, params);
  return rows.next() ? rows.value(0) : def;
}

void TWexoStore::Transaction(const std::function<void()> &body) const {
  Forget();
  FConnection->Transaction(body);
}

void TWexoStore::Forget() const { FBatchGeneration = -1; }

QString TWexoStore::JournalAndFault(const QString &terminal, const QString &operation, const QString &arguments,
                                   const QString &via) const {
  const QString at = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
  TWexoRows rows;
  // A database that takes no writes still opens its dialogs: they go unrecorded.
  if (!FConnection->Writable())
    rows = FConnection->Exec(QStringLiteral("SELECT message FROM operation_faults WHERE operation = ?"), {operation});
  else
    rows = FConnection->Exec(QStringLiteral("INSERT INTO operation_journal (at, terminal_id, operation, arguments, via) "
                                            "VALUES (?, ?, ?, ?, ?) RETURNING (SELECT message FROM operation_faults "
                                            "WHERE operation = ?)"),
                             {at, terminal, operation, arguments, via, operation});
  return rows.next() ? rows.value(0).toString() : QString();
}

TWexoSnapshot TWexoStore::Read(int parts) const {
  if (FBatchDepth == 0)
    return Load(parts);
  if (FBatchGeneration == FBatchCount && (FBatchSnapshot.Parts & parts) == parts)
    return FBatchSnapshot;
  FBatchSnapshot = Load(parts | FBatchParts);
  FBatchGeneration = FBatchCount;
  return FBatchSnapshot;
}

TWexoSnapshot TWexoStore::Load(int parts, const QDateTime &now) const {
  TWexoSnapshot s;
  s.Parts = parts;
  // The quick entries alone (after a command, a change of columns) are a
  // plain sorted read: they may be thousands, the other parts are few.
  if (parts == wpQuickEntries) {
    TWexoRows rows = FConnection->Exec(
        QStringLiteral("SELECT id, name, operation, arguments FROM quick_entries ORDER BY position, id"));
    s.QuickEntries.reserve(rows.size());
    while (rows.next())
      s.QuickEntries.append(TStoredQuickEntry{rows.value(0).toLongLong(), rows.value(1).toString(),
                                              rows.value(2).toString(), rows.value(3).toString()});
    return s;
  }
  const QString terminal = QVNInfoTerminalID();
  s.OpenWork.Now = now;
  const QString nowText = now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
  const QString today = now.date().toString(Qt::ISODate);
  const QString tomorrow = now.date().addDays(1).toString(Qt::ISODate);
  TWexoRows rows = FConnection->Exec(SnapshotSql(IsPostgres()), {parts, parts, terminal, parts, terminal, parts, parts, parts,
                                                     terminal, parts, terminal, parts, parts, today, parts, nowText,
                                                     tomorrow, parts});
  QList<std::pair<int, TStoredMenuInfo>> menu;
  QList<std::pair<std::pair<qint64, qint64>, TStoredQuickEntry>> entries;
  while (rows.next()) {
    const QString part = rows.value(0).toString();
    const QString t1 = rows.value(1).toString(), t2 = rows.value(2).toString(), t3 = rows.value(3).toString();
    const qint64 n1 = rows.value(4).toLongLong(), n2 = rows.value(5).toLongLong(), n3 = rows.value(6).toLongLong(),
                 n4 = rows.value(7).toLongLong();
    switch (part.isEmpty() ? ' ' : part.at(0).toLatin1()) {
    case 'P': s.Parameters.insert(t1, t2); break;
    case 'S': s.Settings.insert(t1, t2); break;
    case 'F':
      if (n1 > MaxFormValueLength)
        s.FormStoreOversize[t1] << t2;
      else
        s.FormStore[t1].insert(t2, t3);
      break;
    case 'C': s.Clients.append({int(n1), t1}); break;
    case 'B': s.Branches.append({int(n1), int(n2), t1}); break;
    case 'M': menu.append({int(n3), TStoredMenuInfo{t1, t2, qint32(n1), n2 != 0}}); break;
    case 'R': s.Forbidden.insert(qint32(n1)); break;
    case 'W': s.OpenWork.Totals.append({TWexoOpenWork::Key{t1, int(n1), int(n2), int(n3)}, int(n4), t2.toLongLong()}); break;
    case 'A': s.OpenWork.WdvoAhead = int(n1); break;
    case 'L': s.OpenWork.WdvoLater = int(n1); break;
    case 'Q': entries.append({{n2, n1}, TStoredQuickEntry{n1, t1, t2, t3}}); break;
    default: break;
    }
  }
  // The union has no order of its own: menu items by position, quick entries by position and id.
  std::stable_sort(menu.begin(), menu.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  for (const auto &m : menu)
    s.MenuInfos << m.second;
  std::sort(s.Clients.begin(), s.Clients.end());
  std::sort(s.Branches.begin(), s.Branches.end());
  std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  s.QuickEntries.reserve(entries.size());
  for (const auto &e : entries)
    s.QuickEntries << e.second;
  return s;
}

void TWexoStore::Migrate(int known) {
  const int version = known >= 0 ? known : StoredVersion();
  if (version > SchemaVersion)
    throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ hat die Schemaversion %2; dieses Programm kennt nur "
                                         "bis %3. Bitte installieren Sie eine neuere Programmversion. Die Datenbank "
                                         "wurde nicht verändert.")
                              .arg(Location())
                              .arg(version)
                              .arg(SchemaVersion));
  if (version == SchemaVersion)
    return;
  if (FConnection->ReadOnly())
    throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ ist schreibgeschützt (%2) und kann deshalb nicht %3 "
                                         "werden.")
                              .arg(Location(), FConnection->State().Reason,
                                   version == 0 ? QStringLiteral("angelegt") : QStringLiteral("aktualisiert")));
  // Creating, migrating and seeding happen once, whoever starts first: the
  // others wait for the lock and then find the schema complete.
  FConnection->SetLongRunning(true);
  const auto timeoutsBack = qScopeGuard([this] { FConnection->SetLongRunning(false); });
  try {
    Transaction([&] { MigrateLocked(); });
  } catch (const EWexoLocked &) {
    if (!IsPostgres())
      throw;
    throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ wird gerade von einem anderen Arbeitsplatz angelegt "
                                         "oder aktualisiert; nach %2 s wurde das Warten darauf aufgegeben. Bitte "
                                         "starten Sie das Programm in einigen Minuten erneut.")
                              .arg(Location())
                              .arg(TWexoConnection::SchemaLockSeconds));
  }
}

QString TWexoStore::CheckCounters(const QString &kind) const {
  TWexoRows rows = FConnection->Exec(
      QStringLiteral("SELECT (SELECT COALESCE(SUM(open_count), 0) FROM pending_totals WHERE kind = ?), "
                     "(SELECT COALESCE(SUM(open_count), 0) FROM pending_counts WHERE kind = ?), "
                     "(SELECT COUNT(*) FROM pending_work WHERE kind = ? AND done = 0)"),
      {kind, kind, kind});
  if (!rows.next())
    return {};
  const qint64 totals = rows.value(0).toLongLong(), days = rows.value(1).toLongLong(), open = rows.value(2).toLongLong();
  if (totals == open && days == open)
    return {};
  const QString mismatch = QStringLiteral("Die Zähler der offenen Arbeit „%1“ stimmen nicht: %2 gezählt (%3 nach "
                                          "Tagen), %4 offene Zeilen.")
                               .arg(kind)
                               .arg(totals)
                               .arg(days)
                               .arg(open);
  QVNInfo()->WriteLog(QStringLiteral("Zählerprüfung"), mismatch);
  return mismatch;
}

QString TWexoStore::SchemaLockStatement() {
  return QStringLiteral("SET LOCAL client_min_messages = warning; SET LOCAL lock_timeout = '%1s'; "
                        "SET LOCAL idle_in_transaction_session_timeout = '%2s'; SET LOCAL statement_timeout = '%3s'; "
                        "SELECT pg_advisory_xact_lock(2026120801)")
      .arg(TWexoConnection::SchemaLockSeconds)
      .arg(TWexoConnection::SchemaIdleSeconds)
      .arg(TWexoConnection::SchemaStatementSeconds);
}

// The schema steps, under the lock that lets one starter do them. On
// PostgreSQL the wait for that lock has a limit, and a starter that stops
// while holding it (a frozen or cut-off till) loses it after that limit, so
// no other start waits without end. Notices of the steps ("does not exist,
// skipping") are not for the user.
void TWexoStore::MigrateLocked() {
  if (IsPostgres())
    FConnection->ExecDirect(SchemaLockStatement());
  const int current = StoredVersion();
  if (current >= SchemaVersion)
    return;
  const bool fresh = current == 0 && !HasTable(QStringLiteral("clients"));
  // Each step goes with its version number in the one transaction. A new
  // step needs its line here and SchemaVersion raised with it.
  static_assert(SchemaVersion == 8);
  if (current < 1)
    MigrateTo1();
  if (current < 2)
    MigrateTo2();
  if (current < 3)
    MigrateTo3();
  if (current < 4)
    MigrateTo4();
  if (current < 5)
    MigrateTo5();
  if (current < 6)
    MigrateTo6();
  if (current < 7)
    MigrateTo7();
  if (current < 8)
    MigrateTo8();
  Exec(QStringLiteral("DELETE FROM schema_version"));
  Exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"), {SchemaVersion});
  if (fresh)
    SeedDemoData();
}

void TWexoStore::MigrateTo1() {
  const QString autoId = IsPostgres() ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
  const QStringList ddl = {
      "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)",
      "CREATE TABLE IF NOT EXISTS clients (id INTEGER PRIMARY KEY, name TEXT NOT NULL)",
      "CREATE TABLE IF NOT EXISTS branches (client_id INTEGER NOT NULL REFERENCES clients(id), nr INTEGER NOT NULL, "
      "name TEXT NOT NULL, PRIMARY KEY (client_id, nr))",
      "CREATE TABLE IF NOT EXISTS parameters (name TEXT PRIMARY KEY, value TEXT NOT NULL)",
      "CREATE TABLE IF NOT EXISTS workstation_settings (terminal_id TEXT NOT NULL, name TEXT NOT NULL, "
      "value TEXT NOT NULL, PRIMARY KEY (terminal_id, name))",
      "CREATE TABLE IF NOT EXISTS menu_infos (terminal_id TEXT NOT NULL, tag INTEGER NOT NULL, position INTEGER NOT "
      "NULL, caption TEXT NOT NULL, area TEXT NOT NULL, visible INTEGER NOT NULL, PRIMARY KEY (terminal_id, tag))",
      "CREATE TABLE IF NOT EXISTS menu_permissions (terminal_id TEXT NOT NULL, tag INTEGER NOT NULL, "
      "PRIMARY KEY (terminal_id, tag))",
      QStringLiteral("CREATE TABLE IF NOT EXISTS quick_entries (id %1, position INTEGER NOT NULL, name TEXT NOT NULL, "
                     "operation TEXT NOT NULL, arguments TEXT NOT NULL)")
          .arg(autoId),
      "CREATE INDEX IF NOT EXISTS quick_entries_position ON quick_entries (position)",
      "CREATE TABLE IF NOT EXISTS form_store (form_id TEXT NOT NULL, index_name TEXT NOT NULL, property TEXT NOT "
      "NULL, value TEXT NOT NULL, PRIMARY KEY (form_id, index_name, property))",
      QStringLiteral("CREATE TABLE IF NOT EXISTS operation_journal (id %1, at TEXT NOT NULL, terminal_id TEXT NOT "
                     "NULL, operation TEXT NOT NULL, arguments TEXT NOT NULL)")
          .arg(autoId),
      "CREATE TABLE IF NOT EXISTS operation_faults (operation TEXT PRIMARY KEY, message TEXT NOT NULL)",
      QStringLiteral("CREATE TABLE IF NOT EXISTS pending_work (id %1, kind TEXT NOT NULL, subkind INTEGER NOT NULL "
                     "DEFAULT 0, client_id INTEGER NOT NULL DEFAULT 0, branch_nr INTEGER NOT NULL DEFAULT 0, due_at "
                     "TEXT NOT NULL DEFAULT '', title TEXT NOT NULL DEFAULT '', done INTEGER NOT NULL DEFAULT 0)")
          .arg(autoId),
      "CREATE INDEX IF NOT EXISTS pending_work_open ON pending_work (kind, done, subkind, client_id, due_at)",
      "CREATE TABLE IF NOT EXISTS currencies (code TEXT PRIMARY KEY, name TEXT NOT NULL, selected INTEGER NOT NULL "
      "DEFAULT 0)",
  };
  for (const QString &statement : ddl)
    ExecDirect(statement);
}

// Triggers that keep a counter table of open pending work (open_count per kind,
// sub kind, client, branch and, perDay, due day) in step with every change of
// pending_work. SQLite gets three triggers named <sqlitePrefix>_ai/_ad/_au,
// PostgreSQL one trigger and function named postgresName.
void TWexoStore::KeepOpenWorkCounted(const QString &table, const QString &sqlitePrefix, const QString &postgresName,
                                     bool perDay) {
  const QString key = perDay ? QStringLiteral("(kind, subkind, client_id, branch_nr, due_day)")
                             : QStringLiteral("(kind, subkind, client_id, branch_nr)");
  const QString newValues = QStringLiteral("NEW.kind, NEW.subkind, NEW.client_id, NEW.branch_nr") +
                            (perDay ? QStringLiteral(", substr(NEW.due_at, 1, 10)") : QString());
  const QString oldMatch =
      QStringLiteral("kind = OLD.kind AND subkind = OLD.subkind AND client_id = OLD.client_id AND "
                     "branch_nr = OLD.branch_nr") +
      (perDay ? QStringLiteral(" AND due_day = substr(OLD.due_at, 1, 10)") : QString());
  const QString removeOld =
      QStringLiteral("UPDATE %1 SET open_count = open_count - 1 WHERE OLD.done = 0 AND %2;").arg(table, oldMatch);
  if (IsPostgres()) {
    ExecDirect(QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger AS $$ BEGIN "
                              "IF TG_OP IN ('UPDATE', 'DELETE') AND OLD.done = 0 THEN %2 END IF; "
                              "IF TG_OP IN ('INSERT', 'UPDATE') AND NEW.done = 0 THEN "
                              "INSERT INTO %3 VALUES (%4, 1) "
                              "ON CONFLICT %5 DO UPDATE SET open_count = %3.open_count + 1; "
                              "END IF; RETURN NULL; END $$ LANGUAGE plpgsql")
                   .arg(postgresName, removeOld, table, newValues, key));
    ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON pending_work").arg(postgresName));
    ExecDirect(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE ON pending_work FOR EACH ROW "
                              "EXECUTE FUNCTION %1()")
                   .arg(postgresName));
    return;
  }
  const QString insertNew = QStringLiteral("INSERT INTO %1 SELECT %2, 1 WHERE NEW.done = 0 ON CONFLICT %3 DO UPDATE SET "
                                           "open_count = open_count + 1;")
                                .arg(table, newValues, key);
  const QString create = QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_%2 AFTER %3 ON pending_work BEGIN %4 END");
  ExecDirect(create.arg(sqlitePrefix, "ai", "INSERT", insertNew));
  ExecDirect(create.arg(sqlitePrefix, "ad", "DELETE", removeOld));
  // Only a change of what is counted moves a count: an update of the title or
  // the rewriting of a due time within its day (schema 4) leaves it alone,
  // whichever trigger SQLite fires first.
  const QString counted =
      QStringLiteral("OLD.done IS NOT NEW.done OR OLD.kind IS NOT NEW.kind OR OLD.subkind IS NOT NEW.subkind OR "
                     "OLD.client_id IS NOT NEW.client_id OR OLD.branch_nr IS NOT NEW.branch_nr") +
      (perDay ? QStringLiteral(" OR substr(OLD.due_at, 1, 10) IS NOT substr(NEW.due_at, 1, 10)") : QString());
  ExecDirect(QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_au AFTER UPDATE ON pending_work WHEN %2 BEGIN %3 END")
                 .arg(sqlitePrefix, counted, removeOld + ' ' + insertNew));
}

// Counters of open pending work per kind, sub kind, client, branch and due day,
// kept by triggers, so the task list's counts cost the same for a thousand or
// a million rows of work.
void TWexoStore::MigrateTo2() {
  ExecDirect("CREATE TABLE IF NOT EXISTS pending_counts (kind TEXT NOT NULL, subkind INTEGER NOT NULL, client_id "
             "INTEGER NOT NULL, branch_nr INTEGER NOT NULL, due_day TEXT NOT NULL, open_count INTEGER NOT NULL, "
             "PRIMARY KEY (kind, subkind, client_id, branch_nr, due_day))");
  // Covers the count of today's resubmissions and the overview lists without reading the rows.
  ExecDirect("DROP INDEX IF EXISTS pending_work_open");
  ExecDirect("CREATE INDEX IF NOT EXISTS pending_work_due ON pending_work (kind, done, subkind, due_at)");
  KeepOpenWorkCounted(QStringLiteral("pending_counts"), QStringLiteral("pending_work"),
                      QStringLiteral("pending_work_count"), true);
  CountDaysAnew();
}

// The day counters counted anew from the rows of open work.
void TWexoStore::CountDaysAnew() {
  ExecDirect("DELETE FROM pending_counts");
  ExecDirect("INSERT INTO pending_counts SELECT kind, subkind, client_id, branch_nr, substr(due_at, 1, 10), COUNT(*) "
             "FROM pending_work WHERE done = 0 GROUP BY kind, subkind, client_id, branch_nr, substr(due_at, 1, 10)");
}

// Totals of open pending work without the due day. The day counters alone made
// a count of all resubmissions sum one row per day of history (years of them);
// with the totals, that count subtracts only the days still ahead.
void TWexoStore::MigrateTo3() {
  ExecDirect("CREATE TABLE IF NOT EXISTS pending_totals (kind TEXT NOT NULL, subkind INTEGER NOT NULL, client_id "
             "INTEGER NOT NULL, branch_nr INTEGER NOT NULL, open_count INTEGER NOT NULL, "
             "PRIMARY KEY (kind, subkind, client_id, branch_nr))");
  // The days still ahead are a range of this index, not a pass over every day.
  ExecDirect("CREATE INDEX IF NOT EXISTS pending_counts_day ON pending_counts (kind, subkind, due_day, open_count)");
  KeepOpenWorkCounted(QStringLiteral("pending_totals"), QStringLiteral("pending_totals"),
                      QStringLiteral("pending_work_total"), false);
  CountTotalsAnew();
}

// The totals summed anew from the day counters.
void TWexoStore::CountTotalsAnew() {
  ExecDirect("DELETE FROM pending_totals");
  ExecDirect("INSERT INTO pending_totals SELECT kind, subkind, client_id, branch_nr, SUM(open_count) "
             "FROM pending_counts GROUP BY kind, subkind, client_id, branch_nr");
}

// Due times are compared as times: every accepted form (a date, or a date and
// a time with "T" or a blank between, seconds and fractions optional) is
// stored as YYYY-MM-DDTHH:MM:SS, whoever writes the row.
void TWexoStore::MigrateTo4() {
  if (IsPostgres()) {
    NormaliseDueTimesOnPostgres();
    // Every open window hears of a change of the open work, whoever made it.
    ExecDirect(QStringLiteral("CREATE OR REPLACE FUNCTION pending_work_changed() RETURNS trigger AS $$ BEGIN "
                              "PERFORM pg_notify('wexo_open_work', ''); RETURN NULL; END $$ LANGUAGE plpgsql"));
    ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_work_changed ON pending_work"));
    ExecDirect(QStringLiteral("CREATE TRIGGER pending_work_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON "
                              "pending_work FOR EACH STATEMENT EXECUTE FUNCTION pending_work_changed()"));
    return;
  }
  // SQLite cannot change the row a trigger is about to write; it corrects it
  // right after. The counters ignore that correction (same day): their update
  // triggers of older schemas are made anew with that rule.
  ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_work_au"));
  ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_totals_au"));
  KeepOpenWorkCounted(QStringLiteral("pending_counts"), QStringLiteral("pending_work"),
                      QStringLiteral("pending_work_count"), true);
  KeepOpenWorkCounted(QStringLiteral("pending_totals"), QStringLiteral("pending_totals"),
                      QStringLiteral("pending_work_total"), false);
  const QString norm = QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S', %1)");
  const QString needs = QStringLiteral("%1 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*' AND %2 IS NOT NULL AND "
                                       "%2 <> %1");
  const QString newNeeds = needs.arg(QStringLiteral("NEW.due_at"), norm.arg(QStringLiteral("NEW.due_at")));
  const QString fix = QStringLiteral("UPDATE pending_work SET due_at = %1 WHERE id = NEW.id;")
                          .arg(norm.arg(QStringLiteral("NEW.due_at")));
  ExecDirect(QStringLiteral("CREATE TRIGGER IF NOT EXISTS pending_work_due_ai AFTER INSERT ON pending_work WHEN %1 "
                            "BEGIN %2 END")
                 .arg(newNeeds, fix));
  ExecDirect(QStringLiteral("CREATE TRIGGER IF NOT EXISTS pending_work_due_au AFTER UPDATE OF due_at ON pending_work "
                            "WHEN %1 BEGIN %2 END")
                 .arg(newNeeds, fix));
  ExecDirect(QStringLiteral("UPDATE pending_work SET due_at = %1 WHERE %2")
                 .arg(norm.arg(QStringLiteral("due_at")),
                      needs.arg(QStringLiteral("due_at"), norm.arg(QStringLiteral("due_at")))));
}

// The search ranks dialogs by this workstation's use of the last 90 days: a
// range of this index, however long the journal grows.
// The PostgreSQL trigger that stores every accepted due time form as
// YYYY-MM-DDTHH:MM:SS, and the rows written before it. The patterns use
// character classes, not backslashes: a server or session with
// standard_conforming_strings off would read "\d" as "d".
void TWexoStore::NormaliseDueTimesOnPostgres() {
  const QString accepted =
      QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}([ T][0-9]{2}:[0-9]{2}(:[0-9]{2}([.][0-9]+)?)?)?$");
  ExecDirect(QStringLiteral("CREATE OR REPLACE FUNCTION pending_work_due() RETURNS trigger AS $$ BEGIN "
                            "IF NEW.due_at ~ '%1' THEN "
                            "NEW.due_at := to_char(NEW.due_at::timestamp, 'YYYY-MM-DD\"T\"HH24:MI:SS'); END IF; "
                            "RETURN NEW; END $$ LANGUAGE plpgsql")
                 .arg(accepted));
  ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_work_due ON pending_work"));
  ExecDirect(QStringLiteral("CREATE TRIGGER pending_work_due BEFORE INSERT OR UPDATE OF due_at ON pending_work "
                            "FOR EACH ROW EXECUTE FUNCTION pending_work_due()"));
  ExecDirect(QStringLiteral("UPDATE pending_work SET due_at = due_at WHERE due_at <> '' AND due_at !~ "
                            "'^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}$'"));
}

// Due times written while the pattern depended on standard_conforming_strings
// are normalised now; counters a TRUNCATE left standing are counted anew, and
// a TRUNCATE from now on empties them with the rows (row triggers do not fire
// for it).
void TWexoStore::MigrateTo7() {
  if (!IsPostgres())
    return;
  NormaliseDueTimesOnPostgres();
  // Windows behind a transaction pooler cannot listen: they read this
  // sequence, which every change counts up without a lock.
  ExecDirect(QStringLiteral("CREATE SEQUENCE IF NOT EXISTS open_work_changes"));
  ExecDirect(QStringLiteral("GRANT SELECT, USAGE ON SEQUENCE open_work_changes TO PUBLIC"));
  ExecDirect(QStringLiteral("CREATE OR REPLACE FUNCTION pending_work_changed() RETURNS trigger AS $$ BEGIN "
                            "PERFORM pg_notify('wexo_open_work', ''); PERFORM nextval('open_work_changes'); "
                            "RETURN NULL; END $$ LANGUAGE plpgsql"));
  PushOpenWorkTotals();
  ExecDirect(QStringLiteral("CREATE OR REPLACE FUNCTION pending_work_truncated() RETURNS trigger AS $$ BEGIN "
                            "DELETE FROM pending_counts; DELETE FROM pending_totals; RETURN NULL; END $$ "
                            "LANGUAGE plpgsql"));
  ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_work_truncated ON pending_work"));
  ExecDirect(QStringLiteral("CREATE TRIGGER pending_work_truncated AFTER TRUNCATE ON pending_work "
                            "FOR EACH STATEMENT EXECUTE FUNCTION pending_work_truncated()"));
  CountDaysAnew();
  CountTotalsAnew();
}

// A change of the open work tells every window the new totals it made, for
// each client and branch it touched: "wexo2|client|branch|-|KIND/subkind/
// count/version …", only the kinds the statement changed, so a window keeps
// what it knows of the others. A window refreshes its task list from that
// without a statement. Resubmissions (their due times count) and totals too
// long for a notification are announced with "W" or "*" instead: those
// windows read once. A TRUNCATE says "" (read).
void TWexoStore::PushOpenWorkTotals() {
  const QString changed = QStringLiteral("SELECT client_id || ':' || branch_nr || ':' || kind || ':' || subkind FROM %1");
  ExecDirect(QStringLiteral(
      "CREATE OR REPLACE FUNCTION pending_work_push() RETURNS trigger AS $$ "
      "DECLARE keys text[]; r record; totals text; payload text; BEGIN "
      "PERFORM nextval('open_work_changes'); "
      "IF TG_OP = 'INSERT' THEN SELECT array_agg(k) INTO keys FROM (%1) AS changed(k); "
      "ELSIF TG_OP = 'DELETE' THEN SELECT array_agg(k) INTO keys FROM (%2) AS changed(k); "
      "ELSE SELECT array_agg(k) INTO keys FROM (%1 UNION %2) AS changed(k); "
      "END IF; "
      "FOR r IN SELECT split_part(k, ':', 1)::int AS c, split_part(k, ':', 2)::int AS b, "
      "bool_or(split_part(k, ':', 3) = 'WDVO') AS w, "
      "array_agg(split_part(k, ':', 3) || '/' || split_part(k, ':', 4)) AS kinds "
      "FROM unnest(keys) AS k GROUP BY 1, 2 LOOP "
      "SELECT string_agg(kind || '/' || subkind || '/' || open_count || '/' || version, ' ' ORDER BY kind, subkind) "
      "INTO totals FROM pending_totals WHERE client_id = r.c AND branch_nr = r.b AND "
      "kind || '/' || subkind = ANY (r.kinds); "
      "payload := 'wexo2|' || r.c || '|' || r.b || '|' || CASE WHEN r.w THEN 'W' ELSE '-' END || '|' || "
      "COALESCE(totals, ''); "
      "IF octet_length(payload) > 7900 THEN payload := 'wexo2|' || r.c || '|' || r.b || '|*|'; END IF; "
      "PERFORM pg_notify('wexo_open_work', payload); "
      "END LOOP; RETURN NULL; END $$ LANGUAGE plpgsql")
                 .arg(changed.arg(QStringLiteral("new_rows")), changed.arg(QStringLiteral("old_rows"))));
  ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_work_changed ON pending_work"));
  ExecDirect(QStringLiteral("CREATE TRIGGER pending_work_changed AFTER TRUNCATE ON pending_work "
                            "FOR EACH STATEMENT EXECUTE FUNCTION pending_work_changed()"));
  const QString push = QStringLiteral("DROP TRIGGER IF EXISTS pending_work_push_%1 ON pending_work; "
                                      "CREATE TRIGGER pending_work_push_%1 AFTER %2 ON pending_work REFERENCING %3 "
                                      "FOR EACH STATEMENT EXECUTE FUNCTION pending_work_push()");
  ExecDirect(push.arg(QStringLiteral("i"), QStringLiteral("INSERT"), QStringLiteral("NEW TABLE AS new_rows")));
  ExecDirect(push.arg(QStringLiteral("u"), QStringLiteral("UPDATE"),
                      QStringLiteral("OLD TABLE AS old_rows NEW TABLE AS new_rows")));
  ExecDirect(push.arg(QStringLiteral("d"), QStringLiteral("DELETE"), QStringLiteral("OLD TABLE AS old_rows")));
}

// Every total carries the version it was written with: a number from one
// sequence, taken under the row's lock, so of two totals of one key the later
// written has the higher number, whatever order their notifications take. A
// window keeps the total with the highest version; the rows read stay the
// truth. Only adds: a program of schema 7 reads and writes as before.
void TWexoStore::MigrateTo8() {
  // An SQLite file is asked for its every change: no totals are pushed there.
  if (!IsPostgres())
    return;
  ExecDirect(QStringLiteral("CREATE SEQUENCE IF NOT EXISTS open_work_versions"));
  ExecDirect(QStringLiteral("GRANT SELECT, USAGE ON SEQUENCE open_work_versions TO PUBLIC"));
  ExecDirect(QStringLiteral("ALTER TABLE pending_totals ADD COLUMN IF NOT EXISTS version BIGINT NOT NULL DEFAULT 0"));
  ExecDirect(QStringLiteral("CREATE OR REPLACE FUNCTION pending_totals_version() RETURNS trigger AS $$ BEGIN "
                            "NEW.version := nextval('open_work_versions'); RETURN NEW; END $$ LANGUAGE plpgsql"));
  ExecDirect(QStringLiteral("DROP TRIGGER IF EXISTS pending_totals_version ON pending_totals"));
  ExecDirect(QStringLiteral("CREATE TRIGGER pending_totals_version BEFORE INSERT OR UPDATE ON pending_totals "
                            "FOR EACH ROW EXECUTE FUNCTION pending_totals_version()"));
  ExecDirect(QStringLiteral("UPDATE pending_totals SET version = 0"));
  PushOpenWorkTotals();
}

void TWexoStore::MigrateTo5() {
  ExecDirect(QStringLiteral("CREATE INDEX IF NOT EXISTS operation_journal_use ON operation_journal (terminal_id, at, "
                            "operation, arguments)"));
}

// What opened a dialog when the user did not choose it: the start's client
// choice, the dialog a quick entry runs. The search counts only the user's choices.
void TWexoStore::MigrateTo6() {
  // Like every step, safe to run again over a database that has it already.
  if (IsPostgres())
    ExecDirect(QStringLiteral("ALTER TABLE operation_journal ADD COLUMN IF NOT EXISTS via TEXT NOT NULL DEFAULT ''"));
  else if (DirectScalar(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('operation_journal') WHERE name = "
                                       "'via'"))
               .toInt() == 0)
    ExecDirect(QStringLiteral("ALTER TABLE operation_journal ADD COLUMN via TEXT NOT NULL DEFAULT ''"));
}

void TWexoStore::SeedDemoData() {
  const QList<std::pair<int, QString>> clients = {
      {1, "Modehaus Brandt GmbH"}, {2, "Sport & Freizeit Keller KG"}, {3, "Schuhhaus am Markt e.K."}};
  for (const auto &c : clients)
    Exec("INSERT INTO clients (id, name) VALUES (?, ?)", {c.first, c.second});
  const QList<std::tuple<int, int, QString>> branches = {
      {1, 1, "Zentrale Hannover"}, {1, 2, "Filiale Celle"},   {1, 3, "Filiale Hildesheim"},
      {2, 1, "Zentrale Freiburg"}, {2, 2, "Filiale Lörrach"}, {3, 1, "Stammhaus Bamberg"}};
  for (const auto &b : branches)
    Exec("INSERT INTO branches (client_id, nr, name) VALUES (?, ?, ?)",
         {std::get<0>(b), std::get<1>(b), std::get<2>(b)});
  const QList<std::pair<QString, QString>> parameters = {
      {"MANDLIEF", "N"}, {"QUERFAMA", "J"}, {"EXITERLAUBT", "J"}};
  for (const auto &p : parameters)
    Exec("INSERT INTO parameters (name, value) VALUES (?, ?)", {p.first, p.second});
  const QList<std::pair<QString, QString>> currencies = {
      {"EUR", "Euro"}, {"CHF", "Schweizer Franken"}, {"USD", "US-Dollar"}, {"GBP", "Pfund Sterling"},
      {"DKK", "Dänische Krone"}};
  for (const auto &c : currencies)
    Exec("INSERT INTO currencies (code, name, selected) VALUES (?, ?, ?)", {c.first, c.second, c.first == "EUR" ? 1 : 0});

  // Pending work of every kind the task list counts.
  const QDateTime now = QDateTime::currentDateTime();
  auto add = [&](const QString &kind, int subkind, int client, int branch, const QDateTime &due, const QString &title) {
    Exec("INSERT INTO pending_work (kind, subkind, client_id, branch_nr, due_at, title) VALUES (?, ?, ?, ?, ?, ?)",
         {kind, subkind, client, branch, due.isValid() ? due.toString(Qt::ISODate) : QString(), title});
  };
  add("WDVO", 0, 1, 0, now.addDays(-2), "Nachbestellung Jeans Slim Fit prüfen");
  add("WDVO", 0, 1, 0, now.addDays(-1), "Lieferantenrabatt Herbstware klären");
  add("WDVO", 0, 1, 0, now.addDays(-1), "Preisänderung Sneaker Classic");
  add("WDVO", 0, 1, 0, now.addDays(5), "Inventurvorbereitung Lager 2");
  add("BEDA", 0, 1, 0, {}, "Strickpullover Gr. M, 12 Stück");
  add("BEDA", 0, 1, 0, {}, "Wanderschuh Trail, 6 Paar");
  add("DIIM", 0, 1, 0, {}, "Importierte Auftragsposition 4711-01");
  add("SCAN", 0, 1, 0, {}, "Lieferung DESADV 88231");
  add("SCAN", 0, 1, 0, {}, "Lieferung DESADV 88232");
  add("SCAN", 0, 1, 0, {}, "Lieferung DESADV 88240");
  add("EXFE", 1, 1, 0, {}, "Export Artikelstamm: EAN fehlt");
  add("EXFE", 2, 1, 0, {}, "YUPA-Master: Lieferantennummer unbekannt");
  add("INVO", 0, 1, 0, {}, "INVOIC 2026-4411");
  add("INVO", 0, 1, 0, {}, "INVOIC 2026-4412");
  add("UNVO", 0, 1, 0, {}, "Rechnung 118 ohne Positionen");
  add("QUFA", 0, 1, 0, {}, "Querfaktura Filiale Celle");
  add("WAVE", 2, 1, 0, {}, "Verteilung Herbstkollektion");
  add("WAVE", 2, 1, 0, {}, "Verteilung Sportsocken");
  add("WAVE", 3, 1, 0, {}, "Verteilung Winterjacken (erledigt)");

  const QList<std::tuple<QString, QString, QString>> entries = {
      {"Wareneingang Artikelnummer", "WEArtikelBekannt", "false"},
      {"Offene Dispositionen", "DIDispositionenliste", "false"},
      {"Artikelübersicht", "ArtinfoUebersicht", ""},
      {"Rechnung erfassen", "Rechnungskontrolle", ""}};
  int position = 0;
  for (const auto &e : entries)
    Exec("INSERT INTO quick_entries (position, name, operation, arguments) VALUES (?, ?, ?, ?)",
         {position++, std::get<0>(e), std::get<1>(e), std::get<2>(e)});
}
