#pragma once
// A throwaway PgBouncer in front of a test server: on 127.0.0.1, a free port,
// its files in a temporary directory; it stops and goes with this object.
#include <QString>
#include <QTemporaryDir>

class TPgBouncer {
public:
  // mode: "transaction" or "session"; poolSize: server connections per database and user.
  TPgBouncer(int serverPort, const QString &mode, int poolSize);
  ~TPgBouncer();
  bool Ok() const { return FOk; }
  QString Error() const { return FError; }
  int Port() const { return FPort; }

private:
  bool Run(const QStringList &arguments);
  QTemporaryDir FDir;
  int FPort = 0;
  bool FOk = false;
  bool FRoot = false;
  QString FError;
};
