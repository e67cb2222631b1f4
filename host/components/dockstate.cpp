#include "components/dockstate.h"

#include <QDataStream>
#include <QSet>

namespace {
// Markers of the stream (QMainWindowLayout, QDockAreaLayout, QToolBarAreaLayout).
constexpr qint32 kVersionMarker = 0xff;
constexpr quint8 kDockWidgetStateMarker = 0xfd;
constexpr quint8 kSequenceMarker = 0xfc;
constexpr quint8 kTabMarker = 0xfa;
constexpr quint8 kWidgetMarker = 0xfb;
constexpr quint8 kFloatingTabMarker = 0xf9;
constexpr quint8 kToolBarStateMarkerEx = 0xfc;
constexpr quint8 kStateFlagVisible = 1;
constexpr quint8 kStateFlagFloating = 2;
constexpr qint32 kMaxPixels = 32767;
// A maximum is "unbounded" (QWIDGETSIZE_MAX); a group's maximum adds its
// members' and their separators, so it may lie a little above.
constexpr qint32 kMaximumMax = 0x3fffffff;
constexpr int kMaxDepth = 4;
constexpr qint32 kMaxItems = 8;

class TReader {
public:
  TReader(const QByteArray &state, const TDockStateRules &rules) : FStream(state), FRules(rules) {
    FStream.setVersion(QDataStream::Qt_5_0);
    FStream.setByteOrder(QDataStream::BigEndian);
  }

  QString Check() {
    if (Int() != kVersionMarker)
      return Fail(QStringLiteral("Kennung fehlt"));
    if (Int() != FRules.Version)
      return Fail(QStringLiteral("unbekannte Version"));
    if (Byte() != kDockWidgetStateMarker)
      return Fail(QStringLiteral("Bereichskennung fehlt"));
    const qint32 areas = Int();
    if (!Ok() || areas < 0 || areas > 4)
      return Fail(QStringLiteral("Zahl der Andockbereiche ungültig"));
    QSet<qint32> seenAreas;
    for (qint32 i = 0; i < areas && FProblem.isEmpty(); ++i) {
      const qint32 area = Int();
      if (!Ok() || area < 0 || area > 3 || seenAreas.contains(area))
        return Fail(QStringLiteral("Andockbereich ungültig"));
      seenAreas.insert(area);
      Size();
      Info(0);
    }
    if (!FProblem.isEmpty())
      return FProblem;
    Size(); // the central area
    for (int corner = 0; corner < 4; ++corner) {
      const qint32 area = Int();
      if (area != 1 && area != 2 && area != 4 && area != 8)
        return Fail(QStringLiteral("Ecke ungültig"));
    }
    const quint8 next = Byte();
    if (next == kFloatingTabMarker)
      return Fail(QStringLiteral("schwebende Fenstergruppe"));
    if (next != kToolBarStateMarkerEx || Int() != 0)
      return Fail(QStringLiteral("Werkzeugleisten unerwartet"));
    if (!Ok() || !FStream.atEnd())
      return Fail(QStringLiteral("Daten über das Ende hinaus"));
    for (const QString &panel : FRules.Panels)
      if (!FSeen.contains(panel))
        return Fail(QStringLiteral("der Bereich „%1“ fehlt").arg(panel));
    return FProblem;
  }

private:
  bool Ok() const { return FStream.status() == QDataStream::Ok && FProblem.isEmpty(); }
  // The first reason found is the one given.
  QString Fail(const QString &why) {
    if (FProblem.isEmpty())
      FProblem = why;
    return FProblem;
  }
  template <class T> T Next() {
    T v = 0;
    FStream >> v;
    if (FStream.status() != QDataStream::Ok)
      Fail(QStringLiteral("vorzeitig zu Ende"));
    return v;
  }
  qint32 Int() { return Next<qint32>(); }
  quint8 Byte() { return Next<quint8>(); }
  void Extent(qint32 v, qint32 max = kMaxPixels, qint32 min = 0) {
    if (v < min || v > max)
      Fail(QStringLiteral("Größe außerhalb der Grenzen"));
  }
  void Size() {
    Extent(Int());
    Extent(Int());
  }
  // A name: its length is read and checked before any byte of it is taken.
  QString Name() {
    quint32 bytes = 0;
    FStream >> bytes;
    if (FStream.status() != QDataStream::Ok || bytes == 0xffffffffu || bytes % 2 != 0 || bytes > 200) {
      Fail(QStringLiteral("Bereichsname ungültig"));
      return {};
    }
    QByteArray raw(qsizetype(bytes), '\0');
    if (FStream.readRawData(raw.data(), int(bytes)) != int(bytes)) {
      Fail(QStringLiteral("vorzeitig zu Ende"));
      return {};
    }
    QString name(int(bytes / 2), Qt::Uninitialized);
    for (quint32 i = 0; i < bytes / 2; ++i)
      name[i] = QChar(ushort((uchar(raw.at(2 * i)) << 8) | uchar(raw.at(2 * i + 1))));
    return name;
  }
  // Qt writes -1 for a position or size not laid out yet: a panel in a tab
  // group, or a window that was never shown.
  void Item() {
    Extent(Int(), kMaxPixels, -1); // position
    Extent(Int(), kMaxPixels, -1); // size
    Extent(Int()); // minimum
    Extent(Int(), kMaximumMax);
  }
  void Info(int depth) {
    if (depth > kMaxDepth) {
      Fail(QStringLiteral("zu tief verschachtelt"));
      return;
    }
    const quint8 kind = Byte();
    qint32 tab = -1;
    if (kind == kTabMarker)
      tab = Int();
    else if (kind != kSequenceMarker)
      Fail(QStringLiteral("Kennung einer Anordnung fehlt"));
    const quint8 orientation = Byte();
    const qint32 count = Int();
    if (!Ok() || (orientation != 1 && orientation != 2) || count < 0 || count > kMaxItems ||
        (kind == kTabMarker && (tab < -1 || tab >= count))) {
      Fail(QStringLiteral("Anordnung ungültig"));
      return;
    }
    for (qint32 i = 0; i < count && Ok(); ++i) {
      const quint8 marker = Byte();
      if (marker == kWidgetMarker) {
        const QString name = Name();
        const quint8 flags = Byte();
        if (!Ok())
          return;
        if (!FRules.Panels.contains(name) || FSeen.contains(name)) {
          Fail(QStringLiteral("unbekannter oder doppelter Bereich „%1“").arg(name.left(40)));
          return;
        }
        FSeen.insert(name);
        if (flags & kStateFlagFloating) {
          Fail(QStringLiteral("der Bereich „%1“ ist nicht angedockt").arg(name));
          return;
        }
        if (!(flags & kStateFlagVisible) || flags > 3) {
          Fail(QStringLiteral("der Bereich „%1“ ist ausgeblendet").arg(name));
          return;
        }
        Item();
      } else if (marker == kSequenceMarker) {
        Item();
        Info(depth + 1);
      } else {
        Fail(QStringLiteral("unbekannte Kennung"));
      }
    }
  }

  QDataStream FStream;
  const TDockStateRules &FRules;
  QSet<QString> FSeen;
  QString FProblem;
};
} // namespace

QString CheckDockState(const QByteArray &state, const TDockStateRules &rules) {
  if (state.isEmpty())
    return QStringLiteral("leer");
  if (state.size() > rules.MaxBytes)
    return QStringLiteral("zu groß");
  return TReader(state, rules).Check();
}
