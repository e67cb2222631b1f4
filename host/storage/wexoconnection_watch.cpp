// Watching for changes of the open work made anywhere: PostgreSQL notifies
// a listening session, behind a pooler a change counter is read, SQLite is
// asked for its data version.
#include <QScopeGuard>
#include <QSocketNotifier>

#include "storage/nativeclient.h"
#include "storage/wexoconnection.h"

void TWexoConnection::SetUpWatch() {
  FWatchTimer.setInterval(2000);
  connect(&FWatchTimer, &QTimer::timeout, this, [this] {
    if (!FPostgres) {
      CheckDataVersion();
    } else if (FPooled && FWatching && FOnline && Db().isOpen()) {
      CheckChangeCounter();
    } else if (FOnline && !Db().isOpen()) {
      // A session the server ended while nobody listened (a restart,
      // idle_session_timeout): connected again quietly; only a failure shows.
      StartProbe();
    }
  });
}

void TWexoConnection::WatchOpenWork(bool on) {
  const bool was = FWatching;
  FWatching = on;
  if (FPostgres) {
    // Listening stays on once started: hiding and showing the window costs no statements.
    if (on && !was && FOnline)
      Listen();
    // Behind a pooler the counter read now is what later reads compare with.
    if (on && FPooled && FDataVersion < 0 && FOnline && Db().isOpen())
      CheckChangeCounter();
    if (!FWatchTimer.isActive())
      FWatchTimer.start();
    return;
  }
  // The version read before a dialog still stands: showing the window again asks nothing.
  if (on && !FWatchTimer.isActive()) {
    if (FDataVersion < 0)
      CheckDataVersion();
    FWatchTimer.start();
  } else if (!on) {
    FWatchTimer.stop();
  }
}

// Listens on the session's channel (one round trip, unless the connecting
// thread did it) and watches the session's socket from this thread.
void TWexoConnection::Listen() {
  if (FPooled || !Db().isOpen())
    return;
  if (!FListening) {
    TFailure failure = TFailure::None;
    QString reason;
    RunOnce(ListenStatement(), {}, false, failure, reason);
    if (failure != TFailure::None)
      return; // a statement of the user's will tell what is wrong
    FListening = true;
  }
  StartListener();
}

QString TWexoConnection::ListenStatement() { return QStringLiteral("LISTEN %1").arg(QLatin1String(OpenWorkChannel)); }

void TWexoConnection::StartListener() {
  const int socket = WexoNative::PgSocket(Db());
  if (FListener || socket < 0)
    return;
  FListener = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
  connect(FListener.get(), &QSocketNotifier::activated, this, &TWexoConnection::ReadNotifications);
  // What came with the answer to LISTEN is already read from the socket.
  TakeQueuedNotifications();
}

void TWexoConnection::StopListening() {
  FListener.reset();
  FListening = false;
}

// The socket has something: notifications, or the end of the session (a
// restart, a fail-over, a broken link). An ended session is replaced at
// once, not at the next tick, and its socket is watched no longer.
void TWexoConnection::ReadNotifications() {
  QList<QString> payloads;
  const bool alive = WexoNative::PgTakeNotifications(Db(), QByteArray(OpenWorkChannel), payloads);
  if (!alive)
    StopListening();
  for (const QString &payload : payloads)
    Notified(payload);
  if (!alive && FOnline)
    StartProbe();
}

// Notifications that arrived with the answer to a statement are read from
// the socket by libpq then, and are taken from its queue here.
void TWexoConnection::TakeQueuedNotifications() {
  FQueuedCheckDue = false;
  if (!FListener)
    return;
  QList<QString> payloads;
  WexoNative::PgQueuedNotifications(Db(), QByteArray(OpenWorkChannel), payloads);
  for (const QString &payload : payloads)
    Notified(payload);
}

// A notification with the new totals is handed on as it is; one without
// (a TRUNCATE, an older program's trigger) says only that something changed.
void TWexoConnection::Notified(const QString &payload) {
  if (payload.isEmpty())
    Q_EMIT OpenWorkChanged();
  else
    Q_EMIT OpenWorkPushed(payload);
}

// Behind a transaction pooler nobody listens: every change of the open work
// counts up a sequence, and one tiny read of it every two seconds tells a
// shown window whether to read its counts.
void TWexoConnection::CheckChangeCounter() {
  TFailure failure = TFailure::None;
  QString reason;
  TWexoRows rows = RunOnce(QStringLiteral("SELECT last_value FROM open_work_changes"), {}, true, failure, reason);
  if (failure != TFailure::None || !rows.next())
    return; // a statement of the user's will tell what is wrong
  const qint64 counter = rows.value(0).toLongLong();
  const bool changed = FDataVersion >= 0 && counter != FDataVersion;
  FDataVersion = counter;
  if (changed)
    Q_EMIT OpenWorkChanged();
}

// Asked every two seconds without waiting for a lock: another program's long
// lock (a VACUUM, a bulk job) is tried again at the next tick, and after
// LockShownAfterMs it is shown, as a lost server is.
void TWexoConnection::CheckDataVersion() {
  SetLockWait(0);
  const auto waitBack = qScopeGuard([this] { SetLockWait(FFailFast ? 0 : FBusyTimeout); });
  TFailure failure = TFailure::None;
  QString reason;
  TWexoRows rows = RunOnce(QStringLiteral("PRAGMA data_version"), {}, true, failure, reason);
  if (failure == TFailure::Locked) {
    if (!FLockedSince.isValid())
      FLockedSince.start();
    if (!FLocked && FLockedSince.elapsed() >= LockShownAfterMs) {
      FLocked = true;
      Q_EMIT StateChanged();
    }
    return;
  }
  const bool wasLocked = FLocked;
  FLockedSince.invalidate();
  FLocked = false;
  if (wasLocked)
    Q_EMIT StateChanged();
  if (failure != TFailure::None || !rows.next())
    return; // damage is the statements' and the check's to report
  const qint64 version = rows.value(0).toLongLong();
  const bool changed = FDataVersion >= 0 && version != FDataVersion;
  FDataVersion = version;
  if (changed || wasLocked)
    Q_EMIT OpenWorkChanged();
}
