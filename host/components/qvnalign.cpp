#include "components/qvnalign.h"

#include <QVariant>

namespace TQVNAlign {

QMargins Margins(const QWidget *child) {
  if (!child->property("AlignWithMargins").toBool())
    return {};
  auto value = [&](const char *name) {
    const QVariant v = child->property(name);
    return v.isValid() ? v.toInt() : 3; // the toolkit's default margin
  };
  return {value("MarginLeft"), value("MarginTop"), value("MarginRight"), value("MarginBottom")};
}

void SetMargins(QWidget *child, const QMargins &m) {
  child->setProperty("AlignWithMargins", true);
  child->setProperty("MarginLeft", m.left());
  child->setProperty("MarginTop", m.top());
  child->setProperty("MarginRight", m.right());
  child->setProperty("MarginBottom", m.bottom());
  Realign(child);
}

void SetMarginTop(QWidget *child, int top) {
  QMargins m = Margins(child);
  m.setTop(top);
  SetMargins(child, m);
}

void Realign(QWidget *child) {
  if (child->parentWidget())
    Arrange(child->parentWidget());
}

void Arrange(QWidget *container) {
  QRect free = container->contentsRect();
  const QObjectList kids = container->children();
  auto place = [&](const char *which) {
    for (QObject *o : kids) {
      auto *w = qobject_cast<QWidget *>(o);
      if (!w || w->isWindow() || w->property("Align").toString() != QLatin1String(which))
        continue;
      if (w->isHidden()) // hidden controls take no room, as in the toolkit
        continue;
      const QMargins m = Margins(w);
      const QString a = QLatin1String(which);
      QRect r;
      if (a == QLatin1String("alTop")) {
        r = QRect(free.left() + m.left(), free.top() + m.top(), free.width() - m.left() - m.right(), w->height());
        free.setTop(r.bottom() + 1 + m.bottom());
      } else if (a == QLatin1String("alBottom")) {
        r = QRect(free.left() + m.left(), free.bottom() + 1 - m.bottom() - w->height(),
                  free.width() - m.left() - m.right(), w->height());
        free.setBottom(r.top() - 1 - m.top());
      } else if (a == QLatin1String("alLeft")) {
        r = QRect(free.left() + m.left(), free.top() + m.top(), w->width(), free.height() - m.top() - m.bottom());
        free.setLeft(r.right() + 1 + m.right());
      } else if (a == QLatin1String("alRight")) {
        r = QRect(free.right() + 1 - m.right() - w->width(), free.top() + m.top(), w->width(),
                  free.height() - m.top() - m.bottom());
        free.setRight(r.left() - 1 - m.left());
      } else {
        r = free.marginsRemoved(m);
      }
      if (r.width() < 0)
        r.setWidth(0);
      if (r.height() < 0)
        r.setHeight(0);
      if (w->geometry() != r)
        w->setGeometry(r);
    }
  };
  place("alTop");
  place("alBottom");
  place("alLeft");
  place("alRight");
  place("alClient");
}

} // namespace TQVNAlign
