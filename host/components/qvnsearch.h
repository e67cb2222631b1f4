#pragma once
// The search over everything a window can run: a line to type into over a
// list of what matches, ranked by how well it matches, then by how often this
// workstation used it, then by its place in the menus. It knows nothing of
// the window: the window hands it entries that run themselves.
#include <QFrame>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;
class QListView;
class QLabel;
class TQVNSuchModel;

struct TQVNSuchEintrag {
  QString Text;     // what the user reads first ("Artikelnummer bekannt", "Aufgabe: Wiedervorlagen (3)")
  QString Area;     // where it lives ("Wareneingang"), shown after a dash; empty for none
  QString Shortcut; // its key as text ("K", "Strg+Alt+N")
  bool Hidden = false; // hidden by the user: listed after the others, marked "ausgeblendet"
  int Usage = 0;    // times this workstation opened it lately
  int Order = 0;    // its place in the menus
  QString Key;      // what the journal calls it ("operation|arguments"), for usage and the recent list
  std::function<void()> Run;
};

// Matching and ranking, apart from any widget (tests and the benchmark use them).
namespace TQVNSuchFilter {
// Lower case, German spellings folded: ä/ae, ö/oe, ü/ue, ß/ss.
QString Fold(const QString &text);
// The entries matching the typed text, best first. Every typed word must
// begin a word of the entry or its area; failing that, the entry's letters
// must contain the typed letters in order.
QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries);
// What one entry's words are, prepared once for a list of entries.
struct TPrepared {
  QStringList Words;
  QString Letters;
};
QList<TPrepared> Prepare(const QList<TQVNSuchEintrag> &entries);
QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries, const QList<TPrepared> &prepared);
} // namespace TQVNSuchFilter

class TQVNSuche : public QFrame {
  Q_OBJECT
public:
  static constexpr int MaxRecent = 8;
  explicit TQVNSuche(QWidget *parent = nullptr);
  ~TQVNSuche() override;

  // The entries to search, and the keys of the dialogs used last (newest first).
  void SetEntries(const QList<TQVNSuchEintrag> &entries, const QStringList &recentKeys);
  // Shows the popup near the top of the given window, the search line empty.
  void Open(QWidget *over);
  void SetText(const QString &text);
  // Runs the chosen row, or the first when none is chosen; closes the popup first.
  void RunCurrent();

  QLineEdit *Line() const { return FLine; }
  QListView *List() const { return FList; }
  // The rows' texts as listed now.
  QStringList ListedTexts() const;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Filter();
  QLineEdit *FLine;
  QListView *FList;
  QLabel *FHint;
  TQVNSuchModel *FModel;
  QList<TQVNSuchEintrag> FEntries;
  QList<TQVNSuchFilter::TPrepared> FPrepared;
  QStringList FRecent;
};
