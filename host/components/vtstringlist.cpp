#include "components/vtstringlist.h"
#include "components/imagelist.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

int TVTStringListModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : int(FRows.size());
}

int TVTStringListModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : int(FColumns.size());
}

QVariant TVTStringListModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || size_t(index.row()) >= FRows.size())
    return {};
  const TStringList *list = FRows[size_t(index.row())].get();
  if (role == Qt::AccessibleTextRole && FActionNames.contains(index.column()) && list && list->Count() > 0)
    return FActionNames.value(index.column()) + QStringLiteral(": ") + list->Strings.at(0);
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    if (list && index.column() < list->Count())
      return list->Strings.at(index.column());
    return QString();
  }
  return {};
}

QVariant TVTStringListModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < FColumns.size())
    return FColumns.at(section);
  return {};
}

namespace {
class TVTDelegate : public QStyledItemDelegate {
public:
  explicit TVTDelegate(TVTStringList *view) : QStyledItemDelegate(view), FView(view) {}
  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    FView->PaintCell(painter, option.rect, index.row(), index.column(), option.state & QStyle::State_Selected);
  }
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(qMax(s.height(), 20));
    return s;
  }

private:
  TVTStringList *FView;
};
} // namespace

TVTStringList::TVTStringList(QWidget *parent) : QTreeView(parent), FModel(new TVTStringListModel(this)) {
  setModel(FModel);
  setItemDelegate(new TVTDelegate(this));
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setMouseTracking(true);
  header()->setStretchLastSection(false);
  header()->setMinimumSectionSize(0);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  setFrameShape(QFrame::NoFrame);
}

void TVTStringList::BeginUpdate() {
  if (FUpdateCount++ == 0) {
    setUpdatesEnabled(false);
    FModel->beginResetModel();
  }
}

void TVTStringList::EndUpdate() {
  if (FUpdateCount == 0)
    return;
  if (--FUpdateCount == 0) {
    FModel->endResetModel();
    setUpdatesEnabled(true);
    viewport()->update();
  }
}

void TVTStringList::Clear() {
  if (FUpdateCount == 0)
    FModel->beginResetModel();
  FModel->FRows.clear();
  if (FUpdateCount == 0)
    FModel->endResetModel();
}

int TVTStringList::AddChild(int) {
  const int row = int(FModel->FRows.size());
  if (FUpdateCount == 0)
    FModel->beginInsertRows({}, row, row);
  FModel->FRows.emplace_back();
  if (FUpdateCount == 0)
    FModel->endInsertRows();
  return row;
}

void TVTStringList::SetNodeData(int node, TStringList *list) {
  if (node < 0 || size_t(node) >= FModel->FRows.size()) {
    delete list;
    return;
  }
  FModel->FRows[size_t(node)].reset(list);
  InvalidateNode(node);
}

TStringList *TVTStringList::GetNodeData(int node) const {
  if (node < 0 || size_t(node) >= FModel->FRows.size())
    return nullptr;
  return FModel->FRows[size_t(node)].get();
}

int TVTStringList::RootNodeCount() const { return int(FModel->FRows.size()); }

void TVTStringList::InvalidateNode(int node) {
  if (FUpdateCount == 0 && node >= 0 && node < RootNodeCount() && ColumnCount() > 0)
    Q_EMIT FModel->dataChanged(FModel->index(node, 0), FModel->index(node, ColumnCount() - 1));
}

int TVTStringList::ColumnCount() const { return int(FModel->FColumns.size()); }

void TVTStringList::AddColumn(const QString &title, int width) {
  const int column = ColumnCount();
  if (FUpdateCount == 0)
    FModel->beginInsertColumns({}, column, column);
  FModel->FColumns << title;
  if (FUpdateCount == 0)
    FModel->endInsertColumns();
  setColumnWidth(column, width);
  header()->resizeSection(column, width);
}

void TVTStringList::ClearColumns() {
  if (FUpdateCount == 0)
    FModel->beginResetModel();
  FModel->FColumns.clear();
  if (FUpdateCount == 0)
    FModel->endResetModel();
}

void TVTStringList::SetColumnWidth(int column, int width) {
  if (column >= 0 && column < ColumnCount())
    header()->resizeSection(column, qMax(0, width));
  if (column != AutoSizeColumn)
    AutoSize();
}

void TVTStringList::AutoSize() {
  if (AutoSizeColumn < 0 || AutoSizeColumn >= ColumnCount())
    return;
  int others = 0;
  for (int c = 0; c < ColumnCount(); ++c)
    if (c != AutoSizeColumn)
      others += columnWidth(c);
  header()->resizeSection(AutoSizeColumn, qMax(0, ClientWidth() - others));
}

int TVTStringList::FocusedNode() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() : -1;
}

int TVTStringList::FocusedColumn() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.column() : -1;
}

void TVTStringList::SetFocusedCell(int node, int column) {
  const QModelIndex i = FModel->index(node, column);
  if (i.isValid())
    setCurrentIndex(i);
}

bool TVTStringList::Selected(int node) const {
  return node >= 0 && selectionModel()->rowIntersectsSelection(node, {});
}

int TVTStringList::GetFirstSelected() const {
  const QModelIndexList list = selectionModel()->selectedIndexes();
  int first = -1;
  for (const QModelIndex &i : list)
    if (first < 0 || i.row() < first)
      first = i.row();
  return first;
}

int TVTStringList::GetNodeAt(const QPoint &clientPos) const {
  const QModelIndex i = indexAt(clientPos);
  if (i.isValid())
    return i.row();
  // Also over empty space of a row beyond the last column.
  for (int c = 0; c < ColumnCount(); ++c) {
    const QModelIndex probe = indexAt(QPoint(columnViewportPosition(c) + 1, clientPos.y()));
    if (probe.isValid())
      return probe.row();
  }
  if (RootNodeCount() > 0) {
    const QRect first = visualRect(FModel->index(0, 0));
    if (first.height() > 0) {
      const int row = (clientPos.y() - first.top()) / first.height();
      if (clientPos.y() >= first.top() && row < RootNodeCount())
        return row;
    }
  }
  return -1;
}

bool TVTStringList::FullRowSelect() const { return selectionBehavior() == QAbstractItemView::SelectRows; }

void TVTStringList::SetFullRowSelect(bool on) {
  setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void TVTStringList::SetExtendedFocus(bool on) {
  FExtendedFocus = on;
  if (on)
    setSelectionBehavior(QAbstractItemView::SelectItems);
}

bool TVTStringList::HeaderVisible() const { return !isHeaderHidden(); }
void TVTStringList::SetHeaderVisible(bool on) { setHeaderHidden(!on); }

QStringList TVTStringList::ColumnTitles() const { return FModel->FColumns; }

void TVTStringList::SetColumnTitles(const QStringList &titles) {
  ClearColumns();
  for (const QString &t : titles)
    AddColumn(t);
}

QString TVTStringList::ColumnWidths() const {
  QStringList parts;
  for (int c = 0; c < ColumnCount(); ++c)
    parts << QString::number(columnWidth(c));
  return parts.join(QLatin1Char(','));
}

void TVTStringList::SetColumnWidths(const QString &widths) {
  const QStringList parts = widths.split(QLatin1Char(','), Qt::SkipEmptyParts);
  for (int c = 0; c < parts.size() && c < ColumnCount(); ++c)
    SetColumnWidth(c, parts.at(c).trimmed().toInt());
}

void TVTStringList::PaintCell(QPainter *painter, const QRect &cellRect, int node, int column, bool selected) {
  painter->save();
  Q_EMIT OnBeforeCellPaint(this, painter, node, column, cellRect);
  painter->restore();
  QRect content = cellRect.adjusted(4, 0, -4, 0);
  if (selected) {
    const bool active = hasFocus();
    painter->fillRect(cellRect, active ? palette().highlight() : palette().brush(QPalette::Inactive, QPalette::Highlight));
  }
  if (FImages) {
    bool ghosted = false;
    int image = -1;
    Q_EMIT OnGetImageIndex(this, node, ikNormal, column, ghosted, image);
    if (image >= 0) {
      const int y = cellRect.top() + (cellRect.height() - FImages->Height) / 2;
      const int x = content.width() >= FImages->Width ? content.left() + (content.width() - FImages->Width) / 2
                                                      : cellRect.left();
      FImages->Draw(painter, x, y, image, !ghosted && !FGhosted);
    }
  }
  const TStringList *list = GetNodeData(node);
  if (list && column < list->Count()) {
    const bool ghostedItem = list->Ghosted.contains(column);
    // Greyed items and rows are also set in italics: they differ by more than
    // their colour, which stays readable (4.5:1 on white).
    QFont font = painter->font();
    font.setItalic(ghostedItem || FGhosted);
    painter->setFont(font);
    painter->setPen(selected                  ? palette().highlightedText().color()
                    : FGhosted || ghostedItem ? QColor(0x5C, 0x5C, 0x5C)
                                              : palette().text().color());
    const Qt::Alignment h = column == RightAlignedColumn ? Qt::AlignRight : Qt::AlignLeft;
    painter->drawText(content, h | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(list->Strings.at(column), Qt::ElideRight, content.width()));
  }
  if (HorzGridLines || VertGridLines) {
    painter->setPen(QColor(0xD8, 0xD8, 0xD8));
    if (HorzGridLines)
      painter->drawLine(cellRect.bottomLeft(), cellRect.bottomRight());
    if (VertGridLines)
      painter->drawLine(cellRect.topRight(), cellRect.bottomRight());
  }
  // The keyboard's place: 2 px around the focused row (or cell), in the text
  // colour, which stands out from white, grey and the selection colour alike.
  if (FFocusCue.Shown(this) && currentIndex().row() == node && (FullRowSelect() || currentIndex().column() == column)) {
    const QColor ink = palette().text().color();
    const QRect r = cellRect;
    painter->fillRect(QRect(r.left(), r.top(), r.width(), 2), ink);
    painter->fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), ink);
    if (!FullRowSelect() || column == 0)
      painter->fillRect(QRect(r.left(), r.top(), 2, r.height()), ink);
    if (!FullRowSelect() || column == ColumnCount() - 1)
      painter->fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), ink);
  }
}

// An empty list shows the keyboard's arrival by a frame around itself.
void TVTStringList::paintEvent(QPaintEvent *e) {
  QTreeView::paintEvent(e);
  if (!FFocusCue.Shown(this) || (model() && model()->rowCount() > 0))
    return;
  QPainter p(viewport());
  p.setPen(QPen(palette().text().color(), 2));
  p.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}

void TVTStringList::focusInEvent(QFocusEvent *e) {
  FFocusCue.Track(e);
  QTreeView::focusInEvent(e); // which, reached by the keyboard, focuses the first cell if none is
}

void TVTStringList::SetGhosted(bool ghosted) {
  if (FGhosted == ghosted)
    return;
  FGhosted = ghosted;
  viewport()->update();
}

void TVTStringList::UpdateCursor() {
  int cursor = crDefault;
  Q_EMIT OnGetCursor(this, cursor);
  if (cursor == crHandPoint)
    viewport()->setCursor(Qt::PointingHandCursor);
  else
    viewport()->unsetCursor();
}

void TVTStringList::mouseMoveEvent(QMouseEvent *e) {
  QTreeView::mouseMoveEvent(e);
  UpdateCursor();
}

bool TVTStringList::viewportEvent(QEvent *e) {
  if (e->type() == QEvent::Enter)
    UpdateCursor();
  else if (e->type() == QEvent::Resize)
    AutoSize(); // also when a scroll bar comes or goes
  return QTreeView::viewportEvent(e);
}

void TVTStringList::mousePressEvent(QMouseEvent *e) {
  if (e->button() == Qt::RightButton && RightClickSelect) {
    const QModelIndex i = indexAt(e->position().toPoint());
    if (i.isValid()) {
      setCurrentIndex(i);
      selectionModel()->select(i, QItemSelectionModel::ClearAndSelect |
                                      (FullRowSelect() ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    }
    e->accept();
    return;
  }
  QTreeView::mousePressEvent(e);
}

void TVTStringList::mouseDoubleClickEvent(QMouseEvent *e) {
  QTreeView::mouseDoubleClickEvent(e);
  if (e->button() == Qt::LeftButton)
    Q_EMIT OnDblClick(this);
}

// Enter on the focused row does what a double-click does, for keyboard users.
void TVTStringList::keyPressEvent(QKeyEvent *e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier &&
      currentIndex().isValid()) {
    Q_EMIT OnDblClick(this);
    return;
  }
  QTreeView::keyPressEvent(e);
}

void TVTStringList::contextMenuEvent(QContextMenuEvent *e) {
  if (FPopup) {
    FPopup->exec(e->globalPos());
    e->accept();
    return;
  }
  QTreeView::contextMenuEvent(e);
}

void TVTStringList::resizeEvent(QResizeEvent *e) {
  QTreeView::resizeEvent(e);
  Q_EMIT OnResize(this);
}

void TVTStringList::SetActionColumnName(int column, const QString &name) { FModel->FActionNames.insert(column, name); }
