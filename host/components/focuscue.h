#pragma once
// Where the keyboard is, on controls whose style marks it too faintly to see:
// a 2 px frame, shown while the control has a focus that did not come from a
// mouse click (a click shows its place by itself).
#include <QColor>
#include <QFocusEvent>
#include <QWidget>
#include <cmath>

class TFocusCue {
public:
  // The focus coming back from a dialog or a popup menu keeps how it came first.
  void Track(const QFocusEvent *e) {
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason)
      FByMouse = e->reason() == Qt::MouseFocusReason;
  }
  bool Shown(const QWidget *w) const { return w->hasFocus() && !FByMouse; }

  // The window's focus colour, a dark orange: 4:1 on a focused menu entry's fill.
  static QColor Orange() { return QColor(0xB3, 0x5F, 0x00); }
  // The orange where it stands out at 3:1 from the background, white on the dark panels.
  static QColor On(const QColor &background) {
    return Contrast(Orange(), background) >= 3 ? Orange() : QColor(Qt::white);
  }
  // WCAG's contrast ratio of two colours.
  static double Contrast(const QColor &a, const QColor &b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
  }

private:
  static double Luminance(const QColor &c) {
    auto channel = [](double s) { return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  }
  bool FByMouse = false;
};
