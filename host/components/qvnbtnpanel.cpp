#include "components/qvnbtnpanel.h"
#include "components/buttons.h"
#include "components/qvnstdcontrols.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QWheelEvent>
#include <stdexcept>

TQVNPanelButton::TQVNPanelButton(TQVNBtnPanel *panel, int index) : THoverButton(panel), FPanel(panel), FIndex(index) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
}

QSize TQVNPanelButton::sizeHint() const { return {FPanel->ButtonWidth, FPanel->ButtonHeight}; }

void TQVNPanelButton::paintEvent(QPaintEvent *) {
  TPnlButtonsCollItem *item = FPanel->FButtons.Items(FIndex);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  // The highlight is the area on screen; the keyboard focus has a frame of its own.
  const bool selected = FPanel->IsCurrent(FIndex);
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath path;
  path.addRoundedRect(r, 4, 4);
  // Hovering darkens: white text keeps at least 4.5:1 on the panel's grey and on this.
  QColor fill = selected ? QColor(0xF2, 0xF2, 0xF2) : Hover() ? QColor(0x5A, 0x5A, 0x5A) : FPanel->Color;
  if (isDown())
    fill = fill.darker(115);
  p.fillPath(path, fill);
  if (selected) {
    p.fillRect(QRectF(r.left(), r.top() + 6, 4, r.height() - 12), QColor(0xF0, 0x8A, 0x00));
  }
  if (hasFocus()) {
    p.setPen(QPen(selected ? QColor(0x40, 0x40, 0x40) : Qt::white, 1, Qt::DotLine));
    p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 3, 3);
  }
  const int glyph = GlyphSize();
  const QIcon icon = item->GetResourceGlyph()->Icon();
  if (!icon.isNull())
    icon.paint(&p, QRect((width() - glyph) / 2, 7, glyph, glyph), Qt::AlignCenter,
               isEnabled() ? QIcon::Normal : QIcon::Disabled);
  p.setPen(selected ? QColor(0x20, 0x20, 0x20) : Qt::white);
  // The area shown stays bold; a caption too wide for the button ends in "…" (whole in the tooltip).
  p.setFont(CaptionFont());
  const QRect area = CaptionRect();
  p.drawText(area, Qt::AlignHCenter | Qt::AlignTop,
             p.fontMetrics().elidedText(QVNDisplayCaption(item->BtnCaption()), Qt::ElideRight, area.width()));
}

int TQVNPanelButton::GlyphSize() const { return qMin(36, height() - 30); }

QRect TQVNPanelButton::CaptionRect() const {
  const int glyph = GlyphSize();
  return QRect(2, 7 + glyph + 2, width() - 4, height() - glyph - 11);
}

QFont TQVNPanelButton::CaptionFont() const {
  QFont f = font();
  if (!FPanel->IsCurrent(FIndex))
    return f;
  f.setBold(true);
  // Bold is wider: the letters move up to a pixel closer before the caption is cut.
  const QString caption = QVNDisplayCaption(FPanel->FButtons.Items(FIndex)->BtnCaption());
  const qreal over = QFontMetricsF(f).horizontalAdvance(caption) - CaptionRect().width() + 0.5;
  if (over > 0 && caption.size() > 1)
    f.setLetterSpacing(QFont::AbsoluteSpacing, qMax(-1.0, -over / qreal(caption.size() - 1)));
  return f;
}

QString TQVNPanelButton::CutCaption() const {
  return IfCut(QVNDisplayCaption(FPanel->FButtons.Items(FIndex)->BtnCaption()), CaptionFont(), CaptionRect().width());
}

void TQVNPanelButton::keyPressEvent(QKeyEvent *e) {
  switch (e->key()) {
  case Qt::Key_Up:
    FPanel->MoveFocus(FIndex, -1);
    return;
  case Qt::Key_Down:
    FPanel->MoveFocus(FIndex, +1);
    return;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    click();
    return;
  default:
    THoverButton::keyPressEvent(e);
  }
}

void TQVNPanelButton::focusInEvent(QFocusEvent *e) {
  FPanel->FFocused = FIndex;
  THoverButton::focusInEvent(e);
  FPanel->EnsureVisible(FIndex);
}

TPnlButtonsCollItem::TPnlButtonsCollItem(TQVNBtnPanel *panel, int index)
    : FPanel(panel), FButton(new TQVNPanelButton(panel, index)) {
  connect(&FGlyph, &TQVNResourceGlyph::Changed, FButton, qOverload<>(&QWidget::update));
  connect(FButton, &QAbstractButton::clicked, this, [this] {
    if (FAction && FAction->isEnabled())
      FAction->trigger();
  });
}

TPnlButtonsCollItem::~TPnlButtonsCollItem() { delete FButton; }

void TPnlButtonsCollItem::SetBtnName(const QString &name) {
  FName = name;
  FButton->setObjectName(name);
}

void TPnlButtonsCollItem::SetBtnAction(QAction *action) {
  if (FAction)
    disconnect(FAction, nullptr, this, nullptr);
  FAction = action;
  if (action)
    connect(action, &QAction::changed, this, [this] {
      FButton->setEnabled(FAction->isEnabled());
      FPanel->Relayout();
    });
  FButton->setEnabled(!action || action->isEnabled());
  FPanel->Relayout();
}

void TPnlButtonsCollItem::SetLinkedTabSheet(TTabSheet *sheet) {
  FSheet = sheet;
  // The highlight follows the page shown, however it came to be shown.
  if (TQVNStdPageControl *pages = sheet ? sheet->PageControl() : nullptr)
    connect(pages, &QStackedWidget::currentChanged, FPanel, qOverload<>(&QWidget::update), Qt::UniqueConnection);
}

void TPnlButtonsCollItem::SetBtnCaption(const QString &caption) {
  FCaption = caption;
  FButton->setText(QVNDisplayCaption(caption));
  FButton->setAccessibleName(QVNDisplayCaption(caption));
  FButton->update();
}

void TPnlButtonsColl::BeginUpdate() { ++FUpdateCount; }

void TPnlButtonsColl::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0)
    FPanel->Relayout();
}

void TPnlButtonsColl::Clear() {
  FItems.clear();
  FPanel->FSelected = -1;
  FPanel->FFocused = -1;
  FPanel->Relayout();
}

TPnlButtonsCollItem *TPnlButtonsColl::Add() {
  FItems.push_back(std::make_unique<TPnlButtonsCollItem>(FPanel, int(FItems.size())));
  FPanel->Relayout();
  return FItems.back().get();
}

TQVNBtnPanel::TQVNBtnPanel(QWidget *parent) : QWidget(parent), FButtons(this), FBar(new QScrollBar(Qt::Vertical, this)) {
  FBar->hide();
  FBar->setFocusPolicy(Qt::NoFocus);
  FBar->setAccessibleName(QStringLiteral("Startmenü blättern"));
  connect(FBar, &QScrollBar::valueChanged, this, [this] { Relayout(); });
}

TQVNBtnPanel::~TQVNBtnPanel() { FButtons.FItems.clear(); }

// On a low window the buttons get lower, down to what glyph and caption need;
// below that the menu scrolls, with a scroll bar and the mouse wheel.
void TQVNBtnPanel::Relayout() {
  if (FButtons.FUpdateCount > 0 || FLayingOut)
    return;
  FLayingOut = true;
  int shown = 0;
  for (const auto &item : FButtons.FItems)
    shown += item->IsShown() ? 1 : 0;
  // Glyph and caption still readable: the glyph gets smaller first.
  constexpr int minimum = 48;
  int height = ButtonHeight;
  if (shown > 0) {
    const int fit = (this->height() - 2 * BorderWidth - (shown - 1) * ButtonSpacing) / shown;
    height = qBound(minimum, fit, ButtonHeight);
  }
  const int total = shown > 0 ? 2 * BorderWidth + shown * height + (shown - 1) * ButtonSpacing : 0;
  int left = (width() - ButtonWidth) / 2;
  int buttonWidth = ButtonWidth;
  int top = BorderWidth;
  if (total > this->height()) {
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FBar);
    FBar->setGeometry(width() - barWidth, 0, barWidth, this->height());
    FBar->setRange(0, total - this->height());
    FBar->setPageStep(this->height());
    FBar->setSingleStep(height + ButtonSpacing);
    FBar->show();
    buttonWidth = qMin(ButtonWidth, width() - barWidth - 2 * 2);
    left = 2;
    top -= FBar->value();
  } else {
    FBar->hide();
    FBar->setValue(0);
  }
  for (const auto &item : FButtons.FItems) {
    TQVNPanelButton *b = item->Button();
    if (!item->IsShown()) {
      b->hide();
      continue;
    }
    b->setGeometry(left, top, buttonWidth, height);
    b->show();
    top += height + ButtonSpacing;
  }
  update();
  FLayingOut = false;
}

void TQVNBtnPanel::EnsureVisible(int index) {
  if (index >= 0 && index < FButtons.Count())
    QVNScrollIntoView(FBar, FButtons.Items(index)->Button()->geometry(), height(), BorderWidth);
}

bool TQVNPanelButton::IsCurrentArea() const { return FPanel->IsCurrent(FIndex); }

bool TQVNBtnPanel::IsCurrent(int index) const {
  if (index < 0 || index >= FButtons.Count())
    return false;
  TTabSheet *sheet = FButtons.Items(index)->LinkedTabSheet();
  TQVNStdPageControl *pages = sheet ? sheet->PageControl() : nullptr;
  return pages ? pages->ActivePage() == sheet : FSelected == index;
}

int TQVNBtnPanel::Current() const {
  for (int i = 0; i < FButtons.Count(); ++i)
    if (IsCurrent(i))
      return i;
  return -1;
}

void TQVNBtnPanel::wheelEvent(QWheelEvent *e) {
  if (FBar->isVisible())
    QCoreApplication::sendEvent(FBar, e);
  else
    e->ignore();
}

void TQVNBtnPanel::SetSelected(int index) {
  if (index < 0 || index >= FButtons.Count())
    throw std::out_of_range("Der Startmenü-Knopf existiert nicht.");
  FSelected = index;
  if (TTabSheet *sheet = FButtons.Items(index)->LinkedTabSheet())
    if (TQVNStdPageControl *pc = sheet->PageControl())
      pc->SetActivePage(sheet);
  update();
  for (const auto &item : FButtons.FItems)
    item->Button()->update();
}

void TQVNBtnPanel::SetFocusToButton(int index) {
  if (index < 0 || index >= FButtons.Count())
    throw std::out_of_range("Der Startmenü-Knopf existiert nicht.");
  FFocused = index;
  for (const auto &item : FButtons.FItems)
    item->Button()->update();
  TQVNPanelButton *b = FButtons.Items(index)->Button();
  if (b->isVisibleTo(window()) && b->isEnabled())
    b->setFocus(Qt::OtherFocusReason);
  EnsureVisible(index);
  update();
}

void TQVNBtnPanel::MoveFocus(int from, int step) {
  for (int i = from + step; i >= 0 && i < FButtons.Count(); i += step) {
    TPnlButtonsCollItem *item = FButtons.Items(i);
    if (item->IsShown() && item->Button()->isEnabled()) {
      SetFocusToButton(i);
      return;
    }
  }
}

void TQVNBtnPanel::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  Relayout();
}

void TQVNBtnPanel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), Color);
}
