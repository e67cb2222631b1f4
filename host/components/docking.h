#pragma once
// Docking site, docked panels and their manager. The site is an embedded
// main-window area; a layout is the site's saved state.
#include <QDockWidget>
#include <QIODevice>
#include <QLockFile>
#include <QMainWindow>
#include <QPointer>

#include "components/dockstate.h"

class TQVNDockingManager;

// The mark a start leaves while Qt applies a stored layout: one per
// workstation and layout, so a start that died applying it is told from one
// applying it at the same moment, and one workstation never clears another's.
class TRestoreMark {
public:
  explicit TRestoreMark(const QByteArray &state);
  ~TRestoreMark();
  TRestoreMark(const TRestoreMark &) = delete;
  TRestoreMark &operator=(const TRestoreMark &) = delete;
  // True when a start of this workstation ended while applying this layout (its mark is left, its process gone).
  bool KilledBefore();
  void Set();
  void Clear();
  static QString Folder();
  static QString PathFor(const QString &terminal, const QByteArray &state);

private:
  QLockFile FLock;
};

class TaqDockingSite : public QMainWindow {
  Q_OBJECT
  Q_PROPERTY(QString Key MEMBER Key)
public:
  explicit TaqDockingSite(QWidget *parent = nullptr);
  QString Key;
};

class TaqDockingControl : public QDockWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString Key MEMBER Key)
public:
  explicit TaqDockingControl(QWidget *parent = nullptr);
  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString &caption);
  TQVNDockingManager *Manager() const;
  QString Key;

protected:
  void closeEvent(QCloseEvent *) override;
  void resizeEvent(QResizeEvent *) override;
};

class TQVNDockingManager : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString ActiveControl READ ActiveControlName WRITE SetActiveControlName)
  Q_PROPERTY(QString SiteName MEMBER SiteName)
  Q_PROPERTY(QString StyleClass MEMBER StyleClass)
  Q_PROPERTY(QString TabPosition MEMBER TabPosition)
  Q_PROPERTY(bool DragWithCtrl MEMBER DragWithCtrl)
  Q_PROPERTY(bool CaptionButtons MEMBER CaptionButtons)
  Q_PROPERTY(bool MiddleClickClosesTab MEMBER MiddleClickClosesTab)
public:
  explicit TQVNDockingManager(QWidget *parent = nullptr);

  TaqDockingSite *Site() const;
  // The docking controls of the site, in the order of the form definition.
  QList<TaqDockingControl *> Controls() const;
  int ControlCount() const { return int(Controls().size()); }
  TaqDockingControl *ControlByIndex(int i) const { return Controls().at(i); }

  // Writes the whole arrangement of all docking controls.
  void SaveToStream(QIODevice &stream) const;
  // Reads an arrangement; throws when the bytes are not a layout of this site.
  void LoadFromStream(QIODevice &stream);
  // Applies a site state after checking it: every panel once, docked and shown.
  // Throws, leaving the arrangement as it was, for anything else.
  void LoadState(const QByteArray &state);
  TDockStateRules Rules() const;

  TaqDockingControl *ActiveControl() const;
  void SetActiveControl(TaqDockingControl *control);
  QString ActiveControlName() const;
  void SetActiveControlName(const QString &name);

  // Disabled: the panels cannot be moved, floated or closed; splitters still resize.
  void SetEnabled(bool enabled);
  bool Enabled() const { return FEnabled; }

  bool CloseQuery(TaqDockingControl *control);
  // While muted, OnChange is not raised (used during layout loading).
  bool MuteOnChange(bool mute);

  QString SiteName = QStringLiteral("aqDockingSite1");
  QString StyleClass;
  QString TabPosition = QStringLiteral("South");
  bool DragWithCtrl = true;
  bool CaptionButtons = false;
  bool MiddleClickClosesTab = false;

Q_SIGNALS:
  void OnCloseQuery(QObject *Sender, TaqDockingControl *Control, bool &CanClose);
  void OnChange(QObject *Sender);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Attach();
  void Changed();
  QPointer<TaqDockingControl> FActive;
  bool FEnabled = true;
  bool FMuted = false;
  bool FAttached = false;
};

// The look of the docking site: "VSWhidbey" gives the docked panels flat,
// light title bars with a dark caption, as the docking library's style of that name.
class TaqStyleManager : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString StyleClass READ StyleClass WRITE SetStyleClass)
  Q_PROPERTY(QString SiteName MEMBER SiteName)
public:
  explicit TaqStyleManager(QWidget *parent = nullptr);
  QString StyleClass() const { return FStyleClass; }
  void SetStyleClass(const QString &styleClass);
  QString SiteName = QStringLiteral("aqDockingSite1");

protected:
  bool event(QEvent *e) override;

private:
  void Apply();
  QString FStyleClass;
};
