#pragma once
// What a screen reader reads of the owner-drawn buttons: the start button of
// the area shown is checked, and a menu entry's key letter is its shortcut.
#include <QAccessibleWidget>

class TAccessibleMenuButton : public QAccessibleWidget {
public:
  explicit TAccessibleMenuButton(QWidget *button);
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;
  QStringList actionNames() const override;
  void doAction(const QString &actionName) override;
};

// Makes the interfaces above known to Qt's accessibility (once per program).
void InstallWexoAccessibility();
