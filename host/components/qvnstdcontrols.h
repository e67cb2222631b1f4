#pragma once
// Panels, labels, the page control with hidden tabs, tab sheets and pictures.
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>

// Turns a caption with access-key marks into display text: "&&" shows one
// ampersand, a single "&" only marks the next letter.
QString QVNDisplayCaption(const QString &caption);

// The framework's "extra large" caption font.
QFont QVNExtraLargeFont(const QFont &base);

class TQVNStdPanel : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QColor Color READ Color WRITE SetColor)
  Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(bool ExtraLargeFont READ ExtraLargeFont WRITE SetExtraLargeFont)
  Q_PROPERTY(bool LeftJustify READ LeftJustify WRITE SetLeftJustify)
  Q_PROPERTY(QString BevelOuter READ BevelOuter WRITE SetBevelOuter)
public:
  explicit TQVNStdPanel(QWidget *parent = nullptr);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString &c);
  QColor Color() const { return FColor; }
  void SetColor(const QColor &c);
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor &c);
  bool ExtraLargeFont() const { return FExtraLarge; }
  void SetExtraLargeFont(bool on);
  bool LeftJustify() const { return FLeftJustify; }
  void SetLeftJustify(bool on);
  QString BevelOuter() const { return FBevel; }
  void SetBevelOuter(const QString &b);

Q_SIGNALS:
  void OnResize(QObject *sender);

protected:
  void paintEvent(QPaintEvent *) override;
  void resizeEvent(QResizeEvent *) override;

private:
  QString FCaption;
  QColor FColor;
  QColor FFontColor = Qt::black;
  bool FExtraLarge = false;
  bool FLeftJustify = false;
  QString FBevel = QStringLiteral("bvNone");
};

class TQVNStdLabel : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QColor Color READ Color WRITE SetColor)
  Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
public:
  explicit TQVNStdLabel(QWidget *parent = nullptr);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString &c);
  QColor Color() const { return palette().color(QPalette::Window); }
  void SetColor(const QColor &c);
  QColor FontColor() const { return palette().color(QPalette::WindowText); }
  void SetFontColor(const QColor &c);
  void SetFontSize(int points);

protected:
  // A wrapped text that does not fit ends in "…" on its last whole line
  // (the whole text is the tooltip) instead of being cut through a line.
  void paintEvent(QPaintEvent *) override;

private:
  QString FCaption;
  bool FElided = false;
};

class TTabSheet : public QWidget {
  Q_OBJECT
public:
  explicit TTabSheet(QWidget *parent = nullptr);
  class TQVNStdPageControl *PageControl() const;

Q_SIGNALS:
  void OnShow(QObject *sender);
  void OnResize(QObject *sender);

protected:
  void showEvent(QShowEvent *) override;
  void resizeEvent(QResizeEvent *) override;
  void paintEvent(QPaintEvent *) override;
};

class TQVNStdPageControl : public QStackedWidget {
  Q_OBJECT
  // The background of the pages.
  Q_PROPERTY(QColor Color MEMBER Color)
public:
  explicit TQVNStdPageControl(QWidget *parent = nullptr);
  QColor Color = QColor(0x80, 0x80, 0x80);
  void SetActivePage(TTabSheet *sheet);
  TTabSheet *ActivePage() const;
};

// A picture control; "Stretch" scales the picture to the control, "Center"
// draws it at its own size in the middle.
class TImage : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool Stretch MEMBER Stretch)
  Q_PROPERTY(bool Center MEMBER Center)
public:
  explicit TImage(QWidget *parent = nullptr);
  // Loads a bitmap or JPEG file; throws and keeps the previous picture when it cannot.
  void LoadFromFile(const QString &fileName);
  const QPixmap &Picture() const { return FPicture; }
  bool Stretch = false;
  bool Center = false;

protected:
  void paintEvent(QPaintEvent *) override;

private:
  QPixmap FPicture;
};
