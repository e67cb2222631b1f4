#include "components/qvnsearch.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

namespace TQVNSuchFilter {

QString Fold(const QString &text) {
  QString out;
  out.reserve(text.size() + 8);
  for (QChar c : text.toLower()) {
    switch (c.unicode()) {
    case 0x00E4: out += QLatin1String("ae"); break; // ä
    case 0x00F6: out += QLatin1String("oe"); break; // ö
    case 0x00FC: out += QLatin1String("ue"); break; // ü
    case 0x00DF: out += QLatin1String("ss"); break; // ß
    default: out += c;
    }
  }
  return out;
}

namespace {
QStringList Words(const QString &folded) {
  QStringList words;
  QString word;
  for (QChar c : folded) {
    if (c.isLetterOrNumber()) {
      word += c;
    } else if (!word.isEmpty()) {
      words << word;
      word.clear();
    }
  }
  if (!word.isEmpty())
    words << word;
  return words;
}

bool ContainsInOrder(const QString &letters, const QString &wanted) {
  qsizetype at = 0;
  for (QChar c : wanted) {
    at = letters.indexOf(c, at);
    if (at < 0)
      return false;
    ++at;
  }
  return true;
}
} // namespace

QList<TPrepared> Prepare(const QList<TQVNSuchEintrag> &entries) {
  QList<TPrepared> prepared;
  prepared.reserve(entries.size());
  for (const TQVNSuchEintrag &e : entries) {
    TPrepared p;
    p.Words = Words(Fold(e.Text + QLatin1Char(' ') + e.Area));
    p.Letters = p.Words.join(QString());
    prepared << p;
  }
  return prepared;
}

QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries) {
  return Rank(typed, entries, Prepare(entries));
}

QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries, const QList<TPrepared> &prepared) {
  const QStringList wanted = Words(Fold(typed));
  if (wanted.isEmpty())
    return {};
  const QString wantedLetters = wanted.join(QString());
  struct Hit {
    int Index, Class;
  };
  QList<Hit> hits;
  for (qsizetype i = 0; i < entries.size(); ++i) {
    const TPrepared &p = prepared.at(i);
    // Every typed word begins a word of the entry.
    const bool allBegin = std::all_of(wanted.begin(), wanted.end(), [&](const QString &w) {
      return std::any_of(p.Words.begin(), p.Words.end(), [&](const QString &word) { return word.startsWith(w); });
    });
    if (allBegin)
      hits.append({int(i), 0});
    else if (ContainsInOrder(p.Letters, wantedLetters))
      hits.append({int(i), 1});
  }
  // Better matches first; then what the user hid last; then the most used; then menu order.
  std::stable_sort(hits.begin(), hits.end(), [&](const Hit &a, const Hit &b) {
    const TQVNSuchEintrag &x = entries.at(a.Index), &y = entries.at(b.Index);
    if (a.Class != b.Class)
      return a.Class < b.Class;
    if (x.Hidden != y.Hidden)
      return !x.Hidden;
    if (x.Usage != y.Usage)
      return x.Usage > y.Usage;
    return x.Order < y.Order;
  });
  QList<int> ranked;
  ranked.reserve(hits.size());
  for (const Hit &h : hits)
    ranked << h.Index;
  return ranked;
}
} // namespace TQVNSuchFilter

// The rows of the list: entries, and captions between groups (not selectable).
class TQVNSuchModel : public QAbstractListModel {
public:
  struct Row {
    int Entry = -1; // -1: a caption
    QString Caption;
  };
  explicit TQVNSuchModel(QObject *parent) : QAbstractListModel(parent) {}
  void SetRows(const QList<Row> &rows, const QList<TQVNSuchEintrag> *entries) {
    beginResetModel();
    FRows = rows;
    FEntries = entries;
    endResetModel();
  }
  int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(FRows.size()); }
  Qt::ItemFlags flags(const QModelIndex &index) const override {
    return Entry(index.row()) >= 0 ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled;
  }
  QVariant data(const QModelIndex &index, int role) const override {
    const int e = Entry(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
      if (e < 0)
        return FRows.at(index.row()).Caption;
      const TQVNSuchEintrag &entry = FEntries->at(e);
      QString text = Title(entry);
      if (role == Qt::AccessibleTextRole && !entry.Shortcut.isEmpty())
        text += QStringLiteral(", Taste ") + entry.Shortcut;
      return text;
    }
    return {};
  }
  int Entry(int row) const { return row >= 0 && row < FRows.size() ? FRows.at(row).Entry : -1; }
  // The first row that is an entry, or -1.
  int FirstEntryRow() const {
    for (qsizetype r = 0; r < FRows.size(); ++r)
      if (FRows.at(r).Entry >= 0)
        return int(r);
    return -1;
  }
  const TQVNSuchEintrag *EntryAt(int row) const {
    const int e = Entry(row);
    return e >= 0 ? &FEntries->at(e) : nullptr;
  }
  static QString Title(const TQVNSuchEintrag &e) {
    QString text = e.Text;
    if (!e.Area.isEmpty())
      text += QStringLiteral(" – ") + e.Area;
    if (e.Hidden)
      text += QStringLiteral(" (ausgeblendet)");
    return text;
  }

private:
  QList<Row> FRows;
  const QList<TQVNSuchEintrag> *FEntries = nullptr;
};

namespace {
// A row: the entry's text and area on the left, its key on the right; captions small and grey.
class TSuchDelegate : public QStyledItemDelegate {
public:
  TSuchDelegate(TQVNSuchModel *model, QObject *parent) : QStyledItemDelegate(parent), FModel(model) {}
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override {
    return {option.rect.width(), option.fontMetrics.height() + 10};
  }
  void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    const TQVNSuchEintrag *entry = FModel->EntryAt(index.row());
    const QRect r = option.rect.adjusted(8, 0, -8, 0);
    p->save();
    if (!entry) {
      QFont f = option.font;
      f.setBold(true);
      p->setFont(f);
      p->setPen(QColor(0x70, 0x70, 0x70));
      p->drawText(r, Qt::AlignLeft | Qt::AlignBottom, index.data().toString());
      p->restore();
      return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
      p->fillRect(option.rect, QColor(0xFF, 0xE3, 0xB8));
    else if (option.state & QStyle::State_MouseOver)
      p->fillRect(option.rect, QColor(0xF4, 0xF4, 0xF4));
    const QFontMetrics fm(option.font);
    const int keyWidth = entry->Shortcut.isEmpty() ? 0 : fm.horizontalAdvance(entry->Shortcut) + 16;
    QRect textRect = r.adjusted(0, 0, -keyWidth, 0);
    p->setPen(entry->Hidden ? QColor(0x80, 0x80, 0x80) : QColor(0x20, 0x20, 0x20));
    p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                fm.elidedText(TQVNSuchModel::Title(*entry), Qt::ElideRight, textRect.width()));
    if (keyWidth) {
      QFont f = option.font;
      f.setBold(true);
      p->setFont(f);
      p->setPen(QColor(0x80, 0x80, 0x80));
      p->drawText(r, Qt::AlignRight | Qt::AlignVCenter, entry->Shortcut);
    }
    p->restore();
  }

private:
  TQVNSuchModel *FModel;
};
} // namespace

TQVNSuche::TQVNSuche(QWidget *parent) : QFrame(parent, Qt::Popup) {
  setFrameShape(QFrame::StyledPanel);
  setAccessibleName(QStringLiteral("Suchen"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  FLine = new QLineEdit(this);
  FLine->setPlaceholderText(QStringLiteral("Dialog, Bereich, Aufgabe oder Schnelleinstieg suchen …"));
  FLine->setAccessibleName(QStringLiteral("Suchbegriff"));
  FLine->setClearButtonEnabled(true);
  FList = new QListView(this);
  FList->setAccessibleName(QStringLiteral("Suchergebnisse"));
  FList->setFocusPolicy(Qt::NoFocus);
  FList->setUniformItemSizes(true);
  FList->setMouseTracking(true);
  FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FModel = new TQVNSuchModel(this);
  FList->setModel(FModel);
  FList->setItemDelegate(new TSuchDelegate(FModel, FList));
  FHint = new QLabel(QStringLiteral("Pfeiltasten wählen, Eingabe führt aus, Esc schließt."), this);
  FHint->setStyleSheet(QStringLiteral("color: #707070"));
  layout->addWidget(FLine);
  layout->addWidget(FList);
  layout->addWidget(FHint);
  FLine->installEventFilter(this);
  connect(FLine, &QLineEdit::textChanged, this, &TQVNSuche::Filter);
  connect(FList, &QListView::clicked, this, [this](const QModelIndex &index) {
    if (FModel->Entry(index.row()) >= 0) {
      FList->setCurrentIndex(index);
      RunCurrent();
    }
  });
}

TQVNSuche::~TQVNSuche() = default;

void TQVNSuche::SetEntries(const QList<TQVNSuchEintrag> &entries, const QStringList &recentKeys) {
  FEntries = entries;
  FPrepared = TQVNSuchFilter::Prepare(FEntries);
  FRecent = recentKeys;
  Filter();
}

void TQVNSuche::Open(QWidget *over) {
  // About 500 pixels wide, more rows on a taller window; all of it in font units, so it reads at any scale.
  const QFontMetrics fm(font());
  const int width = qMin(qMax(500, fm.horizontalAdvance(QLatin1Char('M')) * 40), qMax(320, over->width() - 40));
  const int rows = qBound(6, (over->height() - 120) / (fm.height() + 10), 14);
  resize(width, FLine->sizeHint().height() + rows * (fm.height() + 10) + FHint->sizeHint().height() + 28);
  const QPoint topLeft = over->mapToGlobal(QPoint((over->width() - this->width()) / 2, qMin(44, over->height() / 10)));
  move(topLeft);
  FLine->clear();
  Filter();
  show();
  raise();
  activateWindow();
  FLine->setFocus(Qt::PopupFocusReason);
}

void TQVNSuche::SetText(const QString &text) { FLine->setText(text); }

void TQVNSuche::Filter() {
  QList<TQVNSuchModel::Row> rows;
  const QString typed = FLine->text();
  if (TQVNSuchFilter::Fold(typed).trimmed().isEmpty()) {
    // Nothing typed: the dialogs used last, then everything in menu order.
    QList<int> recent;
    for (const QString &key : FRecent) {
      for (qsizetype i = 0; i < FEntries.size() && recent.size() < MaxRecent; ++i)
        if (!FEntries.at(i).Key.isEmpty() && FEntries.at(i).Key == key && !recent.contains(int(i))) {
          recent << int(i);
          break;
        }
    }
    if (!recent.isEmpty()) {
      rows.append({-1, QStringLiteral("Zuletzt verwendet")});
      for (int i : recent)
        rows.append(TQVNSuchModel::Row{i, {}});
      rows.append({-1, QStringLiteral("Alle Einträge")});
    }
    QList<int> all;
    for (qsizetype i = 0; i < FEntries.size(); ++i)
      all << int(i);
    std::stable_sort(all.begin(), all.end(), [&](int a, int b) {
      if (FEntries.at(a).Hidden != FEntries.at(b).Hidden)
        return !FEntries.at(a).Hidden;
      return FEntries.at(a).Order < FEntries.at(b).Order;
    });
    for (int i : all)
      rows.append(TQVNSuchModel::Row{i, {}});
  } else {
    for (int i : TQVNSuchFilter::Rank(typed, FEntries, FPrepared))
      rows.append(TQVNSuchModel::Row{i, {}});
    if (rows.isEmpty())
      rows.append({-1, QStringLiteral("Nichts gefunden")});
  }
  FModel->SetRows(rows, &FEntries);
  if (const int first = FModel->FirstEntryRow(); first >= 0) {
    FList->setCurrentIndex(FModel->index(first));
    FList->scrollTo(FList->currentIndex());
  }
}

QStringList TQVNSuche::ListedTexts() const {
  QStringList texts;
  for (int r = 0; r < FModel->rowCount(); ++r)
    texts << FModel->index(r).data().toString();
  return texts;
}

void TQVNSuche::RunCurrent() {
  int row = FList->currentIndex().row();
  if (FModel->Entry(row) < 0)
    row = FModel->FirstEntryRow();
  const TQVNSuchEintrag *entry = FModel->EntryAt(row);
  if (!entry)
    return;
  const std::function<void()> run = entry->Run;
  hide();
  if (run)
    run();
}

bool TQVNSuche::eventFilter(QObject *watched, QEvent *event) {
  if (watched != FLine || event->type() != QEvent::KeyPress)
    return QFrame::eventFilter(watched, event);
  auto *key = static_cast<QKeyEvent *>(event);
  const int visibleRows = qMax(1, FList->viewport()->height() / qMax(1, FList->sizeHintForRow(0)));
  auto move = [&](int step) {
    int row = FList->currentIndex().row();
    const int count = FModel->rowCount();
    int target = row;
    for (int moved = 0, r = row; moved < qAbs(step);) {
      r += step > 0 ? 1 : -1;
      if (r < 0 || r >= count)
        break;
      if (FModel->Entry(r) >= 0) {
        target = r;
        ++moved;
      }
    }
    if (target >= 0 && target != row) {
      FList->setCurrentIndex(FModel->index(target));
      FList->scrollTo(FList->currentIndex());
    }
  };
  switch (key->key()) {
  case Qt::Key_Down: move(1); return true;
  case Qt::Key_Up: move(-1); return true;
  case Qt::Key_PageDown: move(visibleRows); return true;
  case Qt::Key_PageUp: move(-visibleRows); return true;
  case Qt::Key_Return:
  case Qt::Key_Enter: RunCurrent(); return true;
  case Qt::Key_Escape: hide(); return true;
  default: return QFrame::eventFilter(watched, event);
  }
}
