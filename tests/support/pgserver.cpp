#include "pgserver.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <unistd.h>

TPgServer::TPgServer(const TPgServer *primary, int maxConnections) : FMaxConnections(maxConnections) {
  const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString &v : versions)
    if (QFileInfo::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(v)))
      FBin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(v);
  if (FBin.isEmpty()) {
    FError = QStringLiteral("PostgreSQL ist nicht installiert (Paket postgresql)");
    return;
  }
  FRoot = ::getuid() == 0;
  // The server refuses to run as root; its folder then belongs to the postgres user.
  if (FRoot)
    Run(QStringLiteral("chown"), {QStringLiteral("postgres"), FDir.path()}, nullptr, false);
  QFile::setPermissions(FDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                         QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                         QFileDevice::ExeOther);
  if (primary) {
    // A copy of the primary that follows it (-R: the standby's settings written).
    if (!Run(FBin + QStringLiteral("pg_basebackup"),
             {QStringLiteral("-D"), FDir.filePath(QStringLiteral("data")), QStringLiteral("-h"),
              QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(primary->FPort), QStringLiteral("-U"),
              QStringLiteral("wexo"), QStringLiteral("-R"), QStringLiteral("-X"), QStringLiteral("stream"),
              QStringLiteral("-c"), QStringLiteral("fast")})) {
      FError = QStringLiteral("pg_basebackup fehlgeschlagen");
      return;
    }
  } else if (!Run(FBin + QStringLiteral("initdb"), {QStringLiteral("-D"), FDir.filePath(QStringLiteral("data")),
                                                    QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"),
                                                    QStringLiteral("wexo")})) {
    FError = QStringLiteral("initdb fehlgeschlagen");
    return;
  }
  for (int attempt = 0; attempt < 5 && !FOk; ++attempt) {
    FPort = 20000 + int(QRandomGenerator::global()->bounded(20000));
    FOk = Start();
  }
  if (!FOk)
    FError = QStringLiteral("der Server startet nicht");
}

TPgServer::~TPgServer() {
  if (FOk)
    Stop();
}

bool TPgServer::Run(const QString &program, const QStringList &arguments, QString *output, bool asServerUser) {
  QProcess p;
  if (FRoot && asServerUser)
    p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + arguments);
  else
    p.start(program, arguments);
  if (!p.waitForFinished(60000))
    return false;
  if (output)
    *output = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool TPgServer::Start() {
  return Run(FBin + QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), FDir.filePath(QStringLiteral("data")), QStringLiteral("-l"),
              FDir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-o"),
              QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2 -c fsync=off -c max_connections=%3")
                  .arg(FPort)
                  .arg(FDir.path())
                  .arg(FMaxConnections),
              QStringLiteral("start")});
}

bool TPgServer::Stop() {
  return Run(FBin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), FDir.filePath(QStringLiteral("data")),
                                               QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"),
                                               QStringLiteral("stop")});
}

bool TPgServer::Restart() { return Stop() && Start(); }

QString TPgServer::Url(const QString &database, int port) {
  if (!FDatabases.contains(database)) {
    Run(FBin + QStringLiteral("createdb"), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                            QString::number(FPort), QStringLiteral("-U"), QStringLiteral("wexo"),
                                            database},
        nullptr, false);
    FDatabases << database;
  }
  return QStringLiteral("postgresql://wexo@127.0.0.1:%1/%2").arg(port ? port : FPort).arg(database);
}

QString TPgServer::Psql(const QString &database, const QString &sql) {
  QString out;
  Run(FBin + QStringLiteral("psql"), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                      QString::number(FPort), QStringLiteral("-U"), QStringLiteral("wexo"),
                                      QStringLiteral("-d"), database, QStringLiteral("-tA"), QStringLiteral("-v"),
                                      QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql},
      &out, false);
  return out;
}

bool TPgServer::RequirePassword(const QString &user) {
  QFile hba(FDir.filePath(QStringLiteral("data/pg_hba.conf")));
  if (!hba.open(QIODevice::ReadOnly))
    return false;
  const QByteArray rest = hba.readAll();
  hba.close();
  if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  hba.write("host all " + user.toUtf8() + " 127.0.0.1/32 scram-sha-256\n" + rest);
  hba.close();
  return Run(FBin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), FDir.filePath(QStringLiteral("data")),
                                               QStringLiteral("reload")});
}

bool TPgServer::UseCertificate(const QString &certificate, const QString &key) {
  if (certificate.isEmpty()) {
    Psql(QStringLiteral("postgres"), QStringLiteral("ALTER SYSTEM SET ssl = off"));
    return !Psql(QStringLiteral("postgres"), QStringLiteral("SELECT pg_reload_conf()")).isEmpty();
  }
  // The server reads its key only when it alone may read it.
  const QString crt = FDir.filePath(QStringLiteral("data/server.crt"));
  const QString pem = FDir.filePath(QStringLiteral("data/server.key"));
  QFile::remove(crt);
  QFile::remove(pem);
  if (!QFile::copy(certificate, crt) || !QFile::copy(key, pem))
    return false;
  QFile::setPermissions(pem, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (FRoot)
    Run(QStringLiteral("chown"), {QStringLiteral("postgres"), crt, pem}, nullptr, false);
  Psql(QStringLiteral("postgres"), QStringLiteral("ALTER SYSTEM SET ssl = on"));
  return Psql(QStringLiteral("postgres"), QStringLiteral("SELECT pg_reload_conf()")) == QLatin1String("t");
}

bool TPgServer::Promote() {
  return Run(FBin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), FDir.filePath(QStringLiteral("data")),
                                               QStringLiteral("-w"), QStringLiteral("promote")});
}
