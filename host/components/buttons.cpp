#include "components/buttons.h"
#include "components/focuscue.h"
#include "components/actionlist.h"
#include "components/qvnstdcontrols.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QCoreApplication>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

TButtonsBtn::TButtonsBtn(TButtons *menu, int index) : THoverButton(menu), FMenu(menu), FIndex(index) {
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractButton::clicked, this, [this] {
    if (FAction && FAction->isEnabled())
      FAction->trigger();
  });
}

void TButtonsBtn::SetAction(QAction *action) {
  if (FAction)
    disconnect(FAction, nullptr, this, nullptr);
  FAction = action;
  if (action)
    connect(action, &QAction::changed, this, [this] { setEnabled(FAction->isEnabled()); });
  setEnabled(!action || action->isEnabled());
  setCursor(action ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

namespace {
QFont KeyFont(QFont f) {
  f.setBold(true);
  return f;
}
QFont CaptionFont(QFont f, bool enabled) {
  f.setItalic(!enabled);
  return f;
}
} // namespace

void TButtonsBtn::paintEvent(QPaintEvent *) {
  const TButtonsCollItem *item = FMenu->Items()->Items(FIndex);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (item->ButtonType() == btHeading) {
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.drawText(rect().adjusted(2, 0, -2, -3), Qt::AlignLeft | Qt::AlignBottom, QVNDisplayCaption(item->LeftCaption()));
    p.setPen(QPen(QColor(0xF0, 0x8A, 0x00), 2));
    p.drawLine(QPointF(2, height() - 1.5), QPointF(width() - 2, height() - 1.5));
    return;
  }
  QPainterPath path;
  path.addRoundedRect(r, 3, 3);
  QColor fill = hasFocus() ? QColor(0xFF, 0xF1, 0xDC) : Hover() ? QColor(0xF4, 0xF4, 0xF4) : Qt::white;
  if (isDown())
    fill = fill.darker(110);
  p.fillPath(path, fill);
  if (hasFocus()) {
    p.setPen(QPen(TFocusCue::Orange(), 2));
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2.5, 2.5);
  } else {
    p.setPen(QColor(0xB8, 0xB8, 0xB8));
    p.drawPath(path);
  }
  // A disabled entry is grey and italic: it differs by more than its colour, which stays readable (4.5:1).
  p.setPen(isEnabled() ? QColor(0x20, 0x20, 0x20) : QColor(0x6B, 0x6B, 0x6B));
  p.setFont(CaptionFont(font(), isEnabled()));
  // A caption too long for the entry ends in "…" before the key letter (whole in the tooltip).
  const QRect caption = CaptionRect();
  p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter,
             p.fontMetrics().elidedText(QVNDisplayCaption(item->LeftCaption()), Qt::ElideRight, caption.width()));
  if (!item->RightCaption().isEmpty()) {
    p.setFont(KeyFont(font()));
    p.setPen(QColor(0x66, 0x66, 0x66));
    p.drawText(KeyRect(), Qt::AlignRight | Qt::AlignVCenter, item->RightCaption());
  }
}

QRect TButtonsBtn::KeyRect() const {
  const QString key = KeyText();
  if (key.isEmpty())
    return {};
  const int width = QFontMetrics(KeyFont(font())).horizontalAdvance(key);
  return QRect(this->width() - 10 - width, 0, width, height());
}

QRect TButtonsBtn::CaptionRect() const {
  const QRect key = KeyRect();
  return QRect(10, 0, qMax(0, (key.isNull() ? width() - 8 : key.left() - 8) - 10), height());
}

QString TButtonsBtn::CutCaption() const {
  return IfCut(QVNDisplayCaption(FMenu->Items()->Items(FIndex)->LeftCaption()), CaptionFont(font(), isEnabled()),
               CaptionRect().width());
}

QString TButtonsBtn::KeyText() const { return FMenu->Items()->Items(FIndex)->RightCaption(); }

void TButtonsBtn::focusInEvent(QFocusEvent *e) {
  THoverButton::focusInEvent(e);
  FMenu->EnsureVisible(FIndex);
}

void TButtonsBtn::keyPressEvent(QKeyEvent *e) {
  quint16 key = QtKeyToVirtualKey(e->key());
  Q_EMIT FMenu->OnBtnKeyDown(FMenu, FIndex, objectName(), key, e->modifiers());
  if (key == 0)
    return;
  switch (e->key()) {
  case Qt::Key_Up:
    FMenu->FocusButton(FIndex, -1);
    return;
  case Qt::Key_Down:
    FMenu->FocusButton(FIndex, +1);
    return;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    click();
    return;
  default:
    THoverButton::keyPressEvent(e);
  }
}

TButtonsCollItem::TButtonsCollItem(TButtons *menu, int index) : FMenu(menu), FButton(new TButtonsBtn(menu, index)) {}

TButtonsCollItem::~TButtonsCollItem() { delete FButton; }

void TButtonsCollItem::SetLeftCaption(const QString &caption) {
  FLeft = caption;
  FButton->setText(QVNDisplayCaption(caption));
  FButton->setAccessibleName(QVNDisplayCaption(caption));
  FButton->update();
}

void TButtonsCollItem::SetRightCaption(const QString &caption) {
  FRight = caption; // a screen reader reads it as the entry's shortcut
  FButton->update();
}

void TButtonsCollItem::SetVisible(bool visible) {
  if (FVisible == visible)
    return;
  FVisible = visible;
  FMenu->Relayout();
}

void TButtonsCollItem::SetButtonType(int type) {
  FType = type;
  FButton->setFocusPolicy(type == btHeading ? Qt::NoFocus : Qt::StrongFocus);
  FMenu->Relayout();
}

void TButtonsCollection::BeginUpdate() { ++FUpdateCount; }

void TButtonsCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0)
    FMenu->Relayout();
}

void TButtonsCollection::Clear() {
  FItems.clear();
  FMenu->FTopItem = 0;
  FMenu->Relayout();
}

TButtonsCollItem *TButtonsCollection::Add() {
  FItems.push_back(std::make_unique<TButtonsCollItem>(FMenu, int(FItems.size())));
  FMenu->Relayout();
  return FItems.back().get();
}

TButtons::TButtons(QWidget *parent) : QWidget(parent), FItems(this), FBar(new QScrollBar(Qt::Vertical, this)) {
  setFocusPolicy(Qt::StrongFocus);
  FBar->hide();
  FBar->setFocusPolicy(Qt::NoFocus);
  FBar->setAccessibleName(QStringLiteral("Menü blättern"));
  connect(FBar, &QScrollBar::valueChanged, this, [this] { Relayout(); });
}

TButtons::~TButtons() { FItems.FItems.clear(); }

void TButtons::SetTopItem(int index) {
  if (index < 0 || index >= FItems.Count())
    return;
  FTopItem = index;
  Relayout();
}

QList<TButtonsCollItem *> TButtons::ShownItems() const {
  QList<TButtonsCollItem *> shown;
  for (int i = FTopItem; i < FItems.Count(); ++i)
    if (FItems.Items(i)->Visible())
      shown << FItems.Items(i);
  return shown;
}

int TButtons::HeadingGaps(const QList<TButtonsCollItem *> &shown) {
  int gaps = 0;
  for (qsizetype i = 1; i < shown.size(); ++i)
    gaps += shown.at(i)->ButtonType() == btHeading ? 6 : 0;
  return gaps;
}

int TButtons::ReadableHeight() const { return fontMetrics().height() + 8; }

int TButtons::NeededHeight() const {
  const QList<TButtonsCollItem *> shown = ShownItems();
  const int n = int(shown.size());
  if (n == 0)
    return 0;
  // As laid out below: the design height, or lower buttons closer together.
  return qMin(n * ButtonHeight + (n - 1) * 3, n * ReadableHeight() + (n - 1) * 2) + HeadingGaps(shown);
}

// Visible buttons from the top item on, as one block centred vertically. A
// block taller than the menu gets lower buttons first (down to what their
// text needs) and then scrolls: a scroll bar at the right, the mouse wheel,
// and the focused button always brought into view.
void TButtons::Relayout() {
  if (FItems.FUpdateCount > 0 || FLayingOut)
    return;
  FLayingOut = true;
  const QList<TButtonsCollItem *> shown = ShownItems();
  for (int i = 0; i < FItems.Count(); ++i)
    if (!shown.contains(FItems.Items(i)))
      FItems.Items(i)->Button()->hide();
  const int headingGaps = HeadingGaps(shown);
  const int n = int(shown.size());
  int spacing = 3;
  int buttonHeight = ButtonHeight;
  const int readable = ReadableHeight();
  if (n > 0 && n * buttonHeight + (n - 1) * spacing + headingGaps > height()) {
    spacing = 2;
    buttonHeight = qBound(readable, (height() - (n - 1) * spacing - headingGaps) / n, ButtonHeight);
  }
  const int total = n > 0 ? n * buttonHeight + (n - 1) * spacing + headingGaps : 0;
  const bool scrolls = total > height();
  int top = (height() - total) / 2;
  int width = this->width();
  if (scrolls) {
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FBar);
    FBar->setGeometry(this->width() - barWidth, 0, barWidth, height());
    FBar->setRange(0, total - height());
    FBar->setPageStep(height());
    FBar->setSingleStep(buttonHeight + spacing);
    FBar->show();
    width -= barWidth + 2;
    top = -FBar->value();
  } else {
    FBar->hide();
    FBar->setValue(0);
  }
  for (qsizetype i = 0; i < shown.size(); ++i) {
    TButtonsBtn *b = shown.at(i)->Button();
    if (i > 0)
      top += spacing + (shown.at(i)->ButtonType() == btHeading ? 6 : 0);
    b->setGeometry(0, top, width, buttonHeight);
    b->show();
    top += buttonHeight;
  }
  FLayingOut = false;
}

void QVNScrollIntoView(QScrollBar *bar, const QRect &r, int height, int margin) {
  if (!bar->isVisible())
    return;
  if (r.top() < 0)
    bar->setValue(bar->value() + r.top() - margin);
  else if (r.bottom() >= height)
    bar->setValue(bar->value() + r.bottom() - height + 1 + margin);
}

void TButtons::EnsureVisible(int index) {
  if (index >= 0 && index < FItems.Count())
    QVNScrollIntoView(FBar, FItems.Items(index)->Button()->geometry(), height());
}

void TButtons::FocusButton(int from, int step) {
  for (int i = from + step; i >= 0 && i < FItems.Count(); i += step) {
    TButtonsCollItem *item = FItems.Items(i);
    if (i >= FTopItem && item->Visible() && item->ButtonType() != btHeading && item->Button()->isEnabled()) {
      item->Button()->setFocus(Qt::TabFocusReason);
      EnsureVisible(i);
      return;
    }
  }
}

void TButtons::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  Relayout();
  // A menu laid out anew keeps its focused button in view.
  for (int i = 0; i < FItems.Count(); ++i)
    if (FItems.Items(i)->Button()->hasFocus())
      EnsureVisible(i);
}

// The menu passes its focus on to its first usable button.
void TButtons::focusInEvent(QFocusEvent *e) {
  QWidget::focusInEvent(e);
  FocusButton(-1, +1);
}

void TButtons::wheelEvent(QWheelEvent *e) {
  if (FBar->isVisible())
    QCoreApplication::sendEvent(FBar, e);
  else
    e->ignore();
}

void TZDQ_WinControl_ClassHelper::SetFocus_Secure(QWidget *control, bool) {
  if (!control || !control->isEnabled() || !control->isVisibleTo(control->window()) ||
      control->focusPolicy() == Qt::NoFocus)
    return;
  control->setFocus(Qt::OtherFocusReason);
}
