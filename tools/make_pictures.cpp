// Draws the sample page pictures (bitmaps and JPEGs named as the pages expect
// them) into the folder given on the command line.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <cstdio>

namespace {
struct Theme {
  const char *base;
  QColor top, bottom, accent;
  int motif;
  const char *ext;
};

void Shelf(QPainter &p, QRandomGenerator &rng, QRectF area, QColor accent) {
  p.setPen(Qt::NoPen);
  for (int row = 0; row < 3; ++row) {
    const qreal y = area.top() + row * area.height() / 3;
    p.setBrush(QColor(120, 90, 60));
    p.drawRect(QRectF(area.left(), y + area.height() / 3 - 5, area.width(), 5));
    qreal x = area.left() + 4;
    while (x < area.right() - 14) {
      const qreal w = 10 + rng.bounded(18);
      const qreal h = 14 + rng.bounded(int(area.height() / 3 - 22));
      QColor c = QColor::fromHsv((accent.hue() + rng.bounded(80) - 40 + 360) % 360, 90 + rng.bounded(120), 170 + rng.bounded(80));
      p.setBrush(c);
      p.drawRoundedRect(QRectF(x, y + area.height() / 3 - 5 - h, w, h), 2, 2);
      x += w + 3;
    }
  }
}

void Motif(QPainter &p, int motif, QRectF r, QColor accent) {
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(Qt::white, 3);
  p.setPen(pen);
  p.setBrush(accent);
  const QPointF c = r.center();
  switch (motif) {
  case 0: { // goods receipt: a delivery van with a parcel
    p.drawRoundedRect(QRectF(c.x() - 70, c.y() - 25, 95, 55), 6, 6);
    p.drawRoundedRect(QRectF(c.x() + 25, c.y() - 5, 45, 35), 6, 6);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(c.x() - 45, c.y() + 34), 11, 11);
    p.drawEllipse(QPointF(c.x() + 45, c.y() + 34), 11, 11);
    p.setBrush(QColor(214, 170, 110));
    p.drawRect(QRectF(c.x() - 50, c.y() - 15, 40, 30));
    break;
  }
  case 1: { // ordering: a clipboard with a list
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(c.x() - 40, c.y() - 55, 80, 110), 6, 6);
    p.setPen(QPen(accent, 5));
    for (int i = 0; i < 4; ++i)
      p.drawLine(QPointF(c.x() - 25, c.y() - 30 + i * 22), QPointF(c.x() + 25, c.y() - 30 + i * 22));
    break;
  }
  case 2: { // article information: a price tag and a magnifier
    QPainterPath tag;
    tag.moveTo(c.x() - 60, c.y() - 20);
    tag.lineTo(c.x() - 10, c.y() - 20);
    tag.lineTo(c.x() + 15, c.y() + 5);
    tag.lineTo(c.x() - 10, c.y() + 30);
    tag.lineTo(c.x() - 60, c.y() + 30);
    tag.closeSubpath();
    p.drawPath(tag);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 7));
    p.drawEllipse(QPointF(c.x() + 40, c.y() - 15), 24, 24);
    p.drawLine(QPointF(c.x() + 57, c.y() + 2), QPointF(c.x() + 80, c.y() + 25));
    break;
  }
  case 3: { // branch exchange: two shops and arrows
    for (int s : {-1, 1}) {
      p.drawRect(QRectF(c.x() + s * 55 - 28, c.y() - 15, 56, 45));
      QPainterPath roof;
      roof.moveTo(c.x() + s * 55 - 34, c.y() - 15);
      roof.lineTo(c.x() + s * 55, c.y() - 42);
      roof.lineTo(c.x() + s * 55 + 34, c.y() - 15);
      roof.closeSubpath();
      p.drawPath(roof);
    }
    p.setPen(QPen(Qt::white, 5));
    p.drawLine(QPointF(c.x() - 18, c.y() - 5), QPointF(c.x() + 18, c.y() - 5));
    p.drawLine(QPointF(c.x() + 18, c.y() + 15), QPointF(c.x() - 18, c.y() + 15));
    break;
  }
  case 4: { // settings: a gear
    QPainterPath gear;
    for (int i = 0; i < 10; ++i) {
      QTransform t;
      t.translate(c.x(), c.y());
      t.rotate(i * 36);
      gear.addPolygon(t.map(QPolygonF(QRectF(-8, -52, 16, 20))));
    }
    gear.addEllipse(c, 38, 38);
    p.setPen(Qt::NoPen);
    p.drawPath(gear.simplified());
    p.setBrush(Qt::white);
    p.drawEllipse(c, 14, 14);
    break;
  }
  case 5: { // invoices: a document with a euro sign
    p.setBrush(Qt::white);
    p.drawRect(QRectF(c.x() - 38, c.y() - 55, 76, 110));
    p.setPen(accent);
    QFont f;
    f.setPixelSize(60);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(c.x() - 38, c.y() - 45, 76, 90), Qt::AlignCenter, QString::fromUtf8("€"));
    break;
  }
  case 6: { // templates: stacked sheets
    for (int i = 2; i >= 0; --i) {
      p.setBrush(i == 0 ? QColor(Qt::white) : accent.lighter(130 + i * 10));
      p.drawRect(QRectF(c.x() - 40 + i * 10, c.y() - 50 + i * 8, 70, 90));
    }
    break;
  }
  default: { // statistics: a bar chart
    p.setPen(Qt::NoPen);
    const int heights[] = {40, 70, 55, 95, 80};
    for (int i = 0; i < 5; ++i) {
      p.setBrush(i % 2 ? accent : QColor(Qt::white));
      p.drawRect(QRectF(c.x() - 70 + i * 30, c.y() + 50 - heights[i], 22, heights[i]));
    }
    break;
  }
  }
}

QImage Picture(const Theme &theme, int width, int part) {
  QImage img(width, 197, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient g(0, 0, 0, 197);
  g.setColorAt(0, theme.top);
  g.setColorAt(1, theme.bottom);
  p.fillRect(img.rect(), g);
  QRandomGenerator rng(quint32(theme.motif * 31 + part * 7 + 1));
  if (part == 1) {
    Motif(p, theme.motif, QRectF(0, 0, width, 197), theme.accent);
  } else {
    Shelf(p, rng, QRectF(8, 18, width - 16, 170), theme.accent);
  }
  p.end();
  return img;
}
} // namespace

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "Aufruf: %s ZIELORDNER\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.absolutePath());
  const Theme themes[] = {
      {"WEXO_WE", QColor(70, 120, 170), QColor(150, 190, 220), QColor(240, 138, 0), 0, "BMP"},
      {"WEXO_DI", QColor(60, 130, 110), QColor(160, 210, 190), QColor(40, 100, 160), 1, "BMP"},
      {"WEXO_INFO", QColor(110, 80, 150), QColor(200, 180, 220), QColor(240, 138, 0), 2, "BMP"},
      {"WEXO_FI", QColor(150, 100, 60), QColor(230, 200, 160), QColor(60, 120, 180), 3, "BMP"},
      {"WEXO_OPT", QColor(90, 90, 100), QColor(190, 190, 200), QColor(240, 138, 0), 4, "BMP"},
      {"WEXO_RK", QColor(40, 90, 140), QColor(170, 200, 230), QColor(200, 40, 40), 5, "BMP"},
      {"WEXO_SB", QColor(120, 120, 60), QColor(220, 220, 160), QColor(70, 110, 160), 6, "BMP"},
      {"Stat", QColor(60, 60, 60), QColor(170, 170, 170), QColor(240, 138, 0), 7, "jpg"},
  };
  for (const Theme &t : themes) {
    const QString ext = QString::fromLatin1(t.ext);
    const QString base = QString::fromLatin1(t.base);
    const char *format = ext == QLatin1String("jpg") ? "JPG" : "BMP";
    bool ok = Picture(t, 361, 1).save(out.filePath(base + "." + ext), format, 90);
    ok &= Picture(t, 181, 0).save(out.filePath(base + "_L." + ext), format, 90);
    ok &= Picture(t, 181, 2).save(out.filePath(base + "_R." + ext), format, 90);
    if (!ok) {
      std::fprintf(stderr, "Bild %s kann nicht geschrieben werden\n", t.base);
      return 1;
    }
  }
  return 0;
}
