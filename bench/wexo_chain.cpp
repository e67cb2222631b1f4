// A simulated chain: N workstations with the program's own store, connection
// and data module (no windows) against a throwaway PostgreSQL server, directly
// or through PgBouncer, and a back-office writer changing open work R times a
// second. Each workstation starts (connect, check, read what a start reads),
// keeps its counts current as a window does (with the window's refresh
// timing), and opens a dialog now and then.
//
//   wexo_chain [--workstations N] [--rate R] [--seconds S] [--pooler] [--restart]
//
// Prints the start storm, how long a change takes until every workstation's
// window would show it, and what the server spends: statements (transactions)
// per second and per change, CPU seconds per second and memory per
// workstation. With --restart the server restarts halfway: how long until
// every workstation shows the rows' counts again, and whether every change
// after it arrived.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "datamodule/wexodmu.h"
#include "wexoentreefrm.h"
#include "pgbouncer.h"
#include "pgserver.h"
#include "storage/wexostore.h"

namespace {
struct TOptions {
  int Workstations = 1000;
  int Rate = 20;
  int Seconds = 20;
  bool Pooler = false;
  bool Restart = false;
};

struct TServerUse {
  double CpuSeconds = 0;
  double PssMiB = 0;
  int Processes = 0;
};

// CPU time and memory of the server: the postmaster and its children, from /proc.
TServerUse ServerUse(const QString &dataDir) {
  TServerUse use;
  QFile pidFile(dataDir + QStringLiteral("/postmaster.pid"));
  if (!pidFile.open(QIODevice::ReadOnly))
    return use;
  const int postmaster = pidFile.readLine().trimmed().toInt();
  const long ticks = ::sysconf(_SC_CLK_TCK);
  for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool isPid = false;
    const int pid = entry.toInt(&isPid);
    if (!isPid)
      continue;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
      continue;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13 || (pid != postmaster && fields.at(1).toInt() != postmaster))
      continue;
    use.CpuSeconds += double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(ticks);
    ++use.Processes;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (rollup.open(QIODevice::ReadOnly))
      for (const QByteArray &line : rollup.readAll().split('\n'))
        if (line.startsWith("Pss:"))
          use.PssMiB += line.mid(4).trimmed().split(' ').first().toDouble() / 1024.0;
  }
  return use;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

qint64 Transactions(QSqlDatabase &db, const QString &database) {
  QSqlQuery q(db);
  q.exec(QStringLiteral("SELECT xact_commit + xact_rollback FROM pg_stat_database WHERE datname = '%1'").arg(database));
  return q.next() ? q.value(0).toLongLong() : 0;
}

// One workstation: its data module keeps the counts, refreshed as the
// window refreshes its task list: one refresh per burst of changes, under a
// steady stream at most every OpenWorkRefreshMs.
struct TWorkstation {
  std::unique_ptr<Twexodm> Dm;
  int Seen = 0; // changes of the writer this workstation's counts show
  std::unique_ptr<QTimer> Refresh;
  QElapsedTimer Refreshed;
  bool ReadNeeded = false; // a change of this burst came without its totals
  int Shown = -1;          // the invoices its window shows
};
} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  qputenv("WEXO_DIALOGS", "auto");
  TOptions o;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--workstations") && i + 1 < args.size())
      o.Workstations = args[++i].toInt();
    else if (args[i] == QLatin1String("--rate") && i + 1 < args.size())
      o.Rate = args[++i].toInt();
    else if (args[i] == QLatin1String("--seconds") && i + 1 < args.size())
      o.Seconds = args[++i].toInt();
    else if (args[i] == QLatin1String("--pooler"))
      o.Pooler = true;
    else if (args[i] == QLatin1String("--restart"))
      o.Restart = true;
  }
  // Every workstation holds a socket (two behind the pooler's side): more than the default 1,024.
  rlimit files{};
  ::getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &files);

  TPgServer server(nullptr, o.Pooler ? 60 : o.Workstations + 40);
  if (!server.Ok()) {
    std::printf("Kette nicht gemessen: %s\n", qPrintable(server.Error()));
    return 0;
  }
  const QString database = QStringLiteral("kette");
  const QString direct = server.Url(database);
  { std::unique_ptr<TWexoStore> created(TWexoStore::Open(direct)); }
  std::unique_ptr<TPgBouncer> pooler;
  QString address = direct;
  if (o.Pooler) {
    pooler = std::make_unique<TPgBouncer>(server.Port(), QStringLiteral("transaction"), 20);
    if (!pooler->Ok()) {
      std::printf("Kette nicht gemessen: %s\n", qPrintable(pooler->Error()));
      return 0;
    }
    address = QStringLiteral("postgresql://wexo@127.0.0.1:%1/%2?pooling=transaction").arg(pooler->Port()).arg(database);
  }
  QSqlDatabase office = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("buero"));
  office.setHostName(QStringLiteral("127.0.0.1"));
  office.setPort(server.Port());
  office.setDatabaseName(database);
  office.setUserName(QStringLiteral("wexo"));
  if (!office.open()) {
    std::printf("Kette nicht gemessen: keine Verbindung des Schreibers\n");
    return 0;
  }
  auto invoices = [&] {
    QSqlQuery q(office);
    q.exec(QStringLiteral("SELECT COUNT(*) FROM pending_work WHERE kind = 'INVO' AND done = 0"));
    return q.next() ? q.value(0).toInt() : 0;
  };
  const int invoicesAtStart = invoices();

  // The start storm: one after the other in this process, each timed from connecting to its counts.
  std::vector<TWorkstation> tills(size_t(o.Workstations));
  std::vector<double> ready;
  QElapsedTimer storm;
  storm.start();
  for (int i = 0; i < o.Workstations; ++i) {
    QElapsedTimer one;
    one.start();
    tills[size_t(i)].Dm = std::make_unique<Twexodm>(TWexoStore::Open(address), true);
    tills[size_t(i)].Dm->OpenWork();
    tills[size_t(i)].Dm->WatchOpenWork(true);
    ready.push_back(double(one.nsecsElapsed()) / 1e6);
  }
  const double stormSeconds = double(storm.elapsed()) / 1000.0;

  // The writer: R new rows of open work a second; change k is the k-th row.
  std::vector<qint64> written;
  std::vector<double> reach;           // per change and workstation: ms until its counts show it
  std::vector<double> lastReach;       // per change: ms until the last workstation shows it
  std::vector<int> reached;
  std::mutex writtenMutex; // the writer's thread appends, this one reads
  QElapsedTimer clock;
  clock.start();
  const auto currentInvoices = [](Twexodm *dm) {
    TWexoOpenWork work;
    {
      const Twexodm::TPushedOpenWork cached(dm);
      work = dm->OpenWork();
    }
    return work.Count(QStringLiteral("INVO"));
  };
  const auto noteReached = [&](TWorkstation &till, int count) {
    till.Shown = count;
    const int shown = count - invoicesAtStart;
    const std::lock_guard lock(writtenMutex);
    const qint64 now = clock.elapsed();
    for (; till.Seen < shown && till.Seen < int(written.size()); ++till.Seen) {
      const double ms = double(now - written[size_t(till.Seen)]);
      reach.push_back(ms);
      lastReach[size_t(till.Seen)] = std::max(lastReach[size_t(till.Seen)], ms);
      ++reached[size_t(till.Seen)];
    }
  };
  for (size_t i = 0; i < tills.size(); ++i) {
    TWorkstation &till = tills[i];
    Twexodm *dm = till.Dm.get();
    till.Refresh = std::make_unique<QTimer>();
    till.Refresh->setSingleShot(true);
    QObject::connect(till.Refresh.get(), &QTimer::timeout, dm, [&, dm, &till = till] {
      till.Refreshed.start();
      int count = 0;
      if (std::exchange(till.ReadNeeded, false)) {
        // Without the totals (or behind the pooler) the workstation reads, as a window does.
        try {
          count = dm->OpenWork().Count(QStringLiteral("INVO"));
        } catch (const std::exception &) {
          return;
        }
      } else {
        count = currentInvoices(dm);
      }
      noteReached(till, count);
    });
    const auto schedule = [&till = till] {
      if (till.Refresh->isActive())
        return; // the refresh already due takes this change along
      const qint64 since = till.Refreshed.isValid() ? till.Refreshed.elapsed() : TfrmWexoentree::OpenWorkRefreshMs;
      till.Refresh->start(
          int(std::max<qint64>(TfrmWexoentree::OpenWorkBurstMs, TfrmWexoentree::OpenWorkRefreshMs - since)));
    };
    QObject::connect(dm, &Twexodm::OpenWorkPushed, dm, schedule);
    QObject::connect(dm, &Twexodm::OpenWorkChanged, dm, [&till = till, schedule] {
      till.ReadNeeded = true;
      schedule();
    });
    // A reconnected window reads everything anew.
    QObject::connect(dm, &Twexodm::Reconnected, dm, [&till = till, schedule] {
      till.ReadNeeded = true;
      schedule();
    });
  }
  const auto sentByTills = [&] {
    qint64 sent = 0;
    for (const TWorkstation &t : tills)
      sent += t.Dm->Store()->Connection()->StatementsSent();
    return sent;
  };
  qint64 restartedAt = -1, currentAgainMs = -1;
  int firstAfterRestart = -1;
  QTimer currentCheck;
  const qint64 sentBefore = sentByTills();
  const qint64 transactionsBefore = Transactions(office, database);
  const TServerUse useBefore = ServerUse(server.DataDir());
  // The writer has a thread and a connection of its own, so its rate does not
  // depend on how busy the workstations keep this thread.
  std::atomic<bool> writing{true};
  const int serverPort = server.Port();
  const auto write = [&] {
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("schreiber"));
      db.setHostName(QStringLiteral("127.0.0.1"));
      db.setPort(serverPort);
      db.setDatabaseName(database);
      db.setUserName(QStringLiteral("wexo"));
      db.open();
      QElapsedTimer pace;
      pace.start();
      for (qint64 k = 1; writing; ++k) {
        {
          // Noted before it is sent: a workstation may hear of it before the insert returns.
          const std::lock_guard lock(writtenMutex);
          written.push_back(clock.elapsed());
          lastReach.push_back(0);
          reached.push_back(0);
        }
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO pending_work (kind, title) VALUES ('INVO', 'Kette')"));
        const qint64 due = k * 1000 / std::max(1, o.Rate);
        if (due > pace.elapsed())
          QThread::msleep(quint64(due - pace.elapsed()));
      }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("schreiber"));
  };
  QThread *writer = QThread::create(write);
  // Now and then a workstation opens a dialog: one a second across the chain.
  QTimer dialogs;
  int opened = 0;
  QObject::connect(&dialogs, &QTimer::timeout, [&] {
    ++opened;
    Twexodm *dm = tills[size_t(QRandomGenerator::global()->bounded(o.Workstations))].Dm.get();
    try {
      dm->WEListe();
    } catch (const std::exception &) {
    }
  });
  // Halfway, the server restarts under every workstation: when does each
  // show the rows' counts again, and does every change after it arrive?
  QObject::connect(&currentCheck, &QTimer::timeout, [&] {
    const int rows = invoices();
    if (rows > 0 && std::all_of(tills.begin(), tills.end(), [&](const TWorkstation &t) { return t.Shown == rows; })) {
      currentAgainMs = clock.elapsed() - restartedAt;
      currentCheck.stop();
    }
  });
  if (o.Restart)
    QTimer::singleShot(o.Seconds * 500, [&] {
      writing = false; // the writer waits out the restart
      writer->wait();
      office.close();
      server.Restart();
      restartedAt = clock.elapsed();
      office.open();
      {
        const std::lock_guard lock(writtenMutex);
        firstAfterRestart = int(written.size());
      }
      writing = true;
      delete writer;
      writer = QThread::create(write);
      writer->start();
      currentCheck.start(50);
    });
  writer->start();
  dialogs.start(1000);
  QTimer::singleShot(o.Seconds * 1000, [&] {
    writing = false;
    dialogs.stop();
  });
  // After the writer stops, a few seconds for the last changes to arrive
  // (after a restart, up to half a minute for every workstation to be back).
  QTimer::singleShot(o.Seconds * 1000 + 4000, &app, [&] {
    if (!o.Restart || currentAgainMs >= 0)
      app.quit();
    else
      QTimer::singleShot(30000, &app, &QCoreApplication::quit);
  });
  QObject::connect(&currentCheck, &QTimer::timeout, &app, [&] {
    if (currentAgainMs >= 0 && !writing && clock.elapsed() > o.Seconds * 1000 + 4000)
      app.quit();
  });
  const qint64 measured = clock.elapsed();
  app.exec();
  writer->wait();
  delete writer;
  const double seconds = double(clock.elapsed() - measured) / 1000.0;
  const qint64 transactions = Transactions(office, database) - transactionsBefore;
  const TServerUse useAfter = ServerUse(server.DataDir());
  const int changes = int(written.size()); // the writer has ended
  const qint64 sent = sentByTills() - sentBefore;
  int complete = 0, completeAfterRestart = 0;
  for (int k = 0; k < int(reached.size()); ++k) {
    complete += reached[size_t(k)] == o.Workstations;
    completeAfterRestart += k >= firstAfterRestart && reached[size_t(k)] == o.Workstations;
  }
  std::printf("\n## Simulierte Kette: %d Arbeitsplätze, %d Änderungen/s, %s%s\n\n", o.Workstations, o.Rate,
              o.Pooler ? "durch PgBouncer (transaction, Pool 20)" : "direkt",
              o.Restart ? ", Server nach der Hälfte neu gestartet" : "");
  std::printf("| Messung | Wert |\n|---|---|\n");
  std::printf("| Start aller Arbeitsplätze nacheinander | %.1f s |\n", stormSeconds);
  std::printf("| Start bis bereit, p50 / p95 | %.1f / %.1f ms |\n", Percentile(ready, 0.5), Percentile(ready, 0.95));
  std::printf("| Änderungen, bei allen angekommen | %d von %d |\n", complete, changes);
  if (o.Restart) {
    std::printf("| Nach dem Neustart: alle Arbeitsplätze zeigen wieder die Zeilen | %s |\n",
                currentAgainMs < 0 ? "nie" : qPrintable(QStringLiteral("nach %1 ms").arg(currentAgainMs)));
    std::printf("| Änderungen nach dem Neustart, bei allen angekommen | %d von %d |\n", completeAfterRestart,
                changes - std::max(0, firstAfterRestart));
  }
  std::printf("| Änderung bis sie im Fenster stünde, p50 / p95 / max | %.0f / %.0f / %.0f ms |\n", Percentile(reach, 0.5),
              Percentile(reach, 0.95), reach.empty() ? 0.0 : *std::max_element(reach.begin(), reach.end()));
  std::printf("| Änderung bis zum letzten Arbeitsplatz, p95 | %.0f ms |\n", Percentile(lastReach, 0.95));
  // The server counts a transaction for each listener it hands a notification to.
  std::printf("| Server: Transaktionen je Sekunde (mit dem Zustellen der Benachrichtigungen) | %.0f |\n",
              double(transactions) / seconds);
  // What the workstations cost: without the writer's own changes, the dialogs and this tool's two counts.
  const double caused = double(std::max<qint64>(0, transactions - changes - opened - 2));
  std::printf("| Server: Transaktionen für die Arbeitsplätze je Änderung und Arbeitsplatz | %.3f |\n",
              changes > 0 ? caused / double(changes) / o.Workstations : 0.0);
  std::printf("| Anweisungen der Arbeitsplätze je Änderung und Arbeitsplatz (gezählt beim Senden) | %.3f |\n",
              changes > 0 ? double(sent - opened) / double(changes) / o.Workstations : 0.0);
  std::printf("| Server: CPU-Sekunden je Sekunde | %.2f |\n", (useAfter.CpuSeconds - useBefore.CpuSeconds) / seconds);
  std::printf("| Server: Speicher (PSS) je Arbeitsplatz | %.2f MiB (%d Prozesse) |\n",
              useAfter.PssMiB / o.Workstations, useAfter.Processes);
  // The counters the windows read against a count of the rows they stand for.
  QString mismatch;
  {
    std::unique_ptr<TWexoStore> check(TWexoStore::Open(direct));
    mismatch = check->CheckCounters(QStringLiteral("INVO"));
  }
  std::printf("| Zähler gegen Zeilen gezählt (INVO) | %s |\n",
              mismatch.isEmpty() ? "stimmen" : qPrintable(mismatch));
  // Changes made while the server restarted may be missed; every one after it arrives.
  const bool ok = (o.Restart ? completeAfterRestart == changes - firstAfterRestart && currentAgainMs >= 0
                             : complete == changes) &&
                  changes > 0 && mismatch.isEmpty();
  tills.clear();
  return ok ? 0 : 1;
}
