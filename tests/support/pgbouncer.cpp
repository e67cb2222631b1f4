#include "pgbouncer.h"
#include "tcpproxy.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <signal.h>
#include <unistd.h>

namespace {
const char *const kProgram = "/usr/sbin/pgbouncer";

bool Listening(int port) {
  const int fd = ConnectLoopback(port);
  if (fd >= 0)
    ::close(fd);
  return fd >= 0;
}
} // namespace

TPgBouncer::TPgBouncer(int serverPort, const QString &mode, int poolSize) {
  if (!QFileInfo::exists(QString::fromLatin1(kProgram))) {
    FError = QStringLiteral("PgBouncer ist nicht installiert (Paket pgbouncer)");
    return;
  }
  FRoot = ::getuid() == 0;
  // PgBouncer refuses to run as root; its folder then belongs to the postgres user.
  if (FRoot)
    QProcess::execute(QStringLiteral("chown"), {QStringLiteral("postgres"), FDir.path()});
  QFile::setPermissions(FDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                         QFileDevice::ReadOther | QFileDevice::ExeOther);
  QFile users(FDir.filePath(QStringLiteral("users.txt")));
  if (users.open(QIODevice::WriteOnly))
    users.write("\"wexo\" \"\"\n");
  users.close();
  for (int attempt = 0; attempt < 5 && !FOk; ++attempt) {
    FPort = 40000 + int(QRandomGenerator::global()->bounded(20000));
    QFile ini(FDir.filePath(QStringLiteral("pgbouncer.ini")));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
      break;
    ini.write(QStringLiteral("[databases]\n* = host=127.0.0.1 port=%1\n[pgbouncer]\nlisten_addr = 127.0.0.1\n"
                             "listen_port = %2\nunix_socket_dir =\nauth_type = trust\nauth_file = %3\n"
                             "pool_mode = %4\ndefault_pool_size = %5\nmax_client_conn = 2000\n"
                             "logfile = %6\npidfile = %7\n")
                  .arg(serverPort)
                  .arg(FPort)
                  .arg(users.fileName(), mode)
                  .arg(poolSize)
                  .arg(FDir.filePath(QStringLiteral("pgbouncer.log")), FDir.filePath(QStringLiteral("pgbouncer.pid")))
                  .toUtf8());
    ini.close();
    if (FRoot)
      QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("postgres"), FDir.path()});
    if (!Run({QStringLiteral("-d"), ini.fileName()}))
      continue;
    for (int i = 0; i < 50 && !FOk; ++i) {
      FOk = Listening(FPort);
      if (!FOk)
        QThread::msleep(100);
    }
  }
  if (!FOk)
    FError = QStringLiteral("PgBouncer startet nicht");
}

TPgBouncer::~TPgBouncer() {
  QFile pid(FDir.filePath(QStringLiteral("pgbouncer.pid")));
  if (pid.open(QIODevice::ReadOnly)) {
    const int process = pid.readAll().trimmed().toInt();
    if (process > 0)
      ::kill(process, SIGTERM);
    for (int i = 0; i < 50 && ::kill(process, 0) == 0; ++i)
      QThread::msleep(50);
  }
}

bool TPgBouncer::Run(const QStringList &arguments) {
  QProcess p;
  if (FRoot)
    p.start(QStringLiteral("runuser"),
            QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), QString::fromLatin1(kProgram)} +
                arguments);
  else
    p.start(QString::fromLatin1(kProgram), arguments);
  return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
