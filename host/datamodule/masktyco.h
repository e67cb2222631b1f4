#pragma once
// Quick entries: a named, stored entry point that opens one business dialog.
#include <QList>
#include <QString>
#include <QStringList>

struct TContextSatz {
  qint64 Id = 0;      // key in the store; 0 for an entry not stored yet
  QString Name;       // shown in the quick-entry view
  QString Operation;  // the data-module operation the entry opens
  QString Arguments;  // its arguments as readable text ("false", "3", "false,true")
  bool operator==(const TContextSatz &) const = default;
};

using TContexte = QList<TContextSatz>;

// A target a quick entry can open, with the caption the user chooses it by.
struct TSchnellEinstiegZiel {
  QString Caption;
  QString Operation;
  QString Arguments;
};

// Every target, in the order of the work-area menus.
const QList<TSchnellEinstiegZiel> &SchnellEinstiegZiele();
// The target of an operation and its arguments, or null when unknown.
const TSchnellEinstiegZiel *FindSchnellEinstiegZiel(const QString &operation, const QString &arguments);
