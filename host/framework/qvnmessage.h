#pragma once
// Messages to the user. The guard reports a failure to the registry; this
// helper shows it: a German message window naming what failed, or, with
// WEXO_DIALOGS=auto, a line on standard error so automated runs never wait.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <exception>

enum class TQVNMessageKind { Error, Warning, Information };

class TQVNMessages {
public:
  // Shows a message; the same text twice within one user action shows once.
  void Show(const QString &title, const QString &text, TQVNMessageKind kind = TQVNMessageKind::Error);
  // Asks a yes/no question; with WEXO_DIALOGS=auto the answer is yes.
  bool Ask(const QString &title, const QString &question);
  // Shows the failure a handler reported: what failed (in the user's words) and the reason.
  void ReportFailure(const QString &where, const std::exception &e);

  // What failed, for a handler's place ("Der Dialog „Rechnung erfassen“ konnte nicht geöffnet werden").
  void SetWhat(const QString &where, const QString &what) { FWhat.insert(where, what); }
  // Places whose failures go to the log only: the window's painting and resizing.
  void SetQuiet(const QString &where) { FQuiet.insert(where); }
  // While held (the window being created), failures are only registered: start-up shows the one it raises.
  void SetHeld(bool held) { FHeld = held; }

  // True the first time a text is asked about in this run: a fault told once per run.
  bool FirstTimeThisRun(const QString &text);

  // Every message shown, oldest first (support and tests read it).
  QStringList Shown;

private:
  void RememberThisTurn(const QString &text);

  QHash<QString, QString> FWhat;
  QSet<QString> FQuiet;
  QSet<QString> FThisTurn;
  QSet<QString> FThisRun;
  bool FHeld = false;
};

TQVNMessages *QVNMessages();
