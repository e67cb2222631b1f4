#include "storage/wexoconnection.h"

#include "storage/nativeclient.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/socket.h>
#include <thread>

namespace {
// Pauses between attempts to reach a lost server: growing, never a busy loop.
constexpr int kRetrySeconds[] = {1, 2, 4, 8, 15, 30};

QString Describe(const QSqlError &e) {
  QString text = e.databaseText().trimmed();
  if (text.isEmpty())
    text = e.driverText().trimmed();
  if (text.isEmpty() && !e.nativeErrorCode().isEmpty())
    text = QStringLiteral("Fehlercode %1").arg(e.nativeErrorCode());
  if (text.isEmpty())
    text = QStringLiteral("der Datenbanktreiber nennt keinen Grund");
  // One line: the driver's texts carry line breaks and tabs.
  return text.simplified();
}

// A program without a screen (a tool, the benchmark) has no cursor to show.
bool HasScreen() { return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr; }

// Refusals of a server or pooler that pass by themselves: a connection limit
// reached, a server starting or stopping, a pooler that cannot reach it.
const QList<std::pair<QString, QString>> &BusyRefusals() {
  static const QList<std::pair<QString, QString>> refusals = {
      {"too many clients already", "der Server nimmt keine weiteren Verbindungen an (Verbindungsgrenze erreicht)"},
      {"remaining connection slots are reserved", "der Server nimmt keine weiteren Verbindungen an (Verbindungsgrenze erreicht)"},
      {"no more connections allowed", "der Verbindungspool nimmt keine weiteren Verbindungen an (max_client_conn erreicht)"},
      {"the database system is starting up", "der Server startet gerade"},
      {"the database system is not yet accepting connections", "der Server startet gerade"},
      {"the database system is in recovery mode", "der Server startet nach einem Absturz neu"},
      {"the database system is shutting down", "der Server fährt gerade herunter"},
      {"pgbouncer cannot connect to server", "der Verbindungspool erreicht den Datenbankserver nicht"},
      {"server login has been failing", "der Verbindungspool erreicht den Datenbankserver nicht"},
      {"query_wait_timeout", "der Verbindungspool hat keine freie Serververbindung"},
      {"pgbouncer is shutting down", "der Verbindungspool fährt gerade herunter"}};
  return refusals;
}
} // namespace

bool TWexoConnection::IsBusyRefusal(const QString &reason) {
  return std::any_of(BusyRefusals().cbegin(), BusyRefusals().cend(),
                     [&](const auto &r) { return reason.contains(r.first, Qt::CaseInsensitive); });
}

// libpq's sentence, after what it means in German where that is known.
QString TWexoConnection::ConnectReason(const QString &reason) {
  for (const auto &[english, german] : BusyRefusals())
    if (reason.contains(english, Qt::CaseInsensitive))
      return german + QStringLiteral(" – ") + reason;
  return reason;
}

namespace {


// What an administrator reads in pg_stat_activity: "wexo <workstation>", in
// the printable ASCII the server keeps (up to 63 bytes).
QString ApplicationName() {
  QString name = QStringLiteral("wexo ") + QVNInfoTerminalID();
  for (QChar &c : name)
    if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == QLatin1Char('\'') || c == QLatin1Char('\\'))
      c = QLatin1Char('?');
  return name.left(63);
}

// Takes an option of this program out of an address (URI query or key=value) and returns its value.
QString TakeOwnOption(QString &address, const QString &key) {
  const QRegularExpression inQuery(QStringLiteral("([?&])%1=([^&]*)(&?)").arg(key));
  const QRegularExpression inPairs(QStringLiteral("(^|\\s)%1\\s*=\\s*(\\S*)").arg(key));
  const bool uri = address.contains(QLatin1String("://"));
  const QRegularExpressionMatch m = (uri ? inQuery : inPairs).match(address);
  if (!m.hasMatch())
    return {};
  const QString value = QUrl::fromPercentEncoding(m.captured(2).toUtf8());
  if (uri) // "?a=1&pooling=x&b=2" keeps its "?" or "&" for the next option
    address.replace(m.capturedStart(), m.capturedLength(), m.captured(3).isEmpty() ? QString() : m.captured(1));
  else
    address.remove(m.capturedStart(), m.capturedLength());
  return value;
}

// key=value text names a PostgreSQL server when it starts with a parameter of libpq's.
bool IsKeyValueAddress(const QString &location) {
  static const QRegularExpression start(
      QStringLiteral("^\\s*(host|hostaddr|port|dbname|user|service|passfile|sslmode|target_session_attrs)\\s*="));
  return start.match(location).hasMatch();
}

// A null text would be stored as NULL; the tables keep texts, empty or not.
QVariant NotNullText(const QVariant &value) {
  return value.typeId() == QMetaType::QString && value.toString().isNull() ? QVariant(QStringLiteral("")) : value;
}

// SQLite's word for a file that is no (longer a) database.
bool IsSqliteDamage(const QSqlError &error) {
  return TWexoConnection::ClassifyError(false, true, error.nativeErrorCode(),
                                        error.databaseText() + QLatin1Char(' ') + error.driverText()) ==
         TWexoConnection::TFailure::Damaged;
}

const char *const kClosedByServer = "die Verbindung wurde vom Server beendet";

// Whether an SQLite file is in WAL mode: its header says so in bytes 18 and 19.
bool IsWalFile(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return false;
  const QByteArray header = file.read(20);
  return header.size() == 20 && header.startsWith("SQLite format 3") && (header.at(18) == 2 || header.at(19) == 2);
}

// Options whose value is a secret: never shown, never logged.
bool IsSecretOption(QString key) {
  key = QUrl::fromPercentEncoding(key.toUtf8()).trimmed().toLower();
  return key == QLatin1String("password") || key == QLatin1String("sslpassword");
}

// key=value text (libpq's other form): shown without its secret values.
QString RedactKeyValues(const QString &text) {
  static const QRegularExpression secret(
      QStringLiteral("\\b(?:ssl)?password\\s*=\\s*(?:'(?:[^'\\\\]|\\\\.)*'?|\\S*)"),
      QRegularExpression::CaseInsensitiveOption);
  QString shown = text;
  shown.remove(secret);
  return shown.simplified();
}
} // namespace

// The shown address is put together from its parts: the scheme, the user (up
// to a colon), the hosts and database after the last "@", and the options
// without secrets. Whatever a password holds ("/", "@", "?"), it stands
// between the first colon and the last "@" and is left out; an address that
// only looks odd is shown with less, never with more.
QString WexoRedactLocation(const QString &location) {
  static const QRegularExpression uri(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://(.*)$"),
                                      QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = uri.match(location);
  if (!m.hasMatch())
    return RedactKeyValues(location);
  QString rest = m.captured(2);
  QString user;
  const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
  if (at >= 0) {
    const QString userInfo = rest.left(at);
    qsizetype end = userInfo.size();
    for (QChar stop : {QLatin1Char(':'), QLatin1Char('@'), QLatin1Char('/'), QLatin1Char('?')})
      if (const qsizetype i = userInfo.indexOf(stop); i >= 0)
        end = qMin(end, i);
    user = userInfo.left(end);
    rest = rest.mid(at + 1);
  }
  QString hostAndDatabase = rest;
  QStringList options;
  if (const qsizetype q = rest.indexOf(QLatin1Char('?')); q >= 0) {
    hostAndDatabase = rest.left(q);
    for (const QString &option : rest.mid(q + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts))
      if (!IsSecretOption(option.section(QLatin1Char('='), 0, 0)))
        options << option;
  }
  return m.captured(1) + QStringLiteral("://") + (user.isEmpty() ? QString() : user + QLatin1Char('@')) +
         hostAndDatabase + (options.isEmpty() ? QString() : QLatin1Char('?') + options.join(QLatin1Char('&')));
}

// The server's limits for one transaction: a session behind a transaction
// pooler is no one's, and the role may have none set.
QString TWexoConnection::PooledLimits() {
  return QStringLiteral("SET LOCAL statement_timeout = %1; SET LOCAL lock_timeout = %2; ")
      .arg(ServerStatementTimeoutMs)
      .arg(ServerLockTimeoutMs);
}

// Cuts the socket of a statement that got no answer in time: a dead link then
// fails like a closed connection instead of freezing the window.
class TWexoConnection::TWatchdog {
public:
  TWatchdog() : FThread([this] { Loop(); }) {}
  ~TWatchdog() {
    {
      std::lock_guard lock(FMutex);
      FStop = true;
    }
    FWake.notify_all();
    FThread.join();
    FreeCancel();
  }
  // Takes the cancel handle of the statement; it is freed or used by the watchdog.
  void Arm(int socket, void *cancel, int seconds) {
    std::lock_guard lock(FMutex);
    FreeCancel();
    FCancel = cancel;
    FSocket = socket;
    FDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    FArmed = socket >= 0;
    FFired = false;
    FWake.notify_all();
  }
  // True when the statement ran out of time.
  bool Disarm() {
    std::lock_guard lock(FMutex);
    FArmed = false;
    FreeCancel();
    return FFired;
  }

private:
  void Loop() {
    std::unique_lock lock(FMutex);
    while (!FStop) {
      if (!FArmed) {
        FWake.wait(lock);
        continue;
      }
      const auto deadline = FDeadline;
      FWake.wait_until(lock, deadline);
      if (FArmed && !FStop && std::chrono::steady_clock::now() >= FDeadline) {
        ::shutdown(FSocket, SHUT_RDWR);
        FFired = true;
        FArmed = false;
        // The server is asked to stop the statement too, from a thread of its
        // own: the request may wait for the same dead link.
        if (void *cancel = std::exchange(FCancel, nullptr))
          std::thread([cancel] { WexoNative::PgSendCancel(cancel); }).detach();
      }
    }
  }

  void FreeCancel() {
    if (void *cancel = std::exchange(FCancel, nullptr))
      WexoNative::PgFreeCancel(cancel);
  }

  std::mutex FMutex;
  std::condition_variable FWake;
  void *FCancel = nullptr;
  bool FStop = false;
  bool FArmed = false;
  bool FFired = false;
  int FSocket = -1;
  std::chrono::steady_clock::time_point FDeadline;
  std::thread FThread;
};

// The verdict of the background check, handed from its thread. The check can
// be stopped: its read lock must never keep this program's writes waiting.
struct TWexoConnection::TCheck {
  std::mutex Mutex;
  std::condition_variable Done;
  bool Finished = false;
  bool Stopped = false;
  void *Handle = nullptr; // the check's SQLite connection while it reads
  QString Damage;
  QElapsedTimer Clock;

  void Stop() {
    std::lock_guard lock(Mutex);
    Stopped = true;
    if (Handle && WexoNative::SqliteInterrupt())
      WexoNative::SqliteInterrupt()(Handle);
  }
};

TWexoConnection::TWexoConnection(const QString &location) : FLocation(location), FDisplay(WexoRedactLocation(location)) {
  FName = QStringLiteral("wexo-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
  FRetryTimer.setSingleShot(true);
  connect(&FRetryTimer, &QTimer::timeout, this, &TWexoConnection::StartProbe);
  SetUpWatch();
  Open();
}

TWexoConnection::~TWexoConnection() {
  FRetryTimer.stop();
  FWatchTimer.stop();
  if (FCheck)
    FCheck->Stop();
  if (FCheckThread)
    FCheckThread->wait();
  // An attempt stuck on a stalled link is not waited for: it ends with the process.
  if (FProbe && !FProbe->wait(1000)) {
    FProbe->setParent(nullptr);
    FProbe->disconnect(this);
  }
  // Closed first: the driver then finalises the prepared queries it still holds.
  CloseSession();
  ClearStatements();
  QSqlDatabase::removeDatabase(FName);
}

// Ends the session: what listened on its socket goes first, so nothing
// watches a socket libpq closes (or that a new session gets next).
void TWexoConnection::CloseSession() {
  StopListening();
  QSqlDatabase db = Db();
  if (db.isValid() && db.isOpen())
    db.close();
}

void TWexoConnection::Open() {
  if (FLocation.startsWith(QLatin1String("postgresql://")) || FLocation.startsWith(QLatin1String("postgres://")) ||
      IsKeyValueAddress(FLocation))
    OpenPostgres(FLocation);
  else
    OpenSqlite(FLocation);
}

void TWexoConnection::OpenPostgres(const QString &location) {
  FPostgres = true;
  // The driver loads libpq, which reads the address: every form it knows.
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FName);
  // "pooling=transaction" is this program's, not libpq's: behind a transaction
  // pooler (PgBouncer) a session is no one's for longer than a transaction.
  QString address = location;
  const QString pooling = TakeOwnOption(address, QStringLiteral("pooling"));
  if (!pooling.isEmpty() && pooling != QLatin1String("transaction") && pooling != QLatin1String("session"))
    throw EWexoStoreError(QStringLiteral("Die Verbindungsoption „pooling“ der Datenbankangabe „%1“ kennt nur "
                                         "„transaction“ oder „session“.")
                              .arg(FDisplay));
  FPooled = pooling == QLatin1String("transaction");
  // Read often enough that a change shows within two seconds.
  if (FPooled)
    FWatchTimer.setInterval(PooledWatchMs);
  QString error;
  const QList<std::pair<QString, QString>> given = WexoNative::PgParseConninfo(address, error);
  if (!error.isEmpty())
    throw EWexoStoreError(QStringLiteral("Die Datenbankangabe „%1“ ist keine gültige PostgreSQL-Adresse: %2")
                              .arg(FDisplay, error));
  QHash<QString, QString> values;
  for (const auto &[key, value] : given)
    values.insert(key, value);
  // The password goes to the driver apart, which quotes it as it must.
  FPassword = values.take(QStringLiteral("password"));
  // Waits are bounded: connecting, keep-alives and unacknowledged data all give
  // up after seconds; the server's own limits stay below the client's, so what
  // the client gives up on is stopped there too.
  const QList<std::pair<QString, QString>> defaults = {
      {QStringLiteral("connect_timeout"), QString::number(ServerTimeoutSeconds)},
      {QStringLiteral("application_name"), ApplicationName()},
      {QStringLiteral("keepalives"), QStringLiteral("1")},
      {QStringLiteral("keepalives_idle"), QStringLiteral("10")},
      {QStringLiteral("keepalives_interval"), QStringLiteral("2")},
      {QStringLiteral("keepalives_count"), QStringLiteral("3")},
      {QStringLiteral("tcp_user_timeout"), QString::number(ServerTimeoutSeconds * 1000)}};
  for (const auto &[key, value] : defaults)
    if (!values.contains(key))
      values.insert(key, value);
  const QString limits = QStringLiteral("-c statement_timeout=%1 -c lock_timeout=%2")
                             .arg(ServerStatementTimeoutMs)
                             .arg(ServerLockTimeoutMs);
  // A pooler takes no startup options: behind a transaction pooler the limits
  // travel with each transaction (PooledLimits), in session mode they are the role's.
  if (pooling.isEmpty())
    values[QStringLiteral("options")] = (values.value(QStringLiteral("options")) + QLatin1Char(' ') + limits).trimmed();
  const auto handOptions = [&] {
    QStringList options;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
      // The driver splits its options at ";", whatever the quotes.
      if (it.value().contains(QLatin1Char(';')))
        throw EWexoStoreError(QStringLiteral("Die Verbindungsoption „%1“ der Datenbankangabe „%2“ enthält ein „;“, "
                                             "das nicht weitergegeben werden kann.")
                                  .arg(it.key(), FDisplay));
      QString quoted = it.value();
      quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
      options << it.key() + QStringLiteral("='") + quoted + QLatin1Char('\'');
    }
    options.sort();
    FOptions = options.join(QLatin1Char(';'));
    db.setConnectOptions(FOptions);
  };
  handOptions();
  db.setPassword(FPassword);
  // A server or pooler at its connection limit, or starting, is out of
  // reach for the moment: the start tries again, with pauses that differ
  // from till to till, for at most StartBusySeconds.
  QElapsedTimer waited;
  waited.start();
  for (int attempt = 0;; ++attempt) {
    FSent += 1;
    if (db.open())
      break;
    const QString reason = Describe(db.lastError());
    // A pooler that takes no startup options (PgBouncer) says so: the program
    // then works as behind a transaction pooler, which is right in session
    // mode too, and tells the administrator once how to spare the attempt.
    if (pooling.isEmpty() && !FPooled && reason.contains(QLatin1String("unsupported startup parameter"))) {
      FPooled = true;
      FWatchTimer.setInterval(PooledWatchMs);
      values.remove(QStringLiteral("options"));
      handOptions();
      QVNInfo()->WriteLog(QStringLiteral("TWexoConnection.Open"),
                          QStringLiteral("Vor der Datenbank „%1“ steht ein Verbindungspool, der keine Startoptionen "
                                         "annimmt (%2); das Programm arbeitet wie mit „pooling=transaction“. Mit "
                                         "„pooling=transaction“ (oder „pooling=session“) in der Datenbankangabe "
                                         "entfällt der erste Verbindungsversuch.")
                              .arg(FDisplay, reason));
      continue;
    }
    if (!IsBusyRefusal(reason))
      throw EWexoStoreError(
          QStringLiteral("Die Datenbank „%1“ kann nicht geöffnet werden: %2").arg(FDisplay, ConnectReason(reason)));
    const int pause = std::min(250 << std::min(attempt, 2), 1000) + int(QRandomGenerator::global()->bounded(500));
    if (waited.elapsed() + pause > StartBusySeconds * 1000)
      throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ nimmt seit %2 s keine Verbindung an: %3. Bitte starten "
                                           "Sie das Programm in einigen Minuten erneut.")
                                .arg(FDisplay)
                                .arg(StartBusySeconds)
                                .arg(ConnectReason(reason)));
    QThread::msleep(pause);
  }
  FWatchdog = std::make_unique<TWatchdog>();
}

void TWexoConnection::OpenSqlite(const QString &location) {
  QString path = location;
  if (path.startsWith(QLatin1String("sqlite:")))
    path = path.mid(7);
  if (path.contains(QLatin1String("://")))
    throw EWexoStoreError(QStringLiteral("Die Datenbankangabe „%1“ wird nicht unterstützt. Erlaubt sind ein "
                                         "Dateipfad für SQLite oder postgresql://…")
                              .arg(FDisplay));
  FLocation = path;
  FDisplay = path;
  const QFileInfo info(path);
  if (path != QLatin1String(":memory:")) {
    if (info.exists() && !info.isFile())
      throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ ist keine Datei.").arg(path));
    if (info.exists() && !info.isReadable())
      throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ ist nicht lesbar.").arg(path));
    if (!info.exists()) {
      if (!QDir().mkpath(info.absolutePath()))
        throw EWexoStoreError(
            QStringLiteral("Das Verzeichnis der Datenbank „%1“ kann nicht angelegt werden.").arg(path));
      if (!QFileInfo(info.absolutePath()).isWritable())
        throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ kann nicht angelegt werden: das Verzeichnis ist "
                                             "schreibgeschützt.")
                                  .arg(path));
    } else if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable()) {
      // SQLite needs the folder too, for its journal beside the file.
      FReadOnly = true;
      FReason = info.isWritable() ? QStringLiteral("das Verzeichnis ist schreibgeschützt")
                                  : QStringLiteral("die Datei ist schreibgeschützt");
    }
  }
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
  db.setDatabaseName(path);
  QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
  if (FReadOnly)
    options += QStringLiteral(";QSQLITE_OPEN_READONLY");
  if (FReadOnly && IsWalFile(path)) {
    // A file in WAL mode is read through a shared-memory file beside it, which a
    // read-only folder does not let SQLite make. With no log of changes left
    // beside it, the file alone is the whole database and is read as it stands.
    const QFileInfo wal(path + QStringLiteral("-wal"));
    if (wal.exists() && wal.size() > 0 && !QFileInfo::exists(path + QStringLiteral("-shm")))
      throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ liegt in einem schreibgeschützten Verzeichnis und hat "
                                           "noch nicht übernommene Änderungen in „%2“; so kann sie nicht gelesen "
                                           "werden. Bitte öffnen Sie sie einmal mit Schreibrecht auf das Verzeichnis.")
                                .arg(path, wal.fileName()));
    if (!wal.exists() || wal.size() == 0) {
      db.setDatabaseName(QString::fromUtf8(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded()) +
                         QStringLiteral("?immutable=1"));
      options += QStringLiteral(";QSQLITE_OPEN_URI");
    }
  }
  db.setConnectOptions(options);
  if (!db.open())
    throw EWexoStoreError(
        QStringLiteral("Die Datenbank „%1“ kann nicht geöffnet werden: %2").arg(path, Describe(db.lastError())));
  // Waiting for a lock is ours to bound: zero for the background's reads, one
  // busy timeout for a user action, with the busy cursor meanwhile.
  void *handle = WexoNative::SqliteHandle(db);
  if (handle && WexoNative::SqliteBusyHandler())
    FOwnBusyHandler = WexoNative::SqliteBusyHandler()(handle, &TWexoConnection::OnBusy, this) == 0;
}

int TWexoConnection::OnBusy(void *connection, int count) {
  auto *self = static_cast<TWexoConnection *>(connection);
  if (count == 0)
    self->FBusyClock.start();
  if (self->FBusyClock.elapsed() >= self->FBusyWaitMs)
    return 0;
  if (!self->FBusyCursor && QThread::currentThread() == self->thread() && HasScreen()) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    self->FBusyCursor = true;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(count < 10 ? 2 : 20));
  return 1;
}

// How long the next statements wait for another program's lock.
void TWexoConnection::SetLockWait(int ms) {
  FBusyWaitMs = ms;
  if (!FOwnBusyHandler)
    QSqlQuery(Db()).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
}

bool TWexoConnection::IsWrite(const QString &sql) {
  const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
  static const QStringList writes = {"INSERT", "UPDATE", "DELETE", "REPLACE", "CREATE",
                                     "DROP",   "ALTER",  "BEGIN",  "TRUNCATE"};
  if (head == QLatin1String("WITH")) { // a common table expression may lead into a write
    static const QRegularExpression write(QStringLiteral("\\b(INSERT|UPDATE|DELETE)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    return write.match(sql).hasMatch();
  }
  return writes.contains(head);
}

TWexoRows TWexoConnection::Exec(const QString &sql, const QVariantList &params) { return Run(sql, params, true); }

TWexoRows TWexoConnection::ExecDirect(const QString &sql) { return Run(sql, {}, false); }

// Reads what the server sent meanwhile, without waiting: an ended session
// is closed here; notifications read on the way are handed on afterwards.
void TWexoConnection::CheckSessionBeforeSending() {
  QList<QString> payloads;
  const bool alive = WexoNative::PgTakeNotifications(Db(), QByteArray(OpenWorkChannel), payloads);
  if (FListener)
    for (const QString &payload : payloads)
      QMetaObject::invokeMethod(this, [this, payload] { Notified(payload); }, Qt::QueuedConnection);
  if (!alive)
    CloseSession();
}

TWexoRows TWexoConnection::Run(const QString &sql, const QVariantList &params, bool prepared) {
  if (IsWrite(sql)) {
    TakeCheckVerdict(true);
    if (FDamaged)
      throw EWexoDamaged(DamageMessage());
    if (FReadOnly)
      Throw(TFailure::ReadOnly, FReason);
  }
  // A session the server ended while the window was idle (a restart, an idle
  // limit) is found before anything is sent on it, so a write never goes out
  // on a dead session and comes back without an answer.
  if (FPostgres && !FInTransaction && FOnline && Db().isOpen())
    CheckSessionBeforeSending();
  if (FPostgres && (!FOnline || !Db().isOpen())) {
    if (FInTransaction || !ReconnectNow()) {
      if (FOnline)
        MarkLost(QString::fromUtf8(kClosedByServer));
      Throw(TFailure::Lost, FReason);
    }
  }
  // A write outside a transaction, or the commit of one, that got no answer
  // may have reached the server, whichever way the connection ended (a
  // timeout, a fail-over, a server stop): it is neither sent again nor said
  // to have failed.
  const bool mayLand = sql == QLatin1String("COMMIT") ||
                       (!FInTransaction && IsWrite(sql) && !sql.startsWith(QLatin1String("BEGIN")));
  TFailure failure = TFailure::None;
  QString reason;
  TWexoRows rows = RunOnce(sql, params, prepared, failure, reason);
  if (failure == TFailure::Stale) // a prepared plan outdated by a schema change: prepare anew
    rows = RunOnce(sql, params, prepared, failure, reason);
  if (failure == TFailure::Lost) {
    // A link that swallowed the statement would swallow the connection too:
    // that attempt is left to the background, so no action waits twice. A
    // read whose session ended under it is sent again on a new one at once,
    // without showing the window offline.
    if (FTimedOut || mayLand) {
      MarkLost(reason);
      SpendAttempt();
    } else {
      CloseSession();
      if (!FInTransaction && ReconnectNow())
        rows = RunOnce(sql, params, prepared, failure, reason);
      else
        reason = FReason;
      if (failure == TFailure::Lost)
        MarkLost(reason);
    }
  }
  if (failure == TFailure::Lost && mayLand)
    throw EWexoUncertain(
        (FTimedOut ? QStringLiteral("Keine Antwort der Datenbank „%1“ innerhalb von %2 s.").arg(FDisplay).arg(ServerTimeoutSeconds)
                   : QStringLiteral("Die Verbindung zur Datenbank „%1“ endete vor ihrer Antwort (%2).").arg(FDisplay, reason)) +
        QStringLiteral(" Ob die Änderung gespeichert wurde, ist unklar; bitte prüfen Sie es, sobald die Verbindung "
                       "wieder besteht, bevor Sie sie wiederholen."));
  if (failure != TFailure::None)
    Throw(failure, reason);
  return rows;
}

// One attempt at a statement: prepared as this kind of database keeps it, run
// under the watchdog, read whole; a failure is classified for Run.
TWexoRows TWexoConnection::RunOnce(const QString &sql, const QVariantList &params, bool prepared, TFailure &failure,
                                   QString &reason) {
  failure = TFailure::None;
  const auto cursorBack = qScopeGuard([this] {
    if (FBusyCursor) {
      FBusyCursor = false;
      QGuiApplication::restoreOverrideCursor();
    }
  });
  const std::string key = sql.toStdString();
  auto fail = [&](const QSqlError &error, bool timedOut) {
    failure = timedOut ? TFailure::Lost : Classify(error);
    FTimedOut = timedOut;
    reason = timedOut ? QStringLiteral("keine Antwort vom Server innerhalb von %1 s").arg(ServerTimeoutSeconds)
                      : Describe(error);
    // A statement that failed is prepared anew next time.
    FPrepared.erase(key);
    FPgPrepared.erase(key);
    return TWexoRows();
  };
  // A program reads a fixed set of statements; a runaway set is let go.
  if (prepared && FPrepared.size() + FPgPrepared.size() > 400)
    ClearStatements();
  QSqlError error;
  bool timedOut = false;
  if (prepared && FPostgres) {
    const QString execute = PostgresExecute(sql, params, error, timedOut);
    if (execute.isEmpty())
      return fail(error, timedOut);
    QSqlQuery q(Db());
    q.setForwardOnly(true);
    const bool ok = ExecWatched(q, &execute, timedOut);
    return Complete(q, ok, timedOut, fail);
  }
  if (prepared) {
    QSqlQuery *q = SqlitePrepared(sql, params, error);
    if (!q)
      return fail(error, false);
    const bool ok = ExecWatched(*q, nullptr, timedOut);
    return Complete(*q, ok, timedOut, fail);
  }
  QSqlQuery q(Db());
  q.setForwardOnly(true);
  const bool ok = ExecWatched(q, &sql, timedOut);
  return Complete(q, ok, timedOut, fail);
}

// Runs a query (its prepared statement, or the text given) with the watchdog
// armed on PostgreSQL. One verdict: the watchdog only explains a failure; a
// statement whose result came back succeeded, even if the watchdog cut the
// socket in that moment (the next statement then finds the connection lost).
bool TWexoConnection::ExecWatched(QSqlQuery &q, const QString *text, bool &timedOut) {
  const int timeout = !FPostgres ? 0 : FLongRunning ? SchemaStatementSeconds + ServerTimeoutSeconds : ServerTimeoutSeconds;
  ++FSent;
  // Behind a transaction pooler the server's limits travel with the statement,
  // in the same round trip; their two results come first and are passed over.
  static const QRegularExpression control(QStringLiteral("^\\s*(BEGIN|COMMIT|ROLLBACK)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
  const bool limits = FPooled && text && !FInTransaction && !FLongRunning && !control.match(*text).hasMatch();
  if (timeout > 0 && FWatchdog)
    FWatchdog->Arm(WexoNative::PgSocket(Db()), WexoNative::PgCancelHandle(Db()), timeout);
  bool ok = !text ? q.exec() : limits ? q.exec(PooledLimits() + *text) : q.exec(*text);
  for (int result = 0; limits && ok && result < 2; ++result)
    ok = q.nextResult();
  timedOut = timeout > 0 && FWatchdog && FWatchdog->Disarm();
  // libpq reads notifications that arrive during a statement into its queue:
  // the socket shows nothing more for them, so they are taken from there.
  if (FListener && !FQueuedCheckDue) {
    FQueuedCheckDue = true;
    QMetaObject::invokeMethod(this, &TWexoConnection::TakeQueuedNotifications, Qt::QueuedConnection);
  }
  return ok;
}

// The whole result of a query that ran, or the failure it met on the way
// (SQLite steps through its rows only as they are read).
TWexoRows TWexoConnection::Complete(QSqlQuery &q, bool ok, bool timedOut,
                                    const std::function<TWexoRows(const QSqlError &, bool)> &fail) {
  TWexoRows rows;
  if (ok) {
    rows.Affected = q.numRowsAffected();
    if (q.isSelect()) {
      const int columns = q.record().count();
      while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
          row << q.value(c);
        rows.Rows << row;
      }
    }
  }
  const QSqlError error = q.lastError();
  if (!ok || error.type() != QSqlError::NoError) {
    if (q.isActive())
      q.finish();
    return fail(error, timedOut);
  }
  q.finish();
  return rows;
}

// PostgreSQL: prepared in the session by name, as the driver itself would, but
// kept for the session's life (nothing to free when it ends or is lost); the
// statement to send is its EXECUTE with the values formatted by the driver.
// Empty when preparing failed.
QString TWexoConnection::PostgresExecute(const QString &sql, const QVariantList &params, QSqlError &error,
                                         bool &timedOut) {
  // Behind a transaction pooler the next statement may meet another server
  // session: nothing is prepared by name, the values go in the text.
  if (FPooled)
    return WithValues(sql, params);
  QString &name = FPgPrepared[sql.toStdString()];
  if (name.isEmpty()) {
    name = QStringLiteral("wexo_%1").arg(++FPgNames);
    QSqlQuery prepare(Db());
    const QString statement = QStringLiteral("PREPARE %1 AS %2").arg(name, Numbered(sql));
    if (!ExecWatched(prepare, &statement, timedOut)) {
      error = prepare.lastError();
      return {};
    }
  }
  QStringList values;
  QSqlDriver *driver = Db().driver();
  for (const QVariant &p : params) {
    QSqlField field(QString(), p.metaType());
    field.setValue(NotNullText(p));
    values << driver->formatValue(field);
  }
  return QStringLiteral("EXECUTE ") + name +
         (values.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(values.join(QStringLiteral(", "))));
}

// SQLite: the query prepared once for the connection's life, its values bound; null when preparing failed.
QSqlQuery *TWexoConnection::SqlitePrepared(const QString &sql, const QVariantList &params, QSqlError &error) {
  auto &slot = FPrepared[sql.toStdString()];
  if (!slot) {
    auto query = std::make_unique<QSqlQuery>(Db());
    query->setForwardOnly(true);
    ++FSent;
    if (!query->prepare(sql)) {
      error = query->lastError();
      return nullptr;
    }
    slot = std::move(query);
  }
  for (qsizetype i = 0; i < params.size(); ++i)
    slot->bindValue(int(i), NotNullText(params.at(i)));
  return slot.get();
}

// The statement with its values in place of the markers, formatted (and
// escaped) by the driver for this connection.
QString TWexoConnection::WithValues(const QString &sql, const QVariantList &params) const {
  QSqlDriver *driver = Db().driver();
  QString out;
  out.reserve(sql.size() + 32 * params.size());
  qsizetype next = 0;
  bool quoted = false;
  for (QChar c : sql) {
    if (c == QLatin1Char('\''))
      quoted = !quoted;
    if (c == QLatin1Char('?') && !quoted && next < params.size()) {
      QSqlField field(QString(), params.at(next).metaType());
      field.setValue(NotNullText(params.at(next++)));
      out += driver->formatValue(field);
    } else {
      out += c;
    }
  }
  return out;
}

// Positional markers as PostgreSQL numbers them: ? → $1, $2, … (outside quotes).
QString TWexoConnection::Numbered(const QString &sql) {
  QString out;
  out.reserve(sql.size() + 16);
  int n = 0;
  bool quoted = false;
  for (QChar c : sql) {
    if (c == QLatin1Char('\''))
      quoted = !quoted;
    if (c == QLatin1Char('?') && !quoted)
      out += QLatin1Char('$') + QString::number(++n);
    else
      out += c;
  }
  return out;
}

TWexoConnection::TFailure TWexoConnection::Classify(const QSqlError &error) const {
  return ClassifyError(FPostgres, Db().isOpen(), error.nativeErrorCode(),
                       error.databaseText() + QLatin1Char(' ') + error.driverText());
}

TWexoConnection::TFailure TWexoConnection::ClassifyError(bool postgres, bool connectionOpen, const QString &code,
                                                         const QString &errorText) {
  const QString text = errorText.toLower();
  if (postgres) {
    if (!connectionOpen || code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01") ||
        code == QLatin1String("57P02") || code == QLatin1String("57P03") ||
        text.contains(QLatin1String("server closed the connection")) ||
        text.contains(QLatin1String("no connection to the server")) ||
        text.contains(QLatin1String("could not receive data")) || text.contains(QLatin1String("could not send data")))
      return TFailure::Lost;
    if (code == QLatin1String("40P01") || code == QLatin1String("40001"))
      return TFailure::Conflict;
    if (code == QLatin1String("55P03"))
      return TFailure::Locked;
    if (code == QLatin1String("57014"))
      return TFailure::Cancelled;
    if (code == QLatin1String("25006") || code == QLatin1String("42501"))
      return TFailure::ReadOnly;
    if (code == QLatin1String("0A000") && text.contains(QLatin1String("cached plan")))
      return TFailure::Stale;
    if (code == QLatin1String("XX001") || code == QLatin1String("XX002"))
      return TFailure::Damaged;
    return TFailure::Other;
  }
  if (code == QLatin1String("5") || code == QLatin1String("6") || text.contains(QLatin1String("database is locked")) ||
      text.contains(QLatin1String("table is locked")))
    return TFailure::Locked;
  if (code == QLatin1String("11") || code == QLatin1String("26") || text.contains(QLatin1String("malformed")) ||
      text.contains(QLatin1String("not a database")))
    return TFailure::Damaged;
  if (code == QLatin1String("8") || text.contains(QLatin1String("readonly database")))
    return TFailure::ReadOnly;
  return TFailure::Other;
}

void TWexoConnection::Throw(TFailure failure, const QString &reason) {
  switch (failure) {
  case TFailure::Lost:
    throw EWexoOffline(QStringLiteral("Keine Verbindung zur Datenbank „%1“ (%2). Das Programm verbindet sich "
                                      "selbständig wieder, sobald der Server erreichbar ist.")
                           .arg(FDisplay, reason));
  case TFailure::Locked:
    LockedThisTurn();
    throw EWexoLocked(QStringLiteral("Die Datenbank „%1“ ist von einem anderen Programm oder Arbeitsplatz gesperrt "
                                     "(%2). Bitte versuchen Sie es in einigen Sekunden erneut.")
                          .arg(FDisplay, reason));
  case TFailure::Damaged:
    ReportDamage(reason);
    throw EWexoDamaged(DamageMessage());
  case TFailure::ReadOnly:
    throw EWexoReadOnly(
        QStringLiteral("Die Datenbank „%1“ ist schreibgeschützt (%2); es kann nichts gespeichert werden.")
            .arg(FDisplay, reason));
  case TFailure::Cancelled:
    throw EWexoStoreError(QStringLiteral("Die Datenbank „%1“ hat die Anweisung nach %2 s abgebrochen (%3); es wurde "
                                         "nichts gespeichert. Bitte versuchen Sie es erneut.")
                              .arg(FDisplay)
                              .arg(ServerStatementTimeoutMs / 1000)
                              .arg(reason));
  case TFailure::Conflict:
    throw EWexoConflict(QStringLiteral("Datenbankfehler in „%1“: %2").arg(FDisplay, reason));
  default:
    throw EWexoStoreError(QStringLiteral("Datenbankfehler in „%1“: %2").arg(FDisplay, reason));
  }
}

void TWexoConnection::ReportDamage(const QString &reason) {
  if (FDamaged)
    return;
  FDamaged = true;
  FDamageReason = reason;
  FReason = reason;
  QMetaObject::invokeMethod(this, &TWexoConnection::StateChanged, Qt::QueuedConnection);
}

QString TWexoConnection::DamageMessage() const {
  return QStringLiteral("Die Datenbank „%1“ ist beschädigt (%2). Damit sie nicht weiter Schaden nimmt, speichert das "
                        "Programm bis zum Ende nichts mehr in ihr. Bitte wenden Sie sich an Ihre Systembetreuung.")
      .arg(FDisplay, FDamageReason);
}

// After one busy timeout, the rest of this user action does not wait again.
void TWexoConnection::LockedThisTurn() {
  if (FPostgres || FFailFast)
    return;
  FFailFast = true;
  SetLockWait(0);
  QTimer::singleShot(0, this, [this] {
    FFailFast = false;
    SetLockWait(FBusyTimeout);
  });
}

void TWexoConnection::SetBusyTimeout(int ms) {
  FBusyTimeout = ms;
  if (!FPostgres && !FFailFast)
    SetLockWait(ms);
}

void TWexoConnection::StartBackgroundCheck() {
  if (FPostgres || FCheck || FLocation == QLatin1String(":memory:"))
    return;
  auto check = std::make_shared<TCheck>();
  check->Clock.start();
  FCheck = check;
  const QString path = FLocation;
  QThread *thread = QThread::create([check, path] {
    const QString name = QStringLiteral("wexo-check-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString damage;
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
      db.setDatabaseName(path);
      db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
      bool stopped = false;
      if (db.open()) {
        {
          std::lock_guard lock(check->Mutex);
          check->Handle = WexoNative::SqliteHandle(db);
          stopped = check->Stopped;
        }
        QSqlQuery q(db);
        if (stopped) {
        } else if (q.exec(QStringLiteral("PRAGMA quick_check(5)"))) {
          QStringList problems;
          while (q.next())
            problems << q.value(0).toString();
          if (problems != QStringList{QStringLiteral("ok")} && !problems.isEmpty())
            damage = problems.join(QStringLiteral("; ")).simplified().left(300);
        } else {
          // A lock or a stop is no damage: the check is then simply left out.
          if (IsSqliteDamage(q.lastError()))
            damage = Describe(q.lastError());
        }
        q.finish();
        std::lock_guard lock(check->Mutex);
        check->Handle = nullptr;
      }
      db.close();
    }
    QSqlDatabase::removeDatabase(name);
    std::lock_guard lock(check->Mutex);
    check->Damage = check->Stopped ? QString() : damage;
    check->Finished = true;
    check->Done.notify_all();
  });
  thread->setObjectName(QStringLiteral("wexo-check"));
  thread->setParent(this); // goes with the connection, which waits for it first
  FCheckThread = thread;
  connect(thread, &QThread::finished, this, [this, thread] {
    thread->deleteLater();
    TakeCheckVerdict(false);
  });
  // Bounded by time, not by the file's size: what is not read by then is left to the statements.
  QTimer::singleShot(CheckBudgetMs, this, [check] { check->Stop(); });
  thread->start(QThread::LowPriority);
}

// Before a write, the check may finish within its budget; past it, it is
// stopped, so its read lock never keeps the write waiting.
void TWexoConnection::TakeCheckVerdict(bool beforeWrite) {
  if (!FCheck)
    return;
  QString damage;
  {
    std::unique_lock lock(FCheck->Mutex);
    if (!FCheck->Finished && beforeWrite) {
      const qint64 left = qMax<qint64>(0, CheckBudgetMs - FCheck->Clock.elapsed());
      FCheck->Done.wait_for(lock, std::chrono::milliseconds(left), [&] { return FCheck->Finished; });
      if (!FCheck->Finished) {
        lock.unlock();
        FCheck->Stop();
        lock.lock();
        FCheck->Done.wait(lock, [&] { return FCheck->Finished; });
      }
    }
    if (!FCheck->Finished)
      return;
    damage = FCheck->Damage;
  }
  FCheck.reset();
  // Found by no statement: nobody has told the user yet.
  if (!damage.isEmpty() && !FDamaged) {
    ReportDamage(damage);
    const QString message = DamageMessage();
    QMetaObject::invokeMethod(this, [this, message] { Q_EMIT DamageFound(message); }, Qt::QueuedConnection);
  }
}

bool TWexoConnection::Writable() {
  TakeCheckVerdict(true);
  return !FReadOnly && !FDamaged;
}

void TWexoConnection::SetReadOnly(bool readOnly, const QString &reason) {
  FReadOnly = readOnly;
  if (readOnly)
    FReason = reason;
}

void TWexoConnection::Transaction(const std::function<void()> &body) {
  if (FInTransaction) {
    body();
    return;
  }
  const QString begin = !FPostgres ? QStringLiteral("BEGIN IMMEDIATE")
                        : FPooled  ? QStringLiteral("BEGIN; ") + PooledLimits()
                                   : QStringLiteral("BEGIN");
  auto rollback = [this] {
    FInTransaction = false;
    if (Db().isOpen())
      QSqlQuery(Db()).exec(QStringLiteral("ROLLBACK"));
  };
  for (int attempt = 0;; ++attempt) {
    bool committing = false;
    try {
      Run(begin, {}, false);
      FInTransaction = true;
      body();
      committing = true;
      Run(QStringLiteral("COMMIT"), {}, false);
      FInTransaction = false;
      return;
    } catch (const EWexoOffline &) {
      FInTransaction = false;
      // Lost before the commit was sent: the server dropped the whole transaction, so it may run again.
      if (attempt == 0 && !committing && ReconnectNow())
        continue;
      throw;
    } catch (const EWexoConflict &) {
      rollback();
      if (attempt < 4)
        continue;
      throw;
    } catch (...) {
      rollback();
      throw;
    }
  }
}

void TWexoConnection::ClearStatements() {
  FPrepared.clear();
  FPgPrepared.clear();
}

TWexoConnectionState TWexoConnection::State() const {
  TWexoConnectionState s;
  s.Online = FOnline;
  s.Damaged = FDamaged;
  s.Locked = FLocked;
  s.ReadOnly = FReadOnly;
  s.NextTry = FNextTry;
  s.Reason = FReason;
  return s;
}

void TWexoConnection::MarkLost(const QString &reason) {
  FReason = reason;
  CloseSession();
  ClearStatements();
  if (!FOnline)
    return;
  FOnline = false;
  FRetryStep = 0;
  ScheduleRetry();
  QMetaObject::invokeMethod(this, &TWexoConnection::StateChanged, Qt::QueuedConnection);
}

void TWexoConnection::MarkOnline() {
  const bool wasAway = !FOnline;
  FOnline = true;
  FNextTry = {};
  FRetryStep = 0;
  FRetryTimer.stop();
  if (FWatching)
    Listen();
  if (wasAway) {
    QMetaObject::invokeMethod(this, &TWexoConnection::StateChanged, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, &TWexoConnection::Reconnected, Qt::QueuedConnection);
  }
}

// One attempt per user action: an action waits at most one connect timeout.
void TWexoConnection::SpendAttempt() {
  if (FTriedThisTurn)
    return;
  FTriedThisTurn = true;
  QTimer::singleShot(0, this, [this] { FTriedThisTurn = false; });
}

// A user action that needs the server waits for one attempt at most the
// connect limit, under a busy cursor; the window keeps painting meanwhile
// (the attempt runs in its own thread), and keys and clicks wait their turn.
bool TWexoConnection::ReconnectNow() {
  // While an attempt of the background retries runs, an action does not wait for it.
  if (FTriedThisTurn || (FProbe && !FOnline))
    return false;
  SpendAttempt();
  StartProbe();
  if (FProbe) {
    QEventLoop loop;
    connect(FProbe, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot((ServerTimeoutSeconds + 1) * 1000, &loop, &QEventLoop::quit);
    const bool cursor = HasScreen();
    if (cursor)
      QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (cursor)
      QGuiApplication::restoreOverrideCursor();
    if (FProbe) {
      FReason = QStringLiteral("keine Antwort vom Server beim Verbinden innerhalb von %1 s").arg(ServerTimeoutSeconds);
      if (FOnline)
        MarkLost(FReason);
      return false;
    }
  }
  return FOnline && Db().isOpen();
}

void TWexoConnection::ScheduleRetry() {
  if (!FPostgres || FOnline || FRetryTimer.isActive() || FProbe)
    return;
  const int seconds = kRetrySeconds[qMin<int>(FRetryStep, int(std::size(kRetrySeconds)) - 1)];
  ++FRetryStep;
  // Three quarters of the pause or more: the tills a restart cut off all at
  // once do not come back all at once.
  const int ms = seconds * 750 + int(QRandomGenerator::global()->bounded(seconds * 250 + 1));
  FNextTry = QDateTime::currentDateTime().addMSecs(ms);
  FRetryTimer.start(ms);
  QMetaObject::invokeMethod(this, &TWexoConnection::StateChanged, Qt::QueuedConnection);
}

// Connects in a thread of its own, so a server that does not answer, or
// answers the login and then nothing (a stalled pooler), never freezes the
// window. The connection made there is handed to this thread and replaces
// the old one; a failed attempt shows the window offline and tries again later.
void TWexoConnection::StartProbe() {
  if (FProbe || !FPostgres)
    return;
  struct TAttempt {
    QString Name = QStringLiteral("wexo-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool Reached = false;
    bool Listening = false;
    QString Reason;
  };
  auto attempt = std::make_shared<TAttempt>();
  const QString password = FPassword, options = FOptions;
  const bool listen = FWatching && !FPooled;
  QThread *owner = thread();
  QThread *probe = QThread::create([=] {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), attempt->Name);
    db.setPassword(password);
    db.setConnectOptions(options);
    attempt->Reached = db.open();
    if (attempt->Reached) {
      // Listening costs a round trip of its own: made here too, not in the
      // window's thread, which then only watches the socket.
      if (listen)
        attempt->Listening = QSqlQuery(db).exec(ListenStatement());
      db.driver()->moveToThread(owner);
    } else {
      attempt->Reason = ConnectReason(Describe(db.lastError()));
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(attempt->Name);
    }
  });
  probe->setParent(this);
  FProbe = probe;
  ++FSent;
  connect(probe, &QThread::finished, this, [this, probe, attempt] {
    probe->deleteLater();
    FProbe = nullptr;
    if (!attempt->Reached) {
      FReason = attempt->Reason;
      if (FOnline)
        MarkLost(FReason);
      else
        ScheduleRetry();
      return;
    }
    TakeOver(attempt->Name, attempt->Listening);
  });
  probe->start();
}

// The connection made in the background becomes the one of this program.
void TWexoConnection::TakeOver(const QString &name, bool listening) {
  ClearStatements();
  CloseSession();
  QSqlDatabase::removeDatabase(FName);
  FName = name;
  FListening = listening;
  const bool wasAway = !FOnline;
  MarkOnline();
  // A session the server ended quietly: what changed meanwhile is read once.
  if (!wasAway && FWatching)
    QMetaObject::invokeMethod(this, &TWexoConnection::OpenWorkChanged, Qt::QueuedConnection);
}
