#pragma once
// The button menu of a work-area page: a column of wide buttons, each showing
// its text on the left and its shortcut on the right, with optional headings.
#include "components/hoverbutton.h"
#include <QAction>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class TButtons;

// Button type 0 is a group heading; every other type is a normal button.
enum TButtonType { btHeading = 0, btNormal = 1 };

class TButtonsBtn : public THoverButton {
  Q_OBJECT
public:
  TButtonsBtn(TButtons *menu, int index);
  void SetAction(QAction *action);
  QAction *Action() const { return FAction; }
  int Index() const { return FIndex; }
  // The entry's key letter as shown at its right ("K"), empty for none.
  QString KeyText() const;
  // Where the caption and the key letter are drawn; they never meet.
  QRect CaptionRect() const;
  QRect KeyRect() const;

protected:
  QString CutCaption() const override;
  void paintEvent(QPaintEvent *) override;
  void keyPressEvent(QKeyEvent *) override;
  void focusInEvent(QFocusEvent *) override;

private:
  TButtons *FMenu;
  int FIndex;
  QPointer<QAction> FAction;
};

class TButtonsCollItem {
public:
  TButtonsCollItem(TButtons *menu, int index);
  ~TButtonsCollItem();
  void SetLeftCaption(const QString &caption);
  void SetRightCaption(const QString &caption);
  void SetVisible(bool visible);
  void SetButtonType(int type);
  QString LeftCaption() const { return FLeft; }
  QString RightCaption() const { return FRight; }
  bool Visible() const { return FVisible; }
  int ButtonType() const { return FType; }
  TButtonsBtn *Button() const { return FButton; }
  int Tag = 0;

private:
  TButtons *FMenu;
  QString FLeft;
  QString FRight;
  bool FVisible = true;
  int FType = btNormal;
  TButtonsBtn *FButton;
};

class TButtonsCollection {
public:
  explicit TButtonsCollection(TButtons *menu) : FMenu(menu) {}
  void BeginUpdate();
  void EndUpdate();
  void Clear();
  TButtonsCollItem *Add();
  int Count() const { return int(FItems.size()); }
  TButtonsCollItem *Items(int i) const { return FItems.at(size_t(i)).get(); }

private:
  friend class TButtons;
  TButtons *FMenu;
  std::vector<std::unique_ptr<TButtonsCollItem>> FItems;
  int FUpdateCount = 0;
};

class QScrollBar;

class TButtons : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int ButtonHeight MEMBER ButtonHeight)
public:
  explicit TButtons(QWidget *parent = nullptr);
  ~TButtons() override;
  TButtonsCollection *Items() { return &FItems; }
  void SetTopItem(int index);
  int TopItem() const { return FTopItem; }
  void Relayout();
  // The least height that shows every visible entry without scrolling.
  int NeededHeight() const;
  void FocusButton(int from, int step);
  // Scrolls the menu so the item's button is wholly in view.
  void EnsureVisible(int index);
  int ButtonHeight = 26;

Q_SIGNALS:
  // Raised for a key pressed on one of the buttons; Key is the key's 16-bit code.
  void OnBtnKeyDown(TButtons *Sender, int ButtonIndex, const QString &ButtonName, quint16 &Key,
                    Qt::KeyboardModifiers Shift);

protected:
  void resizeEvent(QResizeEvent *) override;
  void focusInEvent(QFocusEvent *) override;
  void wheelEvent(QWheelEvent *) override;

private:
  friend class TButtonsCollection;
  QList<TButtonsCollItem *> ShownItems() const;
  static int HeadingGaps(const QList<TButtonsCollItem *> &shown);
  int ReadableHeight() const;
  TButtonsCollection FItems;
  int FTopItem = 0;
  QScrollBar *FBar;
  bool FLayingOut = false;
};

// Moves a scroll bar so a child's rectangle (in the scrolled widget, `height` high) is wholly in view.
void QVNScrollIntoView(QScrollBar *bar, const QRect &r, int height, int margin = 0);

// Extensions of every windowed control.
struct TZDQ_WinControl_ClassHelper {
  // Gives a control the input focus when it can take it; otherwise does nothing.
  static void SetFocus_Secure(QWidget *control, bool secure);
};
