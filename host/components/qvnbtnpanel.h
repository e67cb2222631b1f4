#pragma once
// The start menu: a vertical panel of large buttons, each with a glyph above
// its caption, one selected and one focused button.
#include "components/hoverbutton.h"
#include <QAction>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "components/qvnresourceglyph.h"

class TTabSheet;
class QScrollBar;
class TQVNBtnPanel;

class TQVNPanelButton : public THoverButton {
  Q_OBJECT
public:
  TQVNPanelButton(TQVNBtnPanel *panel, int index);
  int Index() const { return FIndex; }
  TQVNBtnPanel *Panel() const { return FPanel; }
  // Whether this button's area is the one shown.
  bool IsCurrentArea() const;
  QSize sizeHint() const override;

  // Where the caption is drawn, and the font it is drawn in.
  QRect CaptionRect() const;
  QFont CaptionFont() const;

protected:
  void paintEvent(QPaintEvent *) override;
  void keyPressEvent(QKeyEvent *) override;
  void focusInEvent(QFocusEvent *) override;
  QString CutCaption() const override;

private:
  int GlyphSize() const;
  TQVNBtnPanel *FPanel;
  int FIndex;
};

class TPnlButtonsCollItem : public QObject {
  Q_OBJECT
public:
  TPnlButtonsCollItem(TQVNBtnPanel *panel, int index);
  ~TPnlButtonsCollItem() override;
  void SetBtnName(const QString &name);
  void SetBtnAction(QAction *action);
  void SetLinkedTabSheet(TTabSheet *sheet);
  void SetBtnCaption(const QString &caption);
  TQVNResourceGlyph *GetResourceGlyph() { return &FGlyph; }

  QString BtnName() const { return FName; }
  QAction *BtnAction() const { return FAction; }
  TTabSheet *LinkedTabSheet() const { return FSheet; }
  QString BtnCaption() const { return FCaption; }
  // The button follows its action: hidden and disabled with it.
  bool IsShown() const { return !FAction || FAction->isVisible(); }
  TQVNPanelButton *Button() const { return FButton; }

private:
  TQVNBtnPanel *FPanel;
  QString FName;
  QPointer<QAction> FAction;
  QPointer<TTabSheet> FSheet;
  QString FCaption;
  TQVNResourceGlyph FGlyph;
  TQVNPanelButton *FButton;
};

class TPnlButtonsColl {
public:
  explicit TPnlButtonsColl(TQVNBtnPanel *panel) : FPanel(panel) {}
  void BeginUpdate();
  void EndUpdate();
  void Clear();
  TPnlButtonsCollItem *Add();
  int Count() const { return int(FItems.size()); }
  TPnlButtonsCollItem *Items(int i) const { return FItems.at(size_t(i)).get(); }

private:
  friend class TQVNBtnPanel;
  TQVNBtnPanel *FPanel;
  std::vector<std::unique_ptr<TPnlButtonsCollItem>> FItems;
  int FUpdateCount = 0;
};

class TQVNBtnPanel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int ButtonWidth MEMBER ButtonWidth)
  Q_PROPERTY(int ButtonHeight MEMBER ButtonHeight)
  Q_PROPERTY(int ButtonSpacing MEMBER ButtonSpacing)
  Q_PROPERTY(int BorderWidth MEMBER BorderWidth)
  Q_PROPERTY(QColor Color MEMBER Color)
public:
  explicit TQVNBtnPanel(QWidget *parent = nullptr);
  ~TQVNBtnPanel() override;
  TPnlButtonsColl *Buttons() { return &FButtons; }

  // Marks the button as the selected one and brings its linked page to the front.
  void SetSelected(int index);
  int Selected() const { return FSelected; }
  void SetFocusToButton(int index);
  int FocusedButton() const { return FFocused; }
  // The button of the area on screen: its linked page is the page shown.
  bool IsCurrent(int index) const;
  int Current() const;
  void Relayout();
  void EnsureVisible(int index);

  int ButtonWidth = 101;
  int ButtonHeight = 70;
  int ButtonSpacing = 4;
  int BorderWidth = 4;
  QColor Color = QColor(0x80, 0x80, 0x80);

protected:
  void resizeEvent(QResizeEvent *) override;
  void paintEvent(QPaintEvent *) override;
  void wheelEvent(QWheelEvent *) override;

private:
  friend class TQVNPanelButton;
  friend class TPnlButtonsCollItem;
  friend class TPnlButtonsColl;
  void MoveFocus(int from, int step);
  TPnlButtonsColl FButtons;
  int FSelected = -1;
  int FFocused = -1;
  QScrollBar *FBar;
  bool FLayingOut = false;
};
