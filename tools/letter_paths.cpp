// Prints the outline of each letter given as an SVG path, so the glyph files
// carry their letters as shapes: they then look the same on every machine and
// draw without loading a font.
//   wexo_letter_paths FAMILY PIXELSIZE LETTERS
// One line per letter: the letter, a tab, the path. The origin is the middle
// of the letter's advance on its baseline (SVG's text-anchor="middle").
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>
#include <cstdio>

namespace {
QString Number(qreal v) { return QString::number(qRound(v * 100) / 100.0, 'g', 6); }

QString SvgPath(const QPainterPath &path) {
  QString d;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    switch (e.type) {
    case QPainterPath::MoveToElement:
      if (i > 0)
        d += QLatin1Char('Z');
      d += QStringLiteral("M%1 %2").arg(Number(e.x), Number(e.y));
      break;
    case QPainterPath::LineToElement: d += QStringLiteral("L%1 %2").arg(Number(e.x), Number(e.y)); break;
    case QPainterPath::CurveToElement: {
      const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
      d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
               .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
      i += 2;
      break;
    }
    case QPainterPath::CurveToDataElement: break;
    }
  }
  return d + QLatin1Char('Z');
}
} // namespace

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "Aufruf: %s SCHRIFT PIXELGROESSE BUCHSTABEN\n", argv[0]);
    return 2;
  }
  QFont font(QString::fromUtf8(argv[1]));
  font.setPixelSize(QByteArray(argv[2]).toInt());
  font.setBold(true);
  font.setHintingPreference(QFont::PreferNoHinting);
  const QFontMetricsF metrics(font);
  for (const QChar letter : QString::fromUtf8(argv[3])) {
    QPainterPath path;
    path.addText(QPointF(-metrics.horizontalAdvance(letter) / 2, 0), font, QString(letter));
    std::printf("%s\t%s\n", QString(letter).toUtf8().constData(), SvgPath(path).toUtf8().constData());
  }
  return 0;
}
