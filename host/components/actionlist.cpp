#include "components/actionlist.h"

#include <QMetaMethod>
#include <QShortcut>
#include <QWidget>

namespace {
struct KeyPair {
  int qt;
  quint16 vk;
};
const KeyPair kSpecialKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},      {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},
    {Qt::Key_Escape, 0x1B},    {Qt::Key_Space, 0x20},    {Qt::Key_PageUp, 0x21},    {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},       {Qt::Key_Home, 0x24},     {Qt::Key_Left, 0x25},      {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},     {Qt::Key_Insert, 0x2D},    {Qt::Key_Delete, 0x2E},
    {Qt::Key_Udiaeresis, 0xBA}, {Qt::Key_Plus, 0xBB},    {Qt::Key_Comma, 0xBC},     {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},    {Qt::Key_Odiaeresis, 0xC0}, {Qt::Key_Adiaeresis, 0xDE},
};

QString VirtualKeyName(quint16 vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
    return QString(QChar(vk));
  if (vk >= 0x70 && vk <= 0x87)
    return QStringLiteral("F%1").arg(vk - 0x70 + 1);
  switch (vk) {
  case 0x08: return QStringLiteral("Rück");
  case 0x09: return QStringLiteral("Tab");
  case 0x0D: return QStringLiteral("Eingabe");
  case 0x1B: return QStringLiteral("Esc");
  case 0x20: return QStringLiteral("Leer");
  case 0x21: return QStringLiteral("Bild auf");
  case 0x22: return QStringLiteral("Bild ab");
  case 0x23: return QStringLiteral("Ende");
  case 0x24: return QStringLiteral("Pos1");
  case 0x25: return QStringLiteral("Links");
  case 0x26: return QStringLiteral("Oben");
  case 0x27: return QStringLiteral("Rechts");
  case 0x28: return QStringLiteral("Unten");
  case 0x2D: return QStringLiteral("Einfg");
  case 0x2E: return QStringLiteral("Entf");
  case 0xBA: return QStringLiteral("Ü");
  case 0xBB: return QStringLiteral("+");
  case 0xBC: return QStringLiteral(",");
  case 0xBD: return QStringLiteral("-");
  case 0xBE: return QStringLiteral(".");
  case 0xC0: return QStringLiteral("Ö");
  case 0xDE: return QStringLiteral("Ä");
  default: return {};
  }
}
} // namespace

quint16 QtKeyToVirtualKey(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return quint16(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
    return quint16(0x70 + (qtKey - Qt::Key_F1));
  for (const KeyPair &k : kSpecialKeys)
    if (k.qt == qtKey)
      return k.vk;
  return 0;
}

int VirtualKeyToQtKey(quint16 vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
    return vk;
  if (vk >= 0x70 && vk <= 0x87)
    return Qt::Key_F1 + (vk - 0x70);
  for (const KeyPair &k : kSpecialKeys)
    if (k.vk == vk)
      return k.qt;
  return 0;
}

namespace {
TShortCut ComposeShortCut(int qtKey, Qt::KeyboardModifiers mods) {
  const quint16 vk = QtKeyToVirtualKey(qtKey);
  if (vk == 0)
    return 0;
  TShortCut sc = vk;
  if (mods & Qt::ShiftModifier)
    sc |= scShift;
  if (mods & Qt::ControlModifier)
    sc |= scCtrl;
  if (mods & Qt::AltModifier)
    sc |= scAlt;
  return sc;
}
} // namespace

TShortCut ShortCutFromKeySequence(const QKeySequence &sequence) {
  if (sequence.isEmpty())
    return 0;
  return ComposeShortCut(sequence[0].key(), sequence[0].keyboardModifiers());
}

QKeySequence KeySequenceFromShortCut(TShortCut shortCut) {
  const int key = VirtualKeyToQtKey(shortCut & 0xFF);
  if (key == 0)
    return {};
  Qt::KeyboardModifiers mods;
  if (shortCut & scShift)
    mods |= Qt::ShiftModifier;
  if (shortCut & scCtrl)
    mods |= Qt::ControlModifier;
  if (shortCut & scAlt)
    mods |= Qt::AltModifier;
  return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

TShortCut ShortCutFromKeyEvent(const QKeyEvent *event) { return ComposeShortCut(event->key(), event->modifiers()); }

QString ShortCutToText(TShortCut shortCut) {
  const QString name = VirtualKeyName(shortCut & 0xFF);
  if (name.isEmpty())
    return {};
  QString text;
  if (shortCut & scShift)
    text += QStringLiteral("Umsch+");
  if (shortCut & scCtrl)
    text += QStringLiteral("Strg+");
  if (shortCut & scAlt)
    text += QStringLiteral("Alt+");
  return text + name;
}

TShortCut ActionShortCut(const QAction *action) { return action ? ShortCutFromKeySequence(action->shortcut()) : 0; }

QList<QAction *> TActionList::ActionsOf(const QObject *owner) {
  QList<QAction *> actions;
  for (QObject *child : owner->children())
    if (auto *a = qobject_cast<QAction *>(child))
      actions << a;
  return actions;
}

namespace {
// QObject keeps the "is anything connected" query to itself; this opens it for the action list.
struct SignalProbe : QObject {
  using QObject::isSignalConnected;
};
} // namespace

bool TActionList::HasHandler(QAction *action) {
  static const QMetaMethod triggered = QMetaMethod::fromSignal(&QAction::triggered);
  return (action->*(&SignalProbe::isSignalConnected))(triggered);
}

void TActionList::InstallShortcuts(QWidget *window, const QList<QAction *> &actions) {
  QList<TShortCut> keys;
  for (QAction *a : actions)
    if (const TShortCut sc = ActionShortCut(a); sc != 0 && HasHandler(a) && !keys.contains(sc))
      keys << sc;
  for (const TShortCut sc : keys) {
    auto *shortcut = new QShortcut(KeySequenceFromShortCut(sc), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [window, actions, sc] {
      if (window->isEnabled())
        DispatchShortCut(actions, sc);
    });
  }
}

bool TActionList::DispatchShortCut(const QList<QAction *> &actions, TShortCut sc) {
  if (sc == 0)
    return false;
  for (QAction *a : actions) {
    if (ActionShortCut(a) != sc || !HasHandler(a))
      continue;
    if (a->isEnabled())
      a->trigger();
    return true;
  }
  return false;
}
