// The yardstick for start-up and memory: an empty main window, shown and
// painted. With --text it shows one line of text, so it also starts the font system.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "quitafterpaint.h"

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(928, 666);
  if (argc > 1 && QByteArray(argv[1]) == "--text")
    window.setCentralWidget(new QLabel(QStringLiteral("Artikelverwaltung"), &window));
  QuitAfterFirstPaint(&window);
  window.show();
  return app.exec();
}
