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
#include <signal.h>
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

// A start that dies while Qt applies a layout leaves its mark behind: a lock
// file per workstation and layout, naming the process that holds it. The next
// start of that workstation finds the holder gone and skips that layout
// instead of dying again; a start running at the same moment finds the
// holder alive and is no crash.
TRestoreMark::TRestoreMark(const QByteArray &state) : FLock(PathFor(QVNInfoTerminalID(), state)) {
  FLock.setStaleLockTime(0); // stale only when its process is gone, never by age
}

TRestoreMark::~TRestoreMark() { Clear(); }

QString TRestoreMark::Folder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/restore-marks");
}

QString TRestoreMark::PathFor(const QString &terminal, const QByteArray &state) {
  auto key = [](const QByteArray &bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
  };
  return Folder() + QLatin1Char('/') + key(terminal.toUtf8()) + QLatin1Char('-') + key(state) +
         QStringLiteral(".lock");
}

bool TRestoreMark::KilledBefore() {
  qint64 pid = 0;
  QString host, application;
  if (!FLock.getLockInfo(&pid, &host, &application))
    return false;
  if (!FLock.tryLock(0))
    return false; // its holder lives: a start applying this layout right now
  FLock.unlock();
  // Taken over: the holder is gone, unless it finished in between.
  return !(pid > 0 && ::kill(pid_t(pid), 0) == 0);
}

void TRestoreMark::Set() {
  // A start applying the same layout at this moment is waited for a little, then let be.
  if (QDir().mkpath(Folder()) && FLock.tryLock(500))
    return;
  if (FLock.error() == QLockFile::LockFailedError)
    return;
  static bool told = false;
  if (told)
    return;
  told = true;
  QVNInfo()->WriteLog(QStringLiteral("TQVNDockingManager.LoadState"),
                      QStringLiteral("Der Ordner „%1“ ist nicht beschreibbar: eine Fensteranordnung, bei deren "
                                     "Übernahme das Programm endet, wird beim nächsten Start nicht übersprungen.")
                          .arg(Folder()));
}

void TRestoreMark::Clear() {
  if (FLock.isLocked())
    FLock.unlock();
}

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
  TRestoreMark mark(state);
  if (mark.KilledBefore()) {
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
