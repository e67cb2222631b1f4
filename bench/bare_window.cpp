// The yardstick for start-up and memory: an empty main window, shown and
// painted. With --text it shows one line of text, so it also starts the font system.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>

namespace {
class PaintWatch : public QObject {
public:
  using QObject::QObject;
  bool eventFilter(QObject *, QEvent *e) override {
    if (e->type() == QEvent::Paint && !FSeen) {
      FSeen = true;
      QFile out(qEnvironmentVariable("WEXO_PAINTED_FILE"));
      if (out.open(QIODevice::WriteOnly))
        out.write(QByteArray::number(QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs()));
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
  }

private:
  bool FSeen = false;
};
} // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(928, 666);
  if (argc > 1 && QByteArray(argv[1]) == "--text")
    window.setCentralWidget(new QLabel(QStringLiteral("Artikelverwaltung"), &window));
  window.installEventFilter(new PaintWatch(&window));
  window.show();
  return app.exec();
}
