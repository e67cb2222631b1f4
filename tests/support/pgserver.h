#pragma once
// A throwaway PostgreSQL server for tests and the benchmark: on 127.0.0.1, a
// free port, in a temporary directory; it stops and goes with this object.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class TPgServer {
public:
  // A new server, or a streaming standby of a running one.
  explicit TPgServer(const TPgServer *primary = nullptr, int maxConnections = 60);
  ~TPgServer();
  bool Ok() const { return FOk; }
  QString Error() const { return FError; }
  int Port() const { return FPort; }
  // The data folder (postmaster.pid tells the server's process).
  QString DataDir() const { return FDir.filePath(QStringLiteral("data")); }
  // The folder of the server's Unix socket.
  QString SocketDir() const { return FDir.path(); }
  // postgresql://wexo@127.0.0.1:port/name, the database created when missing.
  QString Url(const QString &database, int port = 0);
  // Runs SQL with psql in the database and returns what it printed (unaligned, tuples only).
  QString Psql(const QString &database, const QString &sql);
  bool Stop();
  bool Start();
  bool Restart();
  // A standby becomes a primary.
  bool Promote();
  // TLS with this certificate and key from now on (empty: TLS off again).
  bool UseCertificate(const QString &certificate, const QString &key);
  // From now on the user must give a password over TCP (the others keep logging in without one).
  bool RequirePassword(const QString &user);

private:
  bool Run(const QString &program, const QStringList &arguments, QString *output = nullptr, bool asServerUser = true);
  QTemporaryDir FDir;
  QString FBin;
  int FPort = 0;
  int FMaxConnections = 60;
  bool FOk = false;
  bool FRoot = false;
  QString FError;
  QStringList FDatabases;
};
