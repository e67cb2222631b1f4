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
  QString Text;     // its title ("Artikelnummer bekannt", "Offene Dispositionen")
  QString Area;     // where it lives ("Wareneingang"), shown after a dash; empty for none
  QString Shortcut; // its key as text ("K", "Strg+Alt+N")
  bool Hidden = false; // hidden by the user: listed after the others, marked "ausgeblendet"
  int Usage = 0;    // times this workstation opened it lately
  int Order = 0;    // its place in the menus
  QString Key;      // what the journal calls it ("operation|arguments"), for usage and the recent list
  std::function<void()> Run;
  QString Kind;     // shown before the title ("Schnelleinstieg: ", "Aufgabe: ", "Bereich ")
  QString Group;    // the menu's sub-heading over it, shown after the area ("› Warenauszeichnung")
  QStringList Keywords; // other names a clerk uses: searched like the title, named only when they matched
};

// Matching and ranking, apart from any widget (tests and the benchmark use them).
namespace TQVNSuchFilter {
// Lower case, German spellings folded: ä/ae, ö/oe, ü/ue, ß/ss.
QString Fold(const QString &text);

// How well an entry matches, best first.
enum TGrade {
  gExact,        // the typed text is the title
  gTitleStart,   // the title starts with it
  gAdjacent,     // every typed word begins a word, adjacent and in order
  gWordStarts,   // every typed word begins a word, in any order
  gInitials,     // the first letters of the title's words ("lod", "eva")
  gLetters,      // the letters in order, adjacent runs and word starts preferred
  gTypingSlip,   // one slip in a word of five or more letters
  gNone
};

// What one entry is made of for matching, prepared once and kept while the entry stays.
struct TPrepared {
  QString Title;          // the title's folded words, one blank between
  QString Initials;
  QStringList Words;      // folded words of kind, title, area and sub-heading, in that order
  QString Letters;        // those words run together
  QList<qsizetype> Starts; // where in Letters each word begins
  QList<QStringList> KeywordWords;
  QString Shown;          // the row's text as shown; twins get a number
};
QList<TPrepared> Prepare(const QList<TQVNSuchEintrag> &entries);

struct THit {
  int Index = -1;
  TGrade Grade = gNone;
  int Score = 0;   // within the letters grade: higher is better
  int Keyword = -1; // the keyword that matched better than the title, or -1
};
// The entries matching the typed text, best first: by grade, then (for
// letters in order) by how the letters fall, then what the user did not hide,
// then use in the last 90 days, then menu order.
QList<THit> Match(const QString &typed, const QList<TQVNSuchEintrag> &entries, const QList<TPrepared> &prepared);
QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries, const QList<TPrepared> &prepared);
QList<int> Rank(const QString &typed, const QList<TQVNSuchEintrag> &entries);
// Where the typed text lies in a shown text: (start, length) ranges to draw highlighted.
QList<std::pair<int, int>> Highlights(const QString &typed, const QString &shown);
// Whether two words differ by at most one slip: a letter wrong, missing, extra, or two swapped.
bool WithinOneSlip(QStringView a, QStringView b);
} // namespace TQVNSuchFilter

class TQVNSuche : public QFrame {
  Q_OBJECT
public:
  static constexpr int MaxRecent = 8;
  explicit TQVNSuche(QWidget *parent = nullptr);
  ~TQVNSuche() override;

  // The entries to search, and the keys of the dialogs used last (newest first).
  void SetEntries(const QList<TQVNSuchEintrag> &entries, const QStringList &recentKeys);
  // The same with the entries prepared already (kept by the caller while they stay).
  void SetEntries(const QList<TQVNSuchEintrag> &entries, const QList<TQVNSuchFilter::TPrepared> &prepared,
                  const QStringList &recentKeys);
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
