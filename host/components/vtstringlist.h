#pragma once
// The string-list tree view: every row carries a list of (text, number)
// items, item i shown in column i. Rows are plain indexes; -1 means none.
#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTreeView>

#include "components/focuscue.h"
#include <memory>
#include <vector>

class TImageList;
class QMenu;

// A row's data: strings with an attached integer each. The view owns it.
class TStringList {
public:
  void Add(const QString &s) { AddObject(s, 0); }
  void AddObject(const QString &s, qintptr object) {
    Strings << s;
    Objects << object;
  }
  int Count() const { return int(Strings.size()); }
  QStringList Strings;
  QList<qintptr> Objects;
  QSet<int> Ghosted; // items shown greyed (a refused entry)
};

inline constexpr int crDefault = 0;
inline constexpr int crHandPoint = -21;
enum TVTImageKind { ikNormal = 0, ikSelected = 1, ikState = 2, ikOverlay = 3 };

class TVTStringListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
  friend class TVTStringList;
  std::vector<std::unique_ptr<TStringList>> FRows;
  QStringList FColumns;
  QList<int> FAlignments;
  QHash<int, QString> FActionNames; // column → what its picture does, for a screen reader
};

class TVTStringList : public QTreeView {
  Q_OBJECT
  Q_PROPERTY(bool FullRowSelect READ FullRowSelect WRITE SetFullRowSelect)
  Q_PROPERTY(bool HorzGridLines MEMBER HorzGridLines)
  Q_PROPERTY(bool VertGridLines MEMBER VertGridLines)
  Q_PROPERTY(bool ExtendedFocus READ ExtendedFocus WRITE SetExtendedFocus)
  Q_PROPERTY(bool RightClickSelect MEMBER RightClickSelect)
  Q_PROPERTY(bool HeaderVisible READ HeaderVisible WRITE SetHeaderVisible)
  Q_PROPERTY(QStringList Columns READ ColumnTitles WRITE SetColumnTitles)
  Q_PROPERTY(QString ColumnWidths READ ColumnWidths WRITE SetColumnWidths)
  Q_PROPERTY(int RightAlignedColumn MEMBER RightAlignedColumn)
  Q_PROPERTY(int AutoSizeColumn MEMBER AutoSizeColumn)
public:
  explicit TVTStringList(QWidget *parent = nullptr);

  void BeginUpdate();
  void EndUpdate();
  void Clear();
  // Adds a top-level row (no parent) and returns it.
  int AddChild(int parent = -1);
  // Hands the list to the row; the view owns and frees it with the row.
  void SetNodeData(int node, TStringList *list);
  TStringList *GetNodeData(int node) const;
  int RootNodeCount() const;
  // Shows changed row data without rebuilding.
  void InvalidateNode(int node);

  // Columns of the header.
  int ColumnCount() const;
  void AddColumn(const QString &title = {}, int width = 100);
  void ClearColumns();
  void SetColumnWidth(int column, int width);
  int ColumnWidthAt(int column) const { return columnWidth(column); }

  int FocusedNode() const;
  int FocusedColumn() const;
  void SetFocusedCell(int node, int column);
  bool Selected(int node) const;
  int GetFirstSelected() const;
  int GetNodeAt(const QPoint &clientPos) const;
  int ClientWidth() const { return viewport()->width(); }

  void SetImages(TImageList *images) { FImages = images; }
  TImageList *Images() const { return FImages; }
  void SetPopupMenu(QMenu *menu) { FPopup = menu; }
  QMenu *PopupMenu() const { return FPopup; }

  bool FullRowSelect() const;
  void SetFullRowSelect(bool on);
  bool ExtendedFocus() const { return FExtendedFocus; }
  void SetExtendedFocus(bool on);
  bool HeaderVisible() const;
  void SetHeaderVisible(bool on);
  QStringList ColumnTitles() const;
  void SetColumnTitles(const QStringList &titles);
  // Comma-separated widths, as the form definition gives them.
  QString ColumnWidths() const;
  void SetColumnWidths(const QString &widths);

  bool HorzGridLines = false;
  bool VertGridLines = false;
  bool RightClickSelect = false;
  int RightAlignedColumn = -1;
  // The header's auto-resize: this column takes the client width the others leave.
  int AutoSizeColumn = -1;

  // Ghosted rows are drawn grey: what they show is not current.
  void SetGhosted(bool ghosted);
  // A column that shows only a picture that acts ("Öffnen"): a screen reader
  // reads it with the row's first text ("Öffnen: Wiedervorlagen").
  void SetActionColumnName(int column, const QString &name);
  bool Ghosted() const { return FGhosted; }

  // Used by the painting delegate.
  void PaintCell(QPainter *painter, const QRect &cellRect, int node, int column, bool selected);

Q_SIGNALS:
  void OnBeforeCellPaint(TVTStringList *Sender, QPainter *TargetCanvas, int Node, int Column, const QRect &CellRect);
  void OnGetImageIndex(TVTStringList *Sender, int Node, int Kind, int Column, bool &Ghosted, int &ImageIndex);
  void OnGetCursor(TVTStringList *Sender, int &Cursor);
  void OnDblClick(QObject *Sender);
  void OnResize(QObject *Sender);

protected:
  void mouseMoveEvent(QMouseEvent *) override;
  void mousePressEvent(QMouseEvent *) override;
  void mouseDoubleClickEvent(QMouseEvent *) override;
  void keyPressEvent(QKeyEvent *) override;
  void focusInEvent(QFocusEvent *) override;
  void paintEvent(QPaintEvent *) override;
  void contextMenuEvent(QContextMenuEvent *) override;
  void resizeEvent(QResizeEvent *) override;
  bool viewportEvent(QEvent *) override;

private:
  void UpdateCursor();
  void AutoSize();
  TVTStringListModel *FModel;
  TImageList *FImages = nullptr;
  QMenu *FPopup = nullptr;
  bool FExtendedFocus = false;
  int FUpdateCount = 0;
  bool FResetPending = false;
  bool FGhosted = false;
  TFocusCue FFocusCue;
};
