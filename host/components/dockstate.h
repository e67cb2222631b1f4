#pragma once
// A reader of the dock state a main window writes (QMainWindow::saveState),
// so a stored layout is checked before Qt reads it: Qt's own reader trusts
// its input and does not survive every byte sequence. It accepts exactly the
// shape this program writes: the named panels, each once, docked and shown,
// sizes within screen bounds, no floating windows, no tool bars.
#include <QByteArray>
#include <QString>
#include <QStringList>

struct TDockStateRules {
  QStringList Panels;       // every one must appear once, docked and shown
  int Version = 1;          // the number saveState was given
  int MaxBytes = 16 * 1024; // a state of three panels is a few hundred bytes
};

// Empty when the state may be given to Qt; otherwise the reason, in German.
QString CheckDockState(const QByteArray &state, const TDockStateRules &rules);
