#include "components/imagelist.h"
#include "components/qvnresourceglyph.h"

#include <QPainter>

int TImageList::AddGlyph(const QString &name) {
  FIcons << TQVNResourceGlyph::IconForName(name);
  return int(FIcons.size()) - 1;
}

void TImageList::Draw(QPainter *painter, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= FIcons.size())
    return;
  FIcons.at(index).paint(painter, QRect(x, y, Width, Height), Qt::AlignCenter,
                         enabled ? QIcon::Normal : QIcon::Disabled);
}
