// The counts of open work: read from the rows, and between reads taken from
// what the server pushes. Pushed totals are hints: the rows are read again
// after a reconnect, at least every ReconcileMs while a window watches, and
// soon after a payload that makes no sense.
#include "datamodule/wexodmu.h"
#include "storage/openworkpush.h"

#include <stdexcept>

void Twexodm::SetUpOpenWorkChecks() {
  FReconcileTimer.setInterval(ReconcileMs);
  connect(&FReconcileTimer, &QTimer::timeout, this, &Twexodm::OpenWorkChanged);
  FDistrustTimer.setSingleShot(true);
  connect(&FDistrustTimer, &QTimer::timeout, this, [this] {
    FDistrustRead.start();
    Q_EMIT OpenWorkChanged();
  });
}

void Twexodm::TakePushedOpenWork(const QString &payload) {
  // Nothing read yet to apply it to: the read brings it along.
  if (!FHaveOpenWork) {
    Q_EMIT OpenWorkChanged();
    return;
  }
  switch (WexoOpenWorkPush::Apply(FLastOpenWork, payload, FHighestVersion)) {
  case WexoOpenWorkPush::TVerdict::Applied: Q_EMIT OpenWorkPushed(); break;
  case WexoOpenWorkPush::TVerdict::ReadNeeded: Q_EMIT OpenWorkChanged(); break;
  case WexoOpenWorkPush::TVerdict::Suspect: DistrustPushedOpenWork(payload); break;
  }
}

// A payload that is not this program's or cannot be true changes nothing; the
// counts are read once instead, a flood of them costing one read per
// DistrustReadMs, and the error log hears of it once per burst.
void Twexodm::DistrustPushedOpenWork(const QString &payload) {
  if (!FLastDistrust.isValid() || FLastDistrust.elapsed() >= DistrustReadMs)
    QVNInfo()->WriteLog(QStringLiteral("Twexodm.OpenWorkPushed"),
                        QStringLiteral("Eine Benachrichtigung über offene Arbeit ist nicht von diesem Programm oder "
                                       "kann nicht stimmen; sie wird übergangen und die Zähler werden neu gelesen: "
                                       "„%1“")
                            .arg(payload.left(200)));
  FLastDistrust.start();
  if (FDistrustTimer.isActive())
    return;
  const qint64 since = FDistrustRead.isValid() ? FDistrustRead.elapsed() : DistrustReadMs;
  FDistrustTimer.start(int(qMax<qint64>(0, DistrustReadMs - since)));
}

TWexoOpenWork Twexodm::OpenWork() {
  // Pushed totals stand in for a read; the resubmissions due stay as read.
  if (FUsePushed && FHaveOpenWork) {
    FOpenWorkCurrent = false;
    return FLastOpenWork;
  }
  FOpenWorkCurrent = false;
  try {
    if (!FStore)
      throw std::runtime_error("Keine Datenbank geöffnet.");
    FLastOpenWork = FStore->Read(wpOpenWork).OpenWork;
    FHaveOpenWork = true;
    FOpenWorkCurrent = true;
    // What was read is the truth: a version pushed ahead of it counts no more.
    FHighestVersion = WexoOpenWorkPush::HighestVersion(FLastOpenWork);
    if (FReconcileTimer.isActive()) // counted from the last read
      FReconcileTimer.start();
  } catch (const EWexoUnreachable &) {
    if (!FHaveOpenWork)
      throw;
  }
  return FLastOpenWork;
}

void Twexodm::WatchOpenWork(bool on) {
  if (!FStore)
    return;
  FStore->Connection()->WatchOpenWork(on);
  // Only a server pushes totals; an SQLite file is asked for every change.
  if (on && FStore->IsPostgres())
    FReconcileTimer.start();
  else
    FReconcileTimer.stop();
}

void Twexodm::SetReconcileInterval(int ms) {
  FReconcileTimer.setInterval(ms);
  if (FReconcileTimer.isActive())
    FReconcileTimer.start();
}
