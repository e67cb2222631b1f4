#pragma once
// The window's action list: shortcut values as the toolkit stores them
// (virtual key in the low byte, +$2000 Shift, +$4000 Ctrl, +$8000 Alt) and the
// key dispatch that runs the first action whose shortcut matches a key.
#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QList>

using TShortCut = quint16;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr quint16 VK_BACK = 0x08;
inline constexpr quint16 VK_OEM_1 = 0xBA; // the key labelled Ü on a German keyboard

quint16 QtKeyToVirtualKey(int qtKey);
int VirtualKeyToQtKey(quint16 vk);
TShortCut ShortCutFromKeySequence(const QKeySequence &sequence);
QKeySequence KeySequenceFromShortCut(TShortCut shortCut);
TShortCut ShortCutFromKeyEvent(const QKeyEvent *event);
// The text a German user reads for a shortcut ("K", "Strg+Alt+N"); empty for none.
QString ShortCutToText(TShortCut shortCut);
TShortCut ActionShortCut(const QAction *action);

class TActionList {
public:
  // The actions of a form in the order of its definition.
  static QList<QAction *> ActionsOf(const QObject *owner);
  // An action without an execute handler takes no part in key dispatch.
  static bool HasHandler(QAction *action);
  // Offers a key to the actions in order: the first action with a handler
  // whose shortcut matches runs if enabled, and the key is consumed either way.
  static bool DispatchShortCut(const QList<QAction *> &actions, TShortCut shortCut);
  // One window shortcut per distinct key of the actions, each dispatching in
  // list order. One per key, because Qt fires neither of two shortcuts that
  // share a key, while the list's rule is that the first one runs.
  static void InstallShortcuts(QWidget *window, const QList<QAction *> &actions);
};
