#pragma once
// A list of small pictures of one size, drawn by index.
#include <QIcon>
#include <QList>
#include <QObject>
#include <QStringList>

class QPainter;

class TImageList : public QObject {
  Q_OBJECT
public:
  explicit TImageList(QObject *parent = nullptr) : QObject(parent) {}
  int Width = 16;
  int Height = 16;
  // Adds a picture of the glyph library; returns its index.
  int AddGlyph(const QString &name);
  int Count() const { return int(FIcons.size()); }
  void Draw(QPainter *painter, int x, int y, int index, bool enabled = true) const;

private:
  QList<QIcon> FIcons;
};
