// Measures what a shop feels: start-up, the refresh after every dialog, the
// quick entries and memory. Prints medians and ratios measured in one run.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "components/qvnsearch.h"
#include "datamodule/wexodmu.h"
#include "pgserver.h"
#include "storage/wexostore.h"
#include "tcpproxy.h"
#include "wexoentreefrm.h"

extern char **environ;

namespace {
constexpr int StartRuns = 15;
constexpr int RefreshRounds = 15;

struct Run {
  double ms;       // from the start of the process to its first paint
  long maxRssKb;   // peak resident size
};

// Starts a program, waits for it and returns the time until its first paint
// (the program writes that moment into WEXO_PAINTED_FILE) and its peak resident size.
Run Spawn(const QString &program, const QStringList &env, const char *argument = nullptr) {
  const QString painted = QDir::temp().filePath(QStringLiteral("wexo-bench-painted"));
  QFile::remove(painted);
  std::vector<QByteArray> storage;
  for (char **e = environ; *e; ++e)
    storage.emplace_back(*e);
  for (const QString &e : env)
    storage.push_back(e.toUtf8());
  storage.push_back("WEXO_PAINTED_FILE=" + painted.toUtf8());
  QByteArray path = program.toUtf8();
  QByteArray arg = argument ? QByteArray(argument) : QByteArray();
  char *argv[] = {path.data(), argument ? arg.data() : nullptr, nullptr};
  std::vector<char *> envp;
  for (QByteArray &e : storage)
    envp.push_back(e.data());
  envp.push_back(nullptr);
  const qint64 started = QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs();
  pid_t pid = 0;
  if (posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, envp.data()) != 0) {
    std::fprintf(stderr, "%s kann nicht gestartet werden\n", path.constData());
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  QFile file(painted);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "%s hat kein Zeichnen gemeldet\n", path.constData());
    std::exit(1);
  }
  return {(file.readAll().toLongLong() - started) / 1e6, usage.ru_maxrss};
}

template <class T> T Median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Open pending work: n rows of every kind the task list counts.
void FillPendingWork(TWexoStore &store, int n) {
  const QString insert = QStringLiteral(
      "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
      "INSERT INTO pending_work (kind, subkind, client_id, due_at, title) SELECT '%2', %3, 1, %4, 'Vorgang' FROM c");
  const QString spreadDue = QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S', 'now', '-' || (x % 1500) || ' days')");
  store.Transaction([&] {
    store.ExecDirect(insert.arg(n).arg("WDVO").arg(0).arg(spreadDue));
    for (const char *kind : {"BEDA", "DIIM", "SCAN", "INVO", "UNVO", "QUFA"})
      store.ExecDirect(insert.arg(n).arg(kind).arg(0).arg("''"));
    store.ExecDirect(insert.arg(n / 2).arg("EXFE").arg(1).arg("''"));
    store.ExecDirect(insert.arg(n - n / 2).arg("EXFE").arg(2).arg("''"));
    store.ExecDirect(insert.arg(n / 2).arg("WAVE").arg(2).arg("''"));
    store.ExecDirect(insert.arg(n - n / 2).arg("WAVE").arg(3).arg("''"));
  });
}

struct Window {
  explicit Window(const QString &dbPath) {
    store.reset(TWexoStore::Open(dbPath));
    dm = std::make_unique<Twexodm>(store.get());
    wexodm = dm.get();
    form = std::make_unique<TfrmWexoentree>();
    frmWexoentree = form.get();
    form->show();
    QApplication::processEvents();
  }
  ~Window() {
    form.reset();
    dm.reset();
    wexodm = nullptr;
  }
  std::unique_ptr<TWexoStore> store;
  std::unique_ptr<Twexodm> dm;
  std::unique_ptr<TfrmWexoentree> form;
};

// Adds the times of the whole showing sequence after a dialog (menu infos, task
// list, quick entries, start-menu selection) in a window on that database.
void MeasureRefresh(const QString &dbPath, std::vector<double> &times, int repetitions = 11) {
  Window w(dbPath);
  for (int i = 0; i < repetitions; ++i) {
    w.form->hide();
    QElapsedTimer t;
    t.start();
    w.form->show();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
}

// Switching to each area for the first time, until its page is laid out and
// painted (pictures read from disk included): the slowest of the areas, per window.
double FirstSwitchMs(const QString &dbPath, int windows = 5) {
  std::vector<double> slowest;
  for (int n = 0; n < windows; ++n) {
    Window w(dbPath);
    double most = 0;
    TPnlButtonsColl *areas = w.form->btnpnStartMenu->Buttons();
    for (int a = 0; a < areas->Count(); ++a) {
      if (!areas->Items(a)->IsShown() || a == w.form->btnpnStartMenu->Selected())
        continue;
      QElapsedTimer t;
      t.start();
      areas->Items(a)->BtnAction()->trigger();
      w.form->repaint();
      most = std::max(most, t.nsecsElapsed() / 1e6);
    }
    slowest.push_back(most);
  }
  return Median(slowest);
}

// A database whose quick entries are that many.
void FillQuickEntries(const QString &dbPath, int entries) {
  std::unique_ptr<TWexoStore> store(TWexoStore::Open(dbPath));
  store->Transaction([&] {
    store->ExecDirect("DELETE FROM quick_entries");
    store->ExecDirect(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                                     "INSERT INTO quick_entries (position, name, operation, arguments) "
                                     "SELECT x, 'Schnelleinstieg ' || x, 'WEListe', '' FROM c")
                          .arg(entries));
  });
}

double QuickEntriesMs(const QString &dbPath, int entries, int repetitions = 15) {
  FillQuickEntries(dbPath, entries);
  Window w(dbPath);
  w.form->spbColCount->SetTag(2);
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    QElapsedTimer t;
    t.start();
    w.form->LoadSchnellEinstiege();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
  return Median(times);
}
// The search: from Strg+F until the popup has painted itself, on the demo
// database and with 10,000 quick entries; and the filtering per keystroke.
struct SearchRows {
  double openMs = 0, openLargeMs = 0;
  double filterMs = 0, filterLargeMs = 0;
};

double SearchOpenMs(const QString &dbPath) {
  Window w(dbPath);
  // Until the popup has painted itself: what the user waits for.
  class PaintSeen : public QObject {
  public:
    bool Seen = false;
    bool eventFilter(QObject *, QEvent *e) override {
      if (e->type() == QEvent::Paint)
        Seen = true;
      return false;
    }
  } painted;
  std::vector<double> open;
  for (int i = 0; i < 21; ++i) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier);
    painted.Seen = false;
    QElapsedTimer t;
    t.start();
    QCoreApplication::sendEvent(w.form.get(), &key);
    w.form->Suche()->installEventFilter(&painted);
    w.form->Suche()->repaint();
    while (!painted.Seen && t.elapsed() < 1000)
      QApplication::processEvents();
    open.push_back(t.nsecsElapsed() / 1e6);
    w.form->Suche()->hide();
  }
  return Median(open);
}

// Per keystroke of typing "art bek" and "ztrm", over that many entries.
double SearchFilterMs(int count) {
  const QStringList words = {"Artikelnummer", "bekannt", "Hersteller", "Lieferant", "Liste", "bearbeiten",
                             "Stammdaten", "suchen", "Wareneingang", "Übersicht", "Rechnung", "Gutschrift",
                             "erfassen", "Vorgabe", "Inventurzählung", "Währungen", "Zeiträume", "Disposition"};
  QList<TQVNSuchEintrag> entries;
  for (int i = 0; i < count; ++i) {
    TQVNSuchEintrag e;
    e.Text = words.at(i % words.size()) + QLatin1Char(' ') + words.at((i * 7 + 3) % words.size()) +
             QStringLiteral(" %1").arg(i);
    e.Area = words.at((i * 3 + 1) % words.size());
    e.Usage = i % 5;
    e.Order = i;
    entries << e;
  }
  QWidget over;
  over.resize(900, 660);
  TQVNSuche search;
  search.SetEntries(entries, {});
  search.Open(&over);
  std::vector<double> filter;
  for (int round = 0; round < 15; ++round)
    for (const char *typed : {"a", "ar", "art", "art ", "art b", "art be", "art bek", "z", "zt", "ztr", "ztrm"}) {
      QElapsedTimer t;
      t.start();
      search.SetText(QString::fromLatin1(typed));
      filter.push_back(t.nsecsElapsed() / 1e6);
    }
  search.hide();
  return Median(filter);
}

SearchRows MeasureSearch(const QString &dbPath, const QString &largePath) {
  SearchRows r;
  r.openMs = SearchOpenMs(dbPath);
  FillQuickEntries(largePath, 10000);
  r.openLargeMs = SearchOpenMs(largePath);
  r.filterMs = SearchFilterMs(1000);
  r.filterLargeMs = SearchFilterMs(10000);
  return r;
}

// A branch on a slow link: the same PostgreSQL server on loopback and behind
// a proxy that delays each direction by 10 ms (20 ms round trip).
struct PostgresRows {
  bool ran = false;
  QString why;
  double startLoopback = 0, startSlow = 0;
  int startTrips = 0;
  double refreshLoopback = 0, refreshSlow = 0;
  int refreshTrips = 0;
  int launchTrips = 0;
};

constexpr int LinkDelayMs = 10;

PostgresRows MeasurePostgres(const QString &wexo) {
  PostgresRows r;
  TPgServer server;
  if (!server.Ok()) {
    r.why = server.Error();
    return r;
  }
  TTcpProxy proxy(server.Port(), LinkDelayMs);
  const QString loopback = server.Url(QStringLiteral("bench"));
  const QString slow = server.Url(QStringLiteral("bench"), proxy.Port());
  auto env = [](const QString &url) {
    return QStringList{"WEXO_DATABASE=" + url, "WEXO_QUIT_AFTER_PAINT=1", "QT_QPA_PLATFORM=offscreen",
                       "WEXO_DIALOGS=auto"};
  };
  Spawn(wexo, env(loopback)); // creates and seeds the database
  std::vector<double> fast, delayed;
  std::vector<int> trips;
  for (int i = 0; i < 7; ++i) {
    fast.push_back(Spawn(wexo, env(loopback)).ms);
    proxy.ResetRoundTrips();
    delayed.push_back(Spawn(wexo, env(slow)).ms);
    trips.push_back(proxy.RoundTrips());
  }
  r.startLoopback = Median(fast);
  r.startSlow = Median(delayed);
  r.startTrips = Median(trips);

  std::vector<double> refreshFast, refreshSlow;
  std::vector<int> refreshTrips, launchTrips;
  {
    Window w(loopback);
    for (int i = 0; i < 11; ++i) {
      w.form->hide();
      QElapsedTimer t;
      t.start();
      w.form->show();
      refreshFast.push_back(t.nsecsElapsed() / 1e6);
    }
  }
  {
    Window w(slow);
    for (int i = 0; i < 11; ++i) {
      w.form->hide();
      proxy.ResetRoundTrips();
      QElapsedTimer t;
      t.start();
      w.form->show();
      refreshSlow.push_back(t.nsecsElapsed() / 1e6);
      refreshTrips.push_back(proxy.RoundTrips());
      proxy.ResetRoundTrips();
      wexodm->WEListe(); // journal and fault check; the dialog returns at once here
      launchTrips.push_back(proxy.RoundTrips());
      QApplication::processEvents();
    }
  }
  r.refreshLoopback = Median(refreshFast);
  r.refreshSlow = Median(refreshSlow);
  r.refreshTrips = Median(refreshTrips);
  r.launchTrips = Median(launchTrips);
  r.ran = true;
  return r;
}
} // namespace

int main(int argc, char **argv) {
  // The offscreen platform says for every popup what it cannot do; the table is what matters here.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type != QtDebugMsg && !text.startsWith(QLatin1String("This plugin does not support")))
      std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  });
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("WEXO_DIALOGS", "auto");
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "Aufruf: %s PFAD/wexo PFAD/bare_window [BILDERORDNER]\n", argv[0]);
    return 2;
  }
  const QString wexo = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QString bare = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  // The program starts in its pictures folder, as the desktop entry starts it.
  if (argc > 3 && !QDir::setCurrent(QString::fromLocal8Bit(argv[3]))) {
    std::fprintf(stderr, "Bilderordner %s fehlt\n", argv[3]);
    return 2;
  }
  QTemporaryDir dir;
  qputenv("WEXO_ERROR_LOG", dir.filePath("errors.log").toUtf8());
  qputenv("WEXO_TERMINAL_ID", "BENCH");
  qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
  QStandardPaths::setTestModeEnabled(true);

  // WEXO_BENCH_ONLY=postgres (or =suche) measures those rows alone.
  if (qEnvironmentVariable("WEXO_BENCH_ONLY") == QLatin1String("suche")) {
    std::unique_ptr<TWexoStore>(TWexoStore::Open(dir.filePath("demo.sqlite")));
    const SearchRows search = MeasureSearch(dir.filePath("demo.sqlite"), dir.filePath("suche-gross.sqlite"));
    std::printf("Suche: öffnen %.2f ms (10.000 Schnelleinstiege: %.2f ms), filtern 1.000: %.3f ms, 10.000: %.3f ms\n",
                search.openMs, search.openLargeMs, search.filterMs, search.filterLargeMs);
    return 0;
  }
  if (qEnvironmentVariable("WEXO_BENCH_ONLY") == QLatin1String("postgres")) {
    const PostgresRows pg = MeasurePostgres(wexo);
    std::printf("Start: Loopback %.0f ms, langsam %.0f ms, %d Umläufe gezählt\nAuffrischen: Loopback %.2f ms, langsam "
                "%.1f ms, %d Umläufe gezählt\nDialog starten: %d Umläufe\n%s\n",
                pg.startLoopback, pg.startSlow, pg.startTrips, pg.refreshLoopback, pg.refreshSlow, pg.refreshTrips,
                pg.launchTrips, pg.why.toUtf8().constData());
    return 0;
  }
  // Start-up and memory, the demo database made by a first start.
  const QStringList env = {"WEXO_DATABASE=" + dir.filePath("demo.sqlite"), "WEXO_QUIT_AFTER_PAINT=1",
                           "QT_QPA_PLATFORM=offscreen", "WEXO_DIALOGS=auto"};
  Spawn(wexo, env);
  std::vector<double> wexoMs, bareMs, textMs;
  std::vector<long> wexoKb, bareKb, textKb;
  for (int i = 0; i < StartRuns; ++i) {
    const Run b = Spawn(bare, env);
    const Run t = Spawn(bare, env, "--text");
    const Run w = Spawn(wexo, env);
    bareMs.push_back(b.ms);
    bareKb.push_back(b.maxRssKb);
    textMs.push_back(t.ms);
    textKb.push_back(t.maxRssKb);
    wexoMs.push_back(w.ms);
    wexoKb.push_back(w.maxRssKb);
  }
  // WEXO_BENCH_ONLY=start measures the start-up rows alone.
  if (qEnvironmentVariable("WEXO_BENCH_ONLY") == QLatin1String("start")) {
    std::printf("Start bis gezeichnet: %.0f ms, leer %.0f ms (%.2f), eine Textzeile %.0f ms (%.2f)\n", Median(wexoMs),
                Median(bareMs), Median(wexoMs) / Median(bareMs), Median(textMs), Median(wexoMs) / Median(textMs));
    std::printf("Erster Wechsel in einen Bereich, langsamster: %.1f ms\n", FirstSwitchMs(dir.filePath("demo.sqlite")));
    return 0;
  }

  // Refresh with a thousand and a million rows of pending work per kind.
  // Rounds alternate between the two sizes, so a busy moment of the machine
  // falls on both alike.
  const int sizes[] = {1000, 1000000};
  for (int n : sizes) {
    std::unique_ptr<TWexoStore> store(TWexoStore::Open(dir.filePath(QStringLiteral("work-%1.sqlite").arg(n))));
    FillPendingWork(*store, n);
  }
  std::vector<double> refreshMs[2];
  for (int round = 0; round < RefreshRounds; ++round)
    for (int i : {0, 1})
      MeasureRefresh(dir.filePath(QStringLiteral("work-%1.sqlite").arg(sizes[i])), refreshMs[i]);
  const double refresh[2] = {Median(refreshMs[0]), Median(refreshMs[1])};

  const SearchRows search = MeasureSearch(dir.filePath("demo.sqlite"), dir.filePath("suche-gross.sqlite"));
  const PostgresRows pg = MeasurePostgres(wexo);

  const double firstSwitch = FirstSwitchMs(dir.filePath("demo.sqlite"));
  std::vector<std::pair<int, double>> quick;
  for (int n : {100, 1000, 10000})
    quick.emplace_back(n, QuickEntriesMs(dir.filePath("quick.sqlite"), n));

  std::printf("\n| Messung | Wert | Vergleich | Verhältnis | Ziel |\n|---|---|---|---|---|\n");
  std::printf("| Start bis gezeichnet (Median aus %d) | %.0f ms | leeres QMainWindow %.0f ms | %.2f | ≤ 1,5 |\n",
              StartRuns, Median(wexoMs), Median(bareMs), Median(wexoMs) / Median(bareMs));
  std::printf("| Start bis gezeichnet (Median aus %d) | %.0f ms | QMainWindow mit einer Textzeile %.0f ms | %.2f | ≤ 1,25 |\n",
              StartRuns, Median(wexoMs), Median(textMs), Median(wexoMs) / Median(textMs));
  std::printf("| Erster Wechsel in einen Bereich, langsamster (Median aus 5 Fenstern) | %.1f ms | ein Bild (60 Hz) 16,7 ms "
              "| %.2f | ≤ 1 |\n",
              firstSwitch, firstSwitch / (1000.0 / 60.0));
  std::printf("| Auffrischen, 1.000 Vorgänge je Art (Median aus %zu) | %.2f ms | | | |\n", refreshMs[0].size(),
              refresh[0]);
  std::printf("| Auffrischen, 1.000.000 Vorgänge je Art (Median aus %zu) | %.2f ms | 1.000 je Art | %.2f | ≤ 1,5 |\n",
              refreshMs[1].size(), refresh[1], refresh[1] / refresh[0]);
  for (size_t i = 0; i < quick.size(); ++i)
    std::printf("| LoadSchnellEinstiege, %d Einträge | %.2f ms | %s | %s | linear |\n", quick[i].first,
                quick[i].second, i ? QString("%1 Einträge").arg(quick[i - 1].first).toUtf8().constData() : "",
                i ? QString::number(quick[i].second / quick[i - 1].second, 'f', 1).toUtf8().constData() : "");
  std::printf("| Speicher (höchster Stand) | %.1f MB | leeres QMainWindow %.1f MB | %.2f | ≤ 1,5 |\n",
              Median(wexoKb) / 1024.0, Median(bareKb) / 1024.0, double(Median(wexoKb)) / double(Median(bareKb)));
  std::printf("| Speicher (höchster Stand) | %.1f MB | QMainWindow mit einer Textzeile %.1f MB | %.2f | |\n",
              Median(wexoKb) / 1024.0, Median(textKb) / 1024.0, double(Median(wexoKb)) / double(Median(textKb)));
  std::printf("| Suche: Strg+F bis das Fenster gezeichnet ist (Median aus 21) | %.2f ms | | | ≤ 30 ms |\n", search.openMs);
  std::printf("| Suche mit 10.000 Schnelleinstiegen: Strg+F bis gezeichnet (Median aus 21) | %.2f ms | Demodaten | %.2f | "
              "≤ 15 ms |\n",
              search.openLargeMs, search.openLargeMs / search.openMs);
  std::printf("| Suche: 1.000 Einträge filtern, je Tastendruck (Median aus 165) | %.3f ms | | | < 2 ms |\n",
              search.filterMs);
  std::printf("| Suche: 10.000 Einträge filtern, je Tastendruck (Median aus 165) | %.3f ms | 1.000 Einträge | %.1f | ≤ 2 ms |\n",
              search.filterLargeMs, search.filterLargeMs / search.filterMs);
  if (!pg.ran) {
    std::printf("| PostgreSQL | nicht gemessen: %s | | | |\n", pg.why.toUtf8().constData());
    return 0;
  }
  const double rtt = 2.0 * LinkDelayMs;
  std::printf("| PostgreSQL: Start bis gezeichnet, Loopback (Median aus 7) | %.0f ms | | | |\n", pg.startLoopback);
  std::printf("| PostgreSQL: Start bis gezeichnet, 20 ms Umlaufzeit (Median aus 7) | %.0f ms | Loopback | +%.0f ms = "
              "%.1f Umläufe (gezählt: %d) | ≤ 20 Umläufe |\n",
              pg.startSlow, pg.startSlow - pg.startLoopback, (pg.startSlow - pg.startLoopback) / rtt, pg.startTrips);
  std::printf("| PostgreSQL: Auffrischen, Loopback (Median aus 11) | %.2f ms | | | |\n", pg.refreshLoopback);
  std::printf("| PostgreSQL: Auffrischen, 20 ms Umlaufzeit (Median aus 11) | %.1f ms | Loopback | +%.1f ms = %.1f "
              "Umläufe (gezählt: %d) | ≤ 3 Umläufe |\n",
              pg.refreshSlow, pg.refreshSlow - pg.refreshLoopback, (pg.refreshSlow - pg.refreshLoopback) / rtt,
              pg.refreshTrips);
  std::printf("| PostgreSQL: Dialog starten bis er sich öffnet | %d Umläufe | | | ≤ 2 Umläufe |\n", pg.launchTrips);
  return 0;
}
