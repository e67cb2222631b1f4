#pragma once
// A self-drawn button that knows whether the mouse is over it.
#include <QAbstractButton>

class THoverButton : public QAbstractButton {
  Q_OBJECT
public:
  using QAbstractButton::QAbstractButton;
  bool Hover() const { return FHover; }

protected:
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
