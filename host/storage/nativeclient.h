#pragma once
// The only place that names functions of the client libraries (libpq,
// SQLite). They are looked up in the libraries the Qt drivers loaded, so this
// program links neither, and a program on SQLite never loads libpq.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <utility>

namespace WexoNative {

// The socket of a PostgreSQL connection, or -1.
int PgSocket(const QSqlDatabase &db);
// libpq's cancel request: a handle taken before a statement (no round trip),
// sent when the client gives up on it, so the server stops it too.
void *PgCancelHandle(const QSqlDatabase &db);
void PgFreeCancel(void *cancel);
// Sends the request and frees the handle; may wait for a dead link.
void PgSendCancel(void *cancel);
// An address as libpq reads it (a URI, or key=value pairs): the parameters
// given, or libpq's reason why it is none, without any part of a password.
QList<std::pair<QString, QString>> PgParseConninfo(const QString &location, QString &error);

// Reads what the server sent without waiting and hands over the payloads of
// the notifications of that channel that arrived. False when the connection
// is gone (the server ended it, the link broke): its socket is closed then.
bool PgTakeNotifications(const QSqlDatabase &db, const QByteArray &channel, QList<QString> &payloads);
// Only those already read with an answer (no reading from the socket).
void PgQueuedNotifications(const QSqlDatabase &db, const QByteArray &channel, QList<QString> &payloads);

// The sqlite3* of an open SQLite connection, or null.
void *SqliteHandle(const QSqlDatabase &db);
using TSqliteBusyHandler = int (*)(void *, int (*)(void *, int), void *);
TSqliteBusyHandler SqliteBusyHandler();
using TSqliteInterrupt = void (*)(void *);
TSqliteInterrupt SqliteInterrupt();

} // namespace WexoNative
