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
#include <QTextLayout>
#include <QHash>
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

bool AnyBegins(const QStringList &words, const QString &wanted) {
  return std::any_of(words.begin(), words.end(), [&](const QString &w) { return w.startsWith(wanted); });
}

bool AllBegin(const QStringList &words, const QStringList &wanted) {
  return std::all_of(wanted.begin(), wanted.end(), [&](const QString &w) { return AnyBegins(words, w); });
}

// Every typed word begins a word, the words standing side by side in the typed order.
bool BeginAdjacent(const QStringList &words, const QStringList &wanted) {
  for (qsizetype i = 0; i + wanted.size() <= words.size(); ++i) {
    qsizetype k = 0;
    while (k < wanted.size() && words.at(i + k).startsWith(wanted.at(k)))
      ++k;
    if (k == wanted.size())
      return true;
  }
  return false;
}

// The letters in order; the score counts letters at word starts and letters
// right after the one before, so "dispo auftr" prefers runs over scattered letters.
int LettersInOrder(const TPrepared &p, const QString &wanted) {
  qsizetype at = 0, previous = -2;
  int score = 1;
  const QList<qsizetype> &starts = p.Starts;
  for (QChar c : wanted) {
    at = p.Letters.indexOf(c, at);
    if (at < 0)
      return 0;
    if (at == previous + 1)
      score += 2;
    if (std::binary_search(starts.begin(), starts.end(), at))
      score += 3;
    previous = at;
    ++at;
  }
  return score;
}

// A typed word of five or more letters within one slip of the start of a word.
bool NearlyBegins(const QStringList &words, const QString &wanted) {
  if (wanted.size() < 5)
    return false;
  for (const QString &w : words) {
    if (w.isEmpty() || w.at(0) != wanted.at(0) || w.size() < wanted.size() - 1)
      continue;
    for (qsizetype n = wanted.size() - 1; n <= wanted.size() + 1 && n <= w.size(); ++n)
      if (WithinOneSlip(wanted, QStringView(w).left(n)))
        return true;
  }
  return false;
}

// The best grade of typed words against one list of words (a title's or a keyword's).
TGrade GradeWords(const QString &title, const QStringList &allWords, const QStringList &wanted,
                  const QString &wantedTitle) {
  if (title == wantedTitle)
    return gExact;
  if (title.startsWith(wantedTitle))
    return gTitleStart;
  if (BeginAdjacent(allWords, wanted))
    return gAdjacent;
  if (AllBegin(allWords, wanted))
    return gWordStarts;
  return gNone;
}
} // namespace

bool WithinOneSlip(QStringView a, QStringView b) {
  if (a.size() > b.size())
    std::swap(a, b);
  if (b.size() - a.size() > 1)
    return false;
  qsizetype i = 0;
  while (i < a.size() && a.at(i) == b.at(i))
    ++i;
  if (i == a.size())
    return true; // equal, or one extra letter at the end
  if (a.size() == b.size()) {
    // one wrong letter, or two neighbours swapped
    if (a.mid(i + 1) == b.mid(i + 1))
      return true;
    return i + 1 < a.size() && a.at(i) == b.at(i + 1) && a.at(i + 1) == b.at(i) && a.mid(i + 2) == b.mid(i + 2);
  }
  return a.mid(i) == b.mid(i + 1); // one letter missing
}

QList<TPrepared> Prepare(const QList<TQVNSuchEintrag> &entries) {
  QList<TPrepared> prepared;
  prepared.reserve(entries.size());
  QHash<QString, int> shown;
  for (const TQVNSuchEintrag &e : entries) {
    TPrepared p;
    const QStringList titleWords = Words(Fold(e.Text));
    p.Title = titleWords.join(QLatin1Char(' '));
    for (const QString &w : titleWords)
      p.Initials += w.at(0);
    p.Words = Words(Fold(e.Kind + QLatin1Char(' ') + e.Text + QLatin1Char(' ') + e.Area + QLatin1Char(' ') + e.Group));
    p.Letters = p.Words.join(QString());
    qsizetype offset = 0;
    for (const QString &w : p.Words) {
      p.Starts << offset;
      offset += w.size();
    }
    for (const QString &k : e.Keywords)
      p.KeywordWords << Words(Fold(k));
    // A line break in a name is a blank here; two rows never read the same.
    QString text = e.Kind + e.Text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text)
      if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
        c = QLatin1Char(' ');
    if (!e.Area.isEmpty())
      text += QStringLiteral(" – ") + e.Area;
    if (!e.Group.isEmpty())
      text += QStringLiteral(" › ") + e.Group;
    if (e.Hidden)
      text += QStringLiteral(" (ausgeblendet)");
    const int twin = ++shown[text];
    if (twin > 1)
      text += QStringLiteral(" (%1)").arg(twin);
    p.Shown = text;
    prepared << p;
  }
  return prepared;
}

QList<THit> Match(const QString &typed, const QList<TQVNSuchEintrag> &entries, const QList<TPrepared> &prepared) {
  const QStringList wanted = Words(Fold(typed));
  if (wanted.isEmpty())
    return {};
  const QString wantedTitle = wanted.join(QLatin1Char(' '));
  const QString wantedLetters = wanted.join(QString());
  QList<THit> hits;
  for (qsizetype i = 0; i < entries.size(); ++i) {
    const TPrepared &p = prepared.at(i);
    THit hit;
    hit.Index = int(i);
    hit.Grade = GradeWords(p.Title, p.Words, wanted, wantedTitle);
    for (qsizetype k = 0; k < p.KeywordWords.size() && hit.Grade > gExact; ++k) {
      const QStringList &kw = p.KeywordWords.at(k);
      // Another name is a hint, not a title: at best as good as its words beginning side by side.
      const TGrade viaKeyword =
          qMax(gAdjacent, GradeWords(kw.join(QLatin1Char(' ')), kw, wanted, wantedTitle));
      if (viaKeyword < hit.Grade) {
        hit.Grade = viaKeyword;
        hit.Keyword = int(k);
      }
    }
    if (hit.Grade == gNone && wanted.size() == 1 && wantedLetters.size() >= 2 && p.Initials.size() >= 2 &&
        p.Initials.startsWith(wantedLetters))
      hit.Grade = gInitials;
    if (hit.Grade == gNone)
      if (const int score = LettersInOrder(p, wantedLetters); score > 0) {
        hit.Grade = gLetters;
        hit.Score = score;
      }
    if (hit.Grade == gNone &&
        std::all_of(wanted.begin(), wanted.end(),
                    [&](const QString &w) { return AnyBegins(p.Words, w) || NearlyBegins(p.Words, w); }))
      hit.Grade = gTypingSlip;
    if (hit.Grade != gNone)
      hits << hit;
  }
  std::stable_sort(hits.begin(), hits.end(), [&](const THit &a, const THit &b) {
    const TQVNSuchEintrag &x = entries.at(a.Index), &y = entries.at(b.Index);
    if (a.Grade != b.Grade)
      return a.Grade < b.Grade;
    if (a.Score != b.Score)
      return a.Score > b.Score;
    if (x.Hidden != y.Hidden)
      return !x.Hidden;
    if (x.Usage != y.Usage)
      return x.Usage > y.Usage;
    return x.Order < y.Order;
  });
  return hits;
}

QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries, const QList<TPrepared> &prepared) {
  QList<int> ranked;
  for (const THit &h : Match(typed, entries, prepared))
    ranked << h.Index;
  return ranked;
}

QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries) {
  return Rank(typed, entries, Prepare(entries));
}

QList<std::pair<int, int>> Highlights(const QString &typed, const QString &shown) {
  // Each shown character with its folded text, so a match in folded letters
  // ("ae") marks the letter shown ("ä").
  struct Letter {
    int At;
    QString Folded;
    bool WordStart;
  };
  QList<Letter> letters;
  bool inWord = false;
  for (int i = 0; i < shown.size(); ++i) {
    const QChar c = shown.at(i);
    if (!c.isLetterOrNumber()) {
      inWord = false;
      continue;
    }
    letters.append({i, Fold(QString(c)), !inWord});
    inWord = true;
  }
  QList<bool> marked(shown.size(), false);
  QString rest;
  for (const QString &w : Words(Fold(typed))) {
    bool found = false;
    for (qsizetype s = 0; s < letters.size() && !found; ++s) {
      if (!letters.at(s).WordStart)
        continue;
      QString run;
      qsizetype e = s;
      while (e < letters.size() && run.size() < w.size() && (e == s || !letters.at(e).WordStart))
        run += letters.at(e++).Folded;
      if (run.startsWith(w)) {
        for (qsizetype k = s; k < e; ++k)
          marked[letters.at(k).At] = true;
        found = true;
      }
    }
    if (!found)
      rest += w;
  }
  // Letters in order for what began no word.
  qsizetype from = 0;
  for (QChar c : rest)
    for (; from < letters.size(); ++from)
      if (letters.at(from).Folded.startsWith(c)) {
        marked[letters.at(from++).At] = true;
        break;
      }
  QList<std::pair<int, int>> ranges;
  for (int i = 0; i < shown.size(); ++i)
    if (marked.at(i)) {
      if (!ranges.isEmpty() && ranges.last().first + ranges.last().second == i)
        ++ranges.last().second;
      else
        ranges.append({i, 1});
    }
  return ranges;
}
} // namespace TQVNSuchFilter

// The rows of the list: entries, and captions between groups (not selectable).
class TQVNSuchModel : public QAbstractListModel {
public:
  struct Row {
    int Entry = -1; // -1: a caption
    QString Caption;
    int Keyword = -1; // the keyword it was found by
  };
  explicit TQVNSuchModel(QObject *parent) : QAbstractListModel(parent) {}
  void SetRows(const QList<Row> &rows, const QList<TQVNSuchEintrag> *entries,
               const QList<TQVNSuchFilter::TPrepared> *prepared, const QString &typed) {
    beginResetModel();
    FRows = rows;
    FEntries = entries;
    FPrepared = prepared;
    FTyped = typed;
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
      QString text = Shown(index.row());
      if (role == Qt::AccessibleTextRole && !Also(index.row()).isEmpty())
        text += QStringLiteral(", ") + Also(index.row());
      if (role == Qt::AccessibleTextRole && !entry.Shortcut.isEmpty())
        text += QStringLiteral(", Taste ") + entry.Shortcut;
      return text;
    }
    if (role == Qt::ToolTipRole && e >= 0)
      return Shown(index.row());
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
  QString Shown(int row) const { return FPrepared->at(Entry(row)).Shown; }
  // The other name it was found by, named in grey after the title ("auch: Lieferschein").
  QString Also(int row) const {
    const int k = row >= 0 && row < FRows.size() ? FRows.at(row).Keyword : -1;
    return k >= 0 ? QStringLiteral("auch: ") + FEntries->at(Entry(row)).Keywords.value(k) : QString();
  }
  QList<std::pair<int, int>> Highlights(int row) const {
    return FRows.at(row).Keyword >= 0 ? QList<std::pair<int, int>>() : TQVNSuchFilter::Highlights(FTyped, Shown(row));
  }

private:
  QList<Row> FRows;
  const QList<TQVNSuchEintrag> *FEntries = nullptr;
  const QList<TQVNSuchFilter::TPrepared> *FPrepared = nullptr;
  QString FTyped;
};

namespace {
// A row: the entry's text and area on the left, the matched letters bold, its
// key on the right and never cut (the title gives way); captions small and grey.
class TSuchDelegate : public QStyledItemDelegate {
public:
  TSuchDelegate(TQVNSuchModel *model, QObject *parent) : QStyledItemDelegate(parent), FModel(model) {}
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override {
    // No width of its own: a row is as wide as the list, which never scrolls sideways.
    return {0, option.fontMetrics.height() + 10};
  }
  void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    const TQVNSuchEintrag *entry = FModel->EntryAt(index.row());
    const QRect r = option.rect.adjusted(8, 0, -8, 0);
    p->save();
    if (!entry) {
      QFont f = option.font;
      f.setBold(true);
      p->setFont(f);
      p->setPen(QColor(0x5A, 0x5A, 0x5A));
      p->drawText(r, Qt::AlignLeft | Qt::AlignBottom, index.data().toString());
      p->restore();
      return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
      p->fillRect(option.rect, QColor(0xFF, 0xE3, 0xB8));
    else if (option.state & QStyle::State_MouseOver)
      p->fillRect(option.rect, QColor(0xF4, 0xF4, 0xF4));
    QFont bold = option.font;
    bold.setBold(true);
    const QFontMetrics fm(option.font), boldFm(bold);
    const int keyWidth = entry->Shortcut.isEmpty() ? 0 : boldFm.horizontalAdvance(entry->Shortcut) + 16;
    const QString also = FModel->Also(index.row());
    const int alsoWidth = also.isEmpty() ? 0 : qMin(fm.horizontalAdvance(also) + 12, (r.width() - keyWidth) / 3);
    const QRect textRect = r.adjusted(0, 0, -keyWidth - alsoWidth, 0);
    // Elided by the bold letters' widths, so highlighting never pushes it past its room.
    const QString full = FModel->Shown(index.row());
    const QString shown = boldFm.elidedText(full, Qt::ElideRight, textRect.width());
    QList<QTextLayout::FormatRange> formats;
    for (const auto &[start, length] : FModel->Highlights(index.row())) {
      const int end = qMin<int>(start + length, shown == full ? int(shown.size()) : int(shown.size()) - 1);
      if (end <= start)
        continue;
      QTextLayout::FormatRange range;
      range.start = start;
      range.length = end - start;
      range.format.setFontWeight(QFont::Bold);
      formats << range;
    }
    QTextLayout layout(shown, option.font);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(textRect.width() + 50);
    layout.endLayout();
    p->setPen(entry->Hidden ? QColor(0x5A, 0x5A, 0x5A) : QColor(0x20, 0x20, 0x20));
    layout.draw(p, QPointF(textRect.left(), textRect.top() + (textRect.height() - line.height()) / 2));
    if (alsoWidth) {
      p->setPen(QColor(0x5A, 0x5A, 0x5A));
      const int x = textRect.left() + qMin(textRect.width(), int(line.naturalTextWidth()) + 12);
      p->drawText(QRect(x, r.top(), r.right() - keyWidth - x, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                  fm.elidedText(also, Qt::ElideRight, r.right() - keyWidth - x));
    }
    if (keyWidth) {
      p->setFont(bold);
      p->setPen(QColor(0x5A, 0x5A, 0x5A));
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
  FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FList->setTextElideMode(Qt::ElideRight);
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
  SetEntries(entries, TQVNSuchFilter::Prepare(entries), recentKeys);
}

void TQVNSuche::SetEntries(const QList<TQVNSuchEintrag> &entries, const QList<TQVNSuchFilter::TPrepared> &prepared,
                           const QStringList &recentKeys) {
  FEntries = entries;
  FPrepared = prepared;
  FRecent = recentKeys;
  if (isVisible())
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
  FLine->blockSignals(true);
  FLine->clear();
  FLine->blockSignals(false);
  Filter();
  show();
  FList->scrollToTop();
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
      rows.append({-1, QStringLiteral("Zuletzt verwendet"), -1});
      for (int i : recent)
        rows.append(TQVNSuchModel::Row{i, {}, -1});
      rows.append({-1, QStringLiteral("Alle Einträge"), -1});
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
      rows.append(TQVNSuchModel::Row{i, {}, -1});
  } else {
    for (const TQVNSuchFilter::THit &hit : TQVNSuchFilter::Match(typed, FEntries, FPrepared))
      rows.append(TQVNSuchModel::Row{hit.Index, {}, hit.Keyword});
    if (rows.isEmpty())
      rows.append({-1, QStringLiteral("Nichts gefunden"), -1});
  }
  FModel->SetRows(rows, &FEntries, &FPrepared, typed);
  // From the top, so a heading over the first row ("Zuletzt verwendet") is in view.
  FList->scrollToTop();
  if (const int first = FModel->FirstEntryRow(); first >= 0)
    FList->setCurrentIndex(FModel->index(first));
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
