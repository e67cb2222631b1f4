// Runs every file of the given folders through a fuzz target's own checker,
// as libFuzzer would, without fuzzing: the kept corpus and findings are a
// regression test of every check the target makes.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
// Defined by the targets that build a window once; absent in the others.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv) {
  if (LLVMFuzzerInitialize)
    LLVMFuzzerInitialize(&argc, &argv);
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    const QDir dir(QString::fromLocal8Bit(argv[i]));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    if (names.isEmpty()) {
      std::fprintf(stderr, "Keine Eingaben in %s\n", argv[i]);
      return 2;
    }
    for (const QString &name : names) {
      QFile file(dir.filePath(name));
      if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s ist nicht lesbar\n", qPrintable(file.fileName()));
        return 2;
      }
      const QByteArray bytes = file.readAll();
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
      ++files;
    }
  }
  std::printf("%d Eingaben geprüft\n", files);
  std::fflush(stdout);
  // The window a target built lives until the process ends, as under libFuzzer:
  // it leaves without tearing it down (nor reporting it as a leak).
  if (LLVMFuzzerInitialize)
    std::_Exit(0);
  return 0;
}
