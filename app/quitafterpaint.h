#pragma once
// Ends the message loop once a window has been painted, and writes the moment
// of that first paint into WEXO_PAINTED_FILE (start-up measurements).
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

inline void QuitAfterFirstPaint(QWidget *window) {
  class PaintWatch : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *e) override {
      if (e->type() == QEvent::Paint && !FSeen) {
        FSeen = true;
        const QString file = qEnvironmentVariable("WEXO_PAINTED_FILE");
        if (!file.isEmpty()) {
          QFile out(file);
          if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray::number(QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs()));
        }
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
      }
      return false;
    }

  private:
    bool FSeen = false;
  };
  window->installEventFilter(new PaintWatch(window));
}
