#include "storage/nativeclient.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QVariant>
#include <algorithm>
#include <dlfcn.h>

namespace {
// A function of a client library the Qt driver loaded: looked up there, so
// this program links neither client library and a program on SQLite never
// loads libpq. Null when the library or the function is not there.
template <class TFunction> TFunction LoadedFunction(const char *library, const char *name) {
  void *handle = ::dlopen(library, RTLD_NOW | RTLD_NOLOAD);
  return handle ? reinterpret_cast<TFunction>(::dlsym(handle, name)) : nullptr;
}

// The driver's handle of an open connection (PGconn*, sqlite3*), or null.
// The driver names its type by the typedef or by the struct behind it.
void *DriverHandle(const QSqlDatabase &db, std::initializer_list<const char *> typeNames) {
  if (!db.isOpen() || !db.driver())
    return nullptr;
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() ||
      std::none_of(typeNames.begin(), typeNames.end(), [&](const char *t) { return qstrcmp(handle.typeName(), t) == 0; }))
    return nullptr;
  return *static_cast<void *const *>(handle.constData());
}


using TPQconsumeInput = int (*)(void *);
using TPQstatus = int (*)(const void *);
struct TPgNotify {
  char *relname;
  int be_pid;
  char *extra;
  TPgNotify *next;
};
using TPQnotifies = TPgNotify *(*)(void *);
using TPQfreemem = void (*)(void *);
constexpr int kConnectionOk = 0; // libpq's CONNECTION_OK

void DrainQueued(void *connection, const QByteArray &channel, QList<QString> &payloads) {
  static const auto notifies = LoadedFunction<TPQnotifies>("libpq.so.5", "PQnotifies");
  static const auto freeMemory = LoadedFunction<TPQfreemem>("libpq.so.5", "PQfreemem");
  if (!notifies || !freeMemory)
    return;
  while (TPgNotify *n = notifies(connection)) {
    if (channel == n->relname)
      payloads << QString::fromUtf8(n->extra ? n->extra : "");
    freeMemory(n);
  }
}
} // namespace

namespace WexoNative {

// The socket of a PostgreSQL connection, or -1.
int PgSocket(const QSqlDatabase &db) {
  using TPQsocket = int (*)(const void *);
  static const TPQsocket pqSocket = LoadedFunction<TPQsocket>("libpq.so.5", "PQsocket");
  const void *connection = DriverHandle(db, {"PGconn*", "pg_conn*"});
  return connection && pqSocket ? pqSocket(connection) : -1;
}

// libpq's cancel request: a handle taken before a statement (no round trip),
// sent when the client gives up on it, so the server stops it too.
void *PgCancelHandle(const QSqlDatabase &db) {
  using TPQgetCancel = void *(*)(void *);
  static const auto getCancel = LoadedFunction<TPQgetCancel>("libpq.so.5", "PQgetCancel");
  void *connection = DriverHandle(db, {"PGconn*", "pg_conn*"});
  return connection && getCancel ? getCancel(connection) : nullptr;
}
void PgFreeCancel(void *cancel) {
  using TPQfreeCancel = void (*)(void *);
  static const auto freeCancel = LoadedFunction<TPQfreeCancel>("libpq.so.5", "PQfreeCancel");
  if (freeCancel)
    freeCancel(cancel);
}
void PgSendCancel(void *cancel) {
  using TPQcancel = int (*)(void *, char *, int);
  static const auto sendCancel = LoadedFunction<TPQcancel>("libpq.so.5", "PQcancel");
  char reason[256];
  if (sendCancel)
    sendCancel(cancel, reason, int(sizeof reason));
  PgFreeCancel(cancel);
}

TSqliteBusyHandler SqliteBusyHandler() {
  static const auto handler = LoadedFunction<TSqliteBusyHandler>("libsqlite3.so.0", "sqlite3_busy_handler");
  return handler;
}

TSqliteInterrupt SqliteInterrupt() {
  static const auto interrupt = LoadedFunction<TSqliteInterrupt>("libsqlite3.so.0", "sqlite3_interrupt");
  return interrupt;
}

void *SqliteHandle(const QSqlDatabase &db) { return DriverHandle(db, {"sqlite3*"}); }


QList<std::pair<QString, QString>> PgParseConninfo(const QString &location, QString &error) {
  struct TOption {
    char *keyword, *envvar, *compiled, *val, *label, *dispchar;
    int dispsize;
  };
  using TParse = TOption *(*)(const char *, char **);
  using TFree = void (*)(void *);
  static const auto parse = LoadedFunction<TParse>("libpq.so.5", "PQconninfoParse");
  static const auto freeOptions = LoadedFunction<TFree>("libpq.so.5", "PQconninfoFree");
  static const auto freeMemory = LoadedFunction<TFree>("libpq.so.5", "PQfreemem");
  QList<std::pair<QString, QString>> given;
  if (!parse || !freeOptions || !freeMemory) {
    error = QStringLiteral("die PostgreSQL-Bibliothek libpq ist nicht geladen");
    return given;
  }
  char *message = nullptr;
  TOption *options = parse(location.toUtf8().constData(), &message);
  if (!options) {
    error = message ? QString::fromUtf8(message).trimmed() : QStringLiteral("libpq nennt keinen Grund");
    if (message)
      freeMemory(message);
    // A quoted piece of the address in libpq's reason may come from the password.
    static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
    error.replace(quoted, QStringLiteral("„…“"));
    return given;
  }
  for (TOption *o = options; o->keyword; ++o)
    if (o->val)
      given.append({QString::fromUtf8(o->keyword), QString::fromUtf8(o->val)});
  freeOptions(options);
  return given;
}

bool PgTakeNotifications(const QSqlDatabase &db, const QByteArray &channel, QList<QString> &payloads) {
  static const auto consumeInput = LoadedFunction<TPQconsumeInput>("libpq.so.5", "PQconsumeInput");
  static const auto status = LoadedFunction<TPQstatus>("libpq.so.5", "PQstatus");
  void *connection = DriverHandle(db, {"PGconn*", "pg_conn*"});
  if (!connection || !consumeInput || !status)
    return false;
  // A server that ends a session says why and then closes it: the first read
  // takes its message (libpq shows it as a notice), only the next the end.
  const bool read = consumeInput(connection) == 1 && consumeInput(connection) == 1;
  DrainQueued(connection, channel, payloads);
  return read && status(connection) == kConnectionOk;
}

void PgQueuedNotifications(const QSqlDatabase &db, const QByteArray &channel, QList<QString> &payloads) {
  if (void *connection = DriverHandle(db, {"PGconn*", "pg_conn*"}))
    DrainQueued(connection, channel, payloads);
}

} // namespace WexoNative
