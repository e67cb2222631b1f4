#include "components/accessible.h"

#include "components/buttons.h"
#include "components/qvnstdcontrols.h"
#include "components/qvnbtnpanel.h"

#include <QAbstractButton>

TAccessibleMenuButton::TAccessibleMenuButton(QWidget *button) : QAccessibleWidget(button, QAccessible::Button) {}

QAccessible::State TAccessibleMenuButton::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  if (const auto *area = qobject_cast<const TQVNPanelButton *>(widget())) {
    s.checkable = true;
    s.checked = area->IsCurrentArea();
  }
  return s;
}

QString TAccessibleMenuButton::text(QAccessible::Text t) const {
  if (t == QAccessible::Accelerator) {
    if (const auto *entry = qobject_cast<const TButtonsBtn *>(widget()))
      return entry->KeyText();
    // A start button's key is that of its page-switching action.
    if (const auto *area = qobject_cast<const TQVNPanelButton *>(widget()))
      if (const QAction *action = area->Panel()->Buttons()->Items(area->Index())->BtnAction())
        return action->shortcut().toString(QKeySequence::NativeText);
  }
  return QAccessibleWidget::text(t);
}

QStringList TAccessibleMenuButton::actionNames() const { return {pressAction()}; }

void TAccessibleMenuButton::doAction(const QString &actionName) {
  if (actionName == pressAction())
    static_cast<QAbstractButton *>(widget())->click();
}

void InstallWexoAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
      if (object && object->isWidgetType() &&
          (className == QLatin1String("TQVNPanelButton") || className == QLatin1String("TButtonsBtn")))
        return new TAccessibleMenuButton(static_cast<QWidget *>(object));
      return nullptr;
    });
    return true;
  }();
  Q_UNUSED(installed);
}
