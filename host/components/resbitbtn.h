#pragma once
// A button with a picture from the glyph library, above its caption or alone.
#include <QToolButton>

#include "components/focuscue.h"
#include "components/qvnresourceglyph.h"

class TResBitBtn : public QToolButton {
  Q_OBJECT
  Q_PROPERTY(int Tag READ Tag WRITE SetTag)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString GlyphName READ GlyphName WRITE SetGlyphName)
  Q_PROPERTY(QString GlyphTypeName READ GlyphTypeName WRITE SetGlyphTypeName)
  Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
  Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
public:
  explicit TResBitBtn(QWidget *parent = nullptr);
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }
  QString Caption() const { return FCaption; }
  void SetCaption(const QString &caption);
  QString GlyphName() const { return FGlyph.GlyphName(); }
  void SetGlyphName(const QString &name);
  QString GlyphTypeName() const;
  void SetGlyphTypeName(const QString &typeName);
  bool Flat() const { return autoRaise(); }
  void SetFlat(bool flat) { setAutoRaise(flat); }
  QColor FontColor() const { return palette().color(QPalette::ButtonText); }
  void SetFontColor(const QColor &c);
  TQVNResourceGlyph *GetResourceGlyph() { return &FGlyph; }

Q_SIGNALS:
  // A context request (right click or menu key); a handler that sets Handled
  // keeps any context menu from opening.
  void OnContextPopup(QObject *Sender, const QPoint &MousePos, bool &Handled);

protected:
  void contextMenuEvent(QContextMenuEvent *) override;
  void focusInEvent(QFocusEvent *) override;
  void paintEvent(QPaintEvent *) override;

private:
  void UpdateIcon();
  QColor SeenOn() const;
  int FTag = 0;
  QString FCaption;
  TQVNResourceGlyph FGlyph;
  TFocusCue FFocusCue;
};
