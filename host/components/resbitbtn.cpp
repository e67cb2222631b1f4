#include "components/resbitbtn.h"
#include "components/qvnstdcontrols.h"

#include <QContextMenuEvent>

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

void TResBitBtn::contextMenuEvent(QContextMenuEvent *e) {
  bool handled = false;
  Q_EMIT OnContextPopup(this, e->pos(), handled);
  if (handled)
    e->accept();
  else
    QToolButton::contextMenuEvent(e);
}
