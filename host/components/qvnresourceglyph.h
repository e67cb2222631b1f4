#pragma once
// Pictures of the framework's glyph library, looked up by name in the
// program's resources and drawn from vector artwork so they stay crisp at any scale.
#include <QIcon>
#include <QObject>

enum TGlyphType { gtKeiner = 0, gtZurueck, gtPlay, gtLeeren, gtNeuanlage, gtExport, gtSpeichern };
enum TGlyphSizeType { gsKlein = 0, gsMittel = 1, gsGross = 2 };

class TQVNResourceGlyph : public QObject {
  Q_OBJECT
public:
  explicit TQVNResourceGlyph(QObject *parent = nullptr);
  // Glyph type gtKeiner takes the picture of the given name; any other type its own picture.
  void SetGlyph(TGlyphType type, TGlyphSizeType size, const QString &name);
  void SetGlyphName(const QString &name) { SetGlyph(FType, FSize, name); }
  TGlyphType GlyphType() const { return FType; }
  TGlyphSizeType GlyphSize() const { return FSize; }
  QString GlyphName() const { return FName; }
  QString ResourcePath() const;
  QIcon Icon() const;

  static QString PathForName(const QString &name);
  static bool Exists(const QString &name);
  static QIcon IconForName(const QString &name);

Q_SIGNALS:
  void Changed();

private:
  TGlyphType FType = gtKeiner;
  TGlyphSizeType FSize = gsKlein;
  QString FName;
};
