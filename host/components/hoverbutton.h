#pragma once
// A self-drawn button that knows whether the mouse is over it.
#include <QAbstractButton>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QToolTip>

class THoverButton : public QAbstractButton {
  Q_OBJECT
public:
  using QAbstractButton::QAbstractButton;
  bool Hover() const { return FHover; }

protected:
  // The whole caption where the button shows it cut short, else empty.
  virtual QString CutCaption() const { return {}; }
  static QString IfCut(const QString &caption, const QFont &font, int room) {
    return QFontMetricsF(font).horizontalAdvance(caption) > room ? caption : QString();
  }
  bool event(QEvent *e) override {
    // A caption cut short with "…" is shown whole as the tooltip.
    if (e->type() == QEvent::ToolTip && toolTip().isEmpty()) {
      const QString whole = CutCaption();
      if (!whole.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(), whole, this);
        return true;
      }
    }
    return QAbstractButton::event(e);
  }
  void enterEvent(QEnterEvent *e) override {
    FHover = true;
    update();
    QAbstractButton::enterEvent(e);
  }
  void leaveEvent(QEvent *e) override {
    FHover = false;
    update();
    QAbstractButton::leaveEvent(e);
  }

private:
  bool FHover = false;
};
