#include "components/resbitbtn.h"
#include "components/qvnstdcontrols.h"

#include <QContextMenuEvent>
#include <QPainter>

namespace {
const std::pair<const char *, TGlyphType> kTypeNames[] = {
    {"gtKeiner", gtKeiner},       {"gtZurueck", gtZurueck}, {"gtPlay", gtPlay},         {"gtLeeren", gtLeeren},
    {"gtNeuanlage", gtNeuanlage}, {"gtExport", gtExport},   {"gtSpeichern", gtSpeichern},
};
}

TResBitBtn::TResBitBtn(QWidget *parent) : QToolButton(parent) {
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  connect(&FGlyph, &TQVNResourceGlyph::Changed, this, &TResBitBtn::UpdateIcon);
}

void TResBitBtn::SetCaption(const QString &caption) {
  FCaption = caption;
  setText(QVNDisplayCaption(caption));
  setAccessibleName(QVNDisplayCaption(caption));
  // A caption goes under the picture unless the form chose another arrangement.
  if (caption.isEmpty())
    setToolButtonStyle(Qt::ToolButtonIconOnly);
  else if (toolButtonStyle() == Qt::ToolButtonIconOnly)
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

void TResBitBtn::SetFontColor(const QColor &c) {
  QPalette p = palette();
  p.setColor(QPalette::ButtonText, c);
  setPalette(p);
}

void TResBitBtn::SetGlyphName(const QString &name) { FGlyph.SetGlyph(gtKeiner, FGlyph.GlyphSize(), name); }

QString TResBitBtn::GlyphTypeName() const {
  for (const auto &[name, type] : kTypeNames)
    if (type == FGlyph.GlyphType())
      return QString::fromLatin1(name);
  return {};
}

void TResBitBtn::SetGlyphTypeName(const QString &typeName) {
  for (const auto &[name, type] : kTypeNames)
    if (typeName == QLatin1String(name))
      FGlyph.SetGlyph(type, FGlyph.GlyphSize(), FGlyph.GlyphName());
}

void TResBitBtn::UpdateIcon() { setIcon(FGlyph.Icon()); }

void TResBitBtn::focusInEvent(QFocusEvent *e) {
  FFocusCue.Track(e);
  QToolButton::focusInEvent(e);
}

// The colour the button is seen on: that of the first panel below it that
// paints one, else the window's (panels without a colour let it through).
QColor TResBitBtn::SeenOn() const {
  for (const QWidget *w = parentWidget(); w; w = w->parentWidget()) {
    if (const auto *panel = qobject_cast<const TQVNStdPanel *>(w); panel && panel->Color().isValid())
      return panel->Color();
    if (w->autoFillBackground() || w->isWindow())
      return w->palette().color(w->backgroundRole());
  }
  return palette().color(QPalette::Window);
}

// The style's own mark of a focused flat button differs from its surroundings
// by barely 1.2:1; this frame by 3:1 or more.
void TResBitBtn::paintEvent(QPaintEvent *e) {
  QToolButton::paintEvent(e);
  if (!FFocusCue.Shown(this))
    return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(TFocusCue::On(SeenOn()), 2));
  p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
}

void TResBitBtn::contextMenuEvent(QContextMenuEvent *e) {
  bool handled = false;
  Q_EMIT OnContextPopup(this, e->pos(), handled);
  if (handled)
    e->accept();
  else
    QToolButton::contextMenuEvent(e);
}
