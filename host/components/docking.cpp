#include "components/docking.h"
#include "components/qvnalign.h"
#include "framework/qvnframework.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QFocusEvent>
#include <QLinearGradient>
#include <QPainter>
#include <stdexcept>

TaqDockingSite::TaqDockingSite(QWidget *parent) : QMainWindow(parent) {
  setWindowFlags(Qt::Widget);
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
  setTabPosition(Qt::AllDockWidgetAreas, QTabWidget::South);
  setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
  setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
  setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
  setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
}

TaqDockingControl::TaqDockingControl(QWidget *parent) : QDockWidget(parent) {}

void TaqDockingControl::SetCaption(const QString &caption) {
  setWindowTitle(caption);
  setAccessibleName(caption);
}

TQVNDockingManager *TaqDockingControl::Manager() const {
  QWidget *w = window();
  return w ? w->findChild<TQVNDockingManager *>() : nullptr;
}

void TaqDockingControl::closeEvent(QCloseEvent *e) {
  TQVNDockingManager *m = Manager();
  if (m && !m->CloseQuery(this)) {
    e->ignore();
    return;
  }
  QDockWidget::closeEvent(e);
}

void TaqDockingControl::resizeEvent(QResizeEvent *e) {
  QDockWidget::resizeEvent(e);
  if (widget())
    TQVNAlign::Arrange(widget());
}

TQVNDockingManager::TQVNDockingManager(QWidget *parent) : QWidget(parent) {
  setVisible(false);
  setFixedSize(0, 0);
  qApp->installEventFilter(this);
}

TaqDockingSite *TQVNDockingManager::Site() const {
  QWidget *w = window();
  return w ? w->findChild<TaqDockingSite *>(SiteName) : nullptr;
}

QList<TaqDockingControl *> TQVNDockingManager::Controls() const {
  QList<TaqDockingControl *> list;
  if (TaqDockingSite *site = Site())
    for (QObject *o : site->children())
      if (auto *c = qobject_cast<TaqDockingControl *>(o))
        list << c;
  return list;
}

void TQVNDockingManager::Attach() {
  if (FAttached)
    return;
  TaqDockingSite *site = Site();
  if (!site)
    return;
  FAttached = true;
  for (TaqDockingControl *c : Controls()) {
    connect(c, &QDockWidget::dockLocationChanged, this, &TQVNDockingManager::Changed);
    connect(c, &QDockWidget::topLevelChanged, this, &TQVNDockingManager::Changed);
  }
}

// A layout is a tag, a version, the SHA-256 of the site's state and the state.
// Qt's state reader does not survive every damaged state, so only a state that
// arrives exactly as it was written is handed to it.
namespace {
const QByteArray kLayoutTag("WXDL\x01", 5);
constexpr qsizetype kHashSize = 32;
constexpr int kMaxStateBytes = 16 * 1024;
} // namespace

void TQVNDockingManager::SaveToStream(QIODevice &stream) const {
  TaqDockingSite *site = Site();
  if (!site)
    throw std::runtime_error("Der Andockbereich fehlt.");
  const QByteArray state = site->saveState(1);
  const QByteArray layout = kLayoutTag + QCryptographicHash::hash(state, QCryptographicHash::Sha256) + state;
  if (stream.write(layout) != layout.size())
    throw std::runtime_error("Das Fensterlayout konnte nicht geschrieben werden.");
}

void TQVNDockingManager::LoadFromStream(QIODevice &stream) {
  if (!Site())
    throw std::runtime_error("Der Andockbereich fehlt.");
  const QByteArray layout = stream.read(kLayoutTag.size() + kHashSize + kMaxStateBytes + 1);
  const QByteArray state = layout.mid(kLayoutTag.size() + kHashSize);
  if (!layout.startsWith(kLayoutTag) || state.isEmpty() ||
      layout.mid(kLayoutTag.size(), kHashSize) != QCryptographicHash::hash(state, QCryptographicHash::Sha256))
    throw std::runtime_error("Das gespeicherte Fensterlayout ist beschädigt oder stammt nicht von diesem Programm.");
  LoadState(state);
}

namespace {
// A start that dies while Qt applies a layout leaves this mark behind; the
// next start then skips that layout instead of dying again.
class TRestoreMark {
public:
  explicit TRestoreMark(const QByteArray &state)
      : FPath(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
              QStringLiteral("/docking-restore.pending")),
        FId(QVNInfoTerminalID().toUtf8() + '\n' + QCryptographicHash::hash(state, QCryptographicHash::Sha256).toHex()) {}
  bool KilledBefore() const {
    QFile f(FPath);
    return f.open(QIODevice::ReadOnly) && f.readAll() == FId;
  }
  void Set() const {
    QDir().mkpath(QFileInfo(FPath).absolutePath());
    QFile f(FPath);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
      f.write(FId);
  }
  void Clear() const { QFile::remove(FPath); }

private:
  QString FPath;
  QByteArray FId;
};
} // namespace

TDockStateRules TQVNDockingManager::Rules() const {
  TDockStateRules rules;
  for (TaqDockingControl *c : Controls())
    rules.Panels << c->objectName();
  rules.MaxBytes = kMaxStateBytes;
  return rules;
}

void TQVNDockingManager::LoadState(const QByteArray &state) {
  TaqDockingSite *site = Site();
  if (!site)
    throw std::runtime_error("Der Andockbereich fehlt.");
  const QString problem = CheckDockState(state, Rules());
  if (!problem.isEmpty())
    throw std::runtime_error(
        QStringLiteral("Die gespeicherte Fensteranordnung wird nicht übernommen (%1).").arg(problem).toStdString());
  const TRestoreMark mark(state);
  if (mark.KilledBefore()) {
    mark.Clear();
    throw std::runtime_error("Beim letzten Start endete das Programm, während es diese Fensteranordnung übernahm; "
                             "sie wird übersprungen.");
  }
  const QByteArray before = site->saveState(1);
  mark.Set();
  const bool restored = site->restoreState(state, 1);
  mark.Clear();
  SetEnabled(FEnabled); // a restored layout must not bring back movable panels
  // Every panel ends docked and shown, or the arrangement before stays.
  bool complete = restored;
  for (TaqDockingControl *c : Controls())
    complete = complete && !c->isFloating() && !c->isHidden();
  if (!complete) {
    site->restoreState(before, 1);
    for (TaqDockingControl *c : Controls()) {
      c->setFloating(false);
      c->show();
    }
    throw std::runtime_error("Die gespeicherte Fensteranordnung ließ nicht alle Bereiche angedockt und sichtbar; sie "
                             "wird nicht übernommen.");
  }
}

void TQVNDockingManager::SetActiveControl(TaqDockingControl *control) {
  if (!control || !Controls().contains(control))
    return;
  FActive = control;
  control->raise();
  // The first control inside that takes the focus gets it; in a window not yet
  // shown it gets it when the window is activated.
  if (QWidget *content = control->widget()) {
    QWidget *target = content;
    for (QWidget *w = content->nextInFocusChain(); w && w != content; w = w->nextInFocusChain())
      if (content->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden()) {
        target = w;
        break;
      }
    target->setFocus(Qt::OtherFocusReason);
  }
  Changed();
}

// The control that last had the focus; before any focus event, the one that
// holds the form's focus widget (an inactive window has no focus events).
TaqDockingControl *TQVNDockingManager::ActiveControl() const {
  if (FActive)
    return FActive;
  for (QWidget *w = window() ? window()->focusWidget() : nullptr; w; w = w->parentWidget())
    if (auto *c = qobject_cast<TaqDockingControl *>(w))
      return Controls().contains(c) ? c : nullptr;
  return nullptr;
}

QString TQVNDockingManager::ActiveControlName() const {
  TaqDockingControl *active = ActiveControl();
  return active ? active->objectName() : QString();
}

void TQVNDockingManager::SetActiveControlName(const QString &name) {
  for (TaqDockingControl *c : Controls())
    if (c->objectName() == name) {
      SetActiveControl(c);
      return;
    }
}

void TQVNDockingManager::SetEnabled(bool enabled) {
  Attach();
  FEnabled = enabled;
  for (TaqDockingControl *c : Controls())
    c->setFeatures(enabled ? QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable
                           : QDockWidget::NoDockWidgetFeatures);
}

bool TQVNDockingManager::CloseQuery(TaqDockingControl *control) {
  bool canClose = true;
  Q_EMIT OnCloseQuery(this, control, canClose);
  return canClose;
}

bool TQVNDockingManager::MuteOnChange(bool mute) {
  const bool was = FMuted;
  FMuted = mute;
  return was;
}

void TQVNDockingManager::Changed() {
  if (!FMuted)
    Q_EMIT OnChange(this);
}

// The docking control that last received the focus is the active one.
bool TQVNDockingManager::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto *w = qobject_cast<QWidget *>(watched); w && w->window() == window()) {
      for (QWidget *p = w; p; p = p->parentWidget())
        if (auto *c = qobject_cast<TaqDockingControl *>(p)) {
          if (FActive != c) {
            FActive = c;
            Changed();
          }
          break;
        }
    }
  }
  return QWidget::eventFilter(watched, event);
}

TaqStyleManager::TaqStyleManager(QWidget *parent) : QWidget(parent) {
  setVisible(false);
  setFixedSize(0, 0);
}

void TaqStyleManager::SetStyleClass(const QString &styleClass) {
  FStyleClass = styleClass;
  Apply();
}

// The site is created after this component; the style applies once the form is polished.
bool TaqStyleManager::event(QEvent *e) {
  if (e->type() == QEvent::ParentChange || e->type() == QEvent::Polish)
    Apply();
  return QWidget::event(e);
}

namespace {
// The caption bar of a docked panel in the "VSWhidbey" style: light gradient, dark bold caption.
class TaqCaptionBar : public QWidget {
public:
  explicit TaqCaptionBar(QDockWidget *dock) : QWidget(dock), FDock(dock) {
    connect(dock, &QDockWidget::windowTitleChanged, this, qOverload<>(&QWidget::update));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
  // The height follows the font, asked only when the dock lays itself out: the
  // font system need not be ready while the form is being built.
  QSize sizeHint() const override { return {80, fontMetrics().height() + 8}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xF4, 0xF4, 0xF4));
    g.setColorAt(1, QColor(0xD9, 0xD9, 0xD9));
    p.fillRect(rect(), g);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.drawText(rect().adjusted(8, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, FDock->windowTitle());
  }

private:
  QDockWidget *FDock;
};
} // namespace

void TaqStyleManager::Apply() {
  QWidget *form = window();
  auto *site = form ? form->findChild<TaqDockingSite *>(SiteName) : nullptr;
  if (!site)
    return;
  for (QObject *o : site->children())
    if (auto *dock = qobject_cast<TaqDockingControl *>(o)) {
      QWidget *old = dock->titleBarWidget();
      const bool styled = FStyleClass == QLatin1String("VSWhidbey");
      if (styled && !old)
        dock->setTitleBarWidget(new TaqCaptionBar(dock));
      else if (!styled && old) {
        dock->setTitleBarWidget(nullptr);
        delete old;
      }
    }
}
