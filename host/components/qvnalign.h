#pragma once
// Edge alignment of child controls as the form definition declares it: a child
// with the dynamic property "Align" (alTop, alBottom, alLeft, alRight, alClient)
// is placed along that edge of its parent's client area, in child order, with
// its margins when "AlignWithMargins" is true. Unaligned children keep their
// geometry. Containers call Arrange from their resize event.
#include <QMargins>
#include <QWidget>

namespace TQVNAlign {
void Arrange(QWidget *container);
QMargins Margins(const QWidget *child);
void SetMargins(QWidget *child, const QMargins &margins);
void SetMarginTop(QWidget *child, int top);
// Changes a child's size or position and lets its container arrange again.
void Realign(QWidget *child);
} // namespace TQVNAlign
