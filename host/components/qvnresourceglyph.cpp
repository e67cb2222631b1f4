#include "components/qvnresourceglyph.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <stdexcept>

namespace {
// Renders the SVG for every requested size, so icons stay sharp at 200 %.
class TSvgIconEngine : public QIconEngine {
public:
  explicit TSvgIconEngine(const QString &path) : FPath(path) {}
  // Rendered once per size and device pixel ratio; the window repaints after every dialog.
  void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap pm = pixmap((QSizeF(rect.size()) * dpr).toSize(), mode, state);
    pm.setDevicePixelRatio(dpr);
    painter->drawPixmap(rect, pm);
  }
  QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override {
    const QString key = QStringLiteral("wexosvg:%1:%2x%3:%4").arg(FPath).arg(size.width()).arg(size.height()).arg(int(mode));
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
      return cached;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (mode == QIcon::Disabled)
      p.setOpacity(0.4);
    QSvgRenderer(FPath).render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    cached = QPixmap::fromImage(image);
    QPixmapCache::insert(key, cached);
    return cached;
  }
  QIconEngine *clone() const override { return new TSvgIconEngine(FPath); }
  QString key() const override { return QStringLiteral("wexosvg"); }

private:
  QString FPath;
};

QString NameForType(TGlyphType type) {
  switch (type) {
  case gtZurueck: return QStringLiteral("GT_ZURUECK");
  case gtPlay: return QStringLiteral("GT_PLAY");
  case gtLeeren: return QStringLiteral("GT_LEEREN");
  case gtNeuanlage: return QStringLiteral("GT_NEUANLAGE");
  case gtExport: return QStringLiteral("GT_EXPORT");
  case gtSpeichern: return QStringLiteral("GT_SPEICHERN");
  case gtKeiner: break;
  }
  return {};
}
} // namespace

TQVNResourceGlyph::TQVNResourceGlyph(QObject *parent) : QObject(parent) {}

// The glyphs live in a static library; their resources must be registered before the first look-up.
static void InitGlyphResources() { Q_INIT_RESOURCE(glyphs); }

QString TQVNResourceGlyph::PathForName(const QString &name) {
  static const bool initialized = (InitGlyphResources(), true);
  Q_UNUSED(initialized);
  return QStringLiteral(":/glyphs/") + name.toUpper() + QStringLiteral(".svg");
}

bool TQVNResourceGlyph::Exists(const QString &name) { return !name.isEmpty() && QFile::exists(PathForName(name)); }

QIcon TQVNResourceGlyph::IconForName(const QString &name) {
  return Exists(name) ? QIcon(new TSvgIconEngine(PathForName(name))) : QIcon();
}

void TQVNResourceGlyph::SetGlyph(TGlyphType type, TGlyphSizeType size, const QString &name) {
  const QString effective = type == gtKeiner ? name : NameForType(type);
  if (!effective.isEmpty() && !Exists(effective))
    throw std::invalid_argument(QStringLiteral("Das Symbol „%1“ ist nicht vorhanden.").arg(effective).toStdString());
  FType = type;
  FSize = size;
  FName = name;
  Q_EMIT Changed();
}

QString TQVNResourceGlyph::ResourcePath() const {
  const QString effective = FType == gtKeiner ? FName : NameForType(FType);
  return effective.isEmpty() ? QString() : PathForName(effective);
}

QIcon TQVNResourceGlyph::Icon() const {
  const QString path = ResourcePath();
  return path.isEmpty() ? QIcon() : QIcon(new TSvgIconEngine(path));
}
