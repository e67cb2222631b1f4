#include "components/qvnstdcontrols.h"
#include "components/qvnalign.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QShowEvent>
#include <QTextLayout>
#include <stdexcept>

QString QVNDisplayCaption(const QString &caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption.at(i) == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += caption.at(i);
  }
  return out;
}

QFont QVNExtraLargeFont(const QFont &base) {
  QFont f = base;
  f.setPointSize(14);
  f.setBold(true);
  return f;
}

TQVNStdPanel::TQVNStdPanel(QWidget *parent) : QFrame(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

void TQVNStdPanel::SetCaption(const QString &c) {
  FCaption = c;
  setAccessibleName(QVNDisplayCaption(c).trimmed());
  update();
}
void TQVNStdPanel::SetColor(const QColor &c) {
  FColor = c;
  update();
}
void TQVNStdPanel::SetFontColor(const QColor &c) {
  FFontColor = c;
  update();
}
void TQVNStdPanel::SetExtraLargeFont(bool on) {
  FExtraLarge = on;
  update();
}
void TQVNStdPanel::SetLeftJustify(bool on) {
  FLeftJustify = on;
  update();
}
void TQVNStdPanel::SetBevelOuter(const QString &b) {
  FBevel = b;
  setFrameStyle(b == QLatin1String("bvLowered") ? (QFrame::Panel | QFrame::Sunken)
                : b == QLatin1String("bvRaised") ? (QFrame::Panel | QFrame::Raised)
                                                 : QFrame::NoFrame);
  update();
}

void TQVNStdPanel::paintEvent(QPaintEvent *e) {
  QPainter p(this);
  if (FColor.isValid())
    p.fillRect(rect(), FColor);
  if (!FCaption.isEmpty()) {
    p.setPen(FFontColor);
    p.setFont(FExtraLarge ? QVNExtraLargeFont(font()) : font());
    const QRect r = contentsRect().adjusted(4, 0, -4, 0);
    p.drawText(r, Qt::AlignVCenter | (FLeftJustify ? Qt::AlignLeft : Qt::AlignHCenter), QVNDisplayCaption(FCaption));
  }
  p.end();
  QFrame::paintEvent(e);
}

void TQVNStdPanel::resizeEvent(QResizeEvent *e) {
  QFrame::resizeEvent(e);
  TQVNAlign::Arrange(this);
  Q_EMIT OnResize(this);
}

TQVNStdLabel::TQVNStdLabel(QWidget *parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

void TQVNStdLabel::SetCaption(const QString &c) {
  FCaption = c;
  // A CR LF pair is one line break on screen.
  QString shown = QVNDisplayCaption(c);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  setText(shown);
}

void TQVNStdLabel::paintEvent(QPaintEvent *e) {
  const QRect area = contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin()));
  const QFontMetrics fm(font());
  if (!wordWrap() || text().isEmpty() || heightForWidth(width()) <= height()) {
    if (FElided) {
      FElided = false;
      setToolTip(QString());
    }
    QLabel::paintEvent(e);
    return;
  }
  QPainter p(this);
  if (autoFillBackground())
    p.fillRect(rect(), palette().color(QPalette::Window));
  p.setPen(palette().color(QPalette::WindowText));
  p.setFont(font());
  const int lines = qMax(1, area.height() / fm.lineSpacing());
  QStringList shown;
  int line = 0;
  // Lay the text out line by line within the width; the last line that fits ends in "…".
  const QStringList paragraphs = text().split(QLatin1Char('\n'));
  for (qsizetype para = 0; para < paragraphs.size() && line < lines; ++para) {
    QTextLayout layout(paragraphs.at(para), font());
    layout.beginLayout();
    for (QTextLine tl = layout.createLine(); tl.isValid() && line < lines; tl = layout.createLine(), ++line) {
      tl.setLineWidth(area.width());
      QString piece = paragraphs.at(para).mid(tl.textStart(), tl.textLength());
      if (line == lines - 1)
        piece = fm.elidedText(paragraphs.at(para).mid(tl.textStart()).simplified() + QStringLiteral(" …"),
                              Qt::ElideRight, area.width());
      shown << piece.trimmed();
    }
    layout.endLayout();
  }
  for (qsizetype i = 0; i < shown.size(); ++i)
    p.drawText(QRect(area.left(), area.top() + int(i) * fm.lineSpacing(), area.width(), fm.lineSpacing()),
               Qt::AlignLeft | Qt::AlignVCenter, shown.at(i));
  if (!FElided) {
    FElided = true;
    setToolTip(text());
  }
}

void TQVNStdLabel::SetColor(const QColor &c) {
  QPalette p = palette();
  p.setColor(QPalette::Window, c);
  setPalette(p);
  setAutoFillBackground(true);
}

void TQVNStdLabel::SetFontColor(const QColor &c) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, c);
  setPalette(p);
}

void TQVNStdLabel::SetFontSize(int points) {
  QFont f = font();
  f.setPointSize(points);
  setFont(f);
}

TTabSheet::TTabSheet(QWidget *parent) : QWidget(parent) {}

TQVNStdPageControl *TTabSheet::PageControl() const { return qobject_cast<TQVNStdPageControl *>(parentWidget()); }

void TTabSheet::showEvent(QShowEvent *e) {
  QWidget::showEvent(e);
  if (!e->spontaneous())
    Q_EMIT OnShow(this);
}

void TTabSheet::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  TQVNAlign::Arrange(this);
  Q_EMIT OnResize(this);
}

void TTabSheet::paintEvent(QPaintEvent *) {
  QPainter p(this);
  const TQVNStdPageControl *pc = PageControl();
  p.fillRect(rect(), pc ? pc->Color : palette().window().color());
}

TQVNStdPageControl::TQVNStdPageControl(QWidget *parent) : QStackedWidget(parent) {}

void TQVNStdPageControl::SetActivePage(TTabSheet *sheet) {
  if (!sheet || indexOf(sheet) < 0)
    throw std::invalid_argument("Die Seite gehört nicht zu diesem Seitensteuerelement.");
  setCurrentWidget(sheet);
}

TTabSheet *TQVNStdPageControl::ActivePage() const { return qobject_cast<TTabSheet *>(currentWidget()); }

TImage::TImage(QWidget *parent) : QWidget(parent) {}

void TImage::LoadFromFile(const QString &fileName) {
  const QFileInfo file(fileName);
  if (!file.isFile())
    throw std::runtime_error(QStringLiteral("Bild „%1“ nicht gefunden").arg(fileName).toStdString());
  // First as the suffix says: a bitmap then needs no image plugin at all, where
  // Qt's detection would load every installed plugin to ask it. Only a file whose
  // suffix does not fit its content goes through the full detection.
  QImageReader bySuffix(fileName, file.suffix().toLower().toLatin1());
  bySuffix.setAutoDetectImageFormat(false);
  QImage image = bySuffix.read();
  if (image.isNull()) {
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    image = reader.read();
    if (image.isNull())
      throw std::runtime_error(QStringLiteral("Bild „%1“ kann nicht geladen werden: %2")
                                   .arg(fileName, reader.errorString())
                                   .toStdString());
  }
  FPicture = QPixmap::fromImage(image);
  update();
}

void TImage::paintEvent(QPaintEvent *) {
  if (FPicture.isNull())
    return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (Stretch) {
    p.drawPixmap(rect(), FPicture);
  } else {
    // A picture larger than its control is drawn smaller, with its aspect, rather than cut.
    QSize s = FPicture.size() / FPicture.devicePixelRatio();
    if (s.width() > width() || s.height() > height())
      s = s.scaled(size(), Qt::KeepAspectRatio);
    const QPoint at = Center ? QPoint((width() - s.width()) / 2, (height() - s.height()) / 2) : QPoint(0, 0);
    p.drawPixmap(QRect(at, s), FPicture);
  }
}
