// Preloaded into a program under test, makes every read of one file slow, as
// a network share is: WEXO_SLOW_FILE names the file (its path ends so),
// WEXO_SLOW_MICROSECONDS the delay per read (200 by default).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

bool IsSlowFile(int fd) {
  const char *wanted = getenv("WEXO_SLOW_FILE");
  if (!wanted || !*wanted)
    return false;
  char link[64], target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, target, sizeof target - 1);
  if (n <= 0)
    return false;
  target[n] = 0;
  const size_t want = strlen(wanted), have = (size_t)n;
  return have >= want && std::strcmp(target + have - want, wanted) == 0;
}

void Delay(int fd) {
  if (!IsSlowFile(fd))
    return;
  const char *us = getenv("WEXO_SLOW_MICROSECONDS");
  usleep(us ? useconds_t(atoi(us)) : 200);
}
} // namespace

extern "C" {

ssize_t pread64(int fd, void *buf, size_t count, off_t offset) {
  static ssize_t (*next)(int, void *, size_t, off_t);
  if (!next)
    next = reinterpret_cast<ssize_t (*)(int, void *, size_t, off_t)>(dlsym(RTLD_NEXT, "pread64"));
  Delay(fd);
  return next(fd, buf, count, offset);
}

ssize_t pread(int fd, void *buf, size_t count, off_t offset) {
  static ssize_t (*next)(int, void *, size_t, off_t);
  if (!next)
    next = reinterpret_cast<ssize_t (*)(int, void *, size_t, off_t)>(dlsym(RTLD_NEXT, "pread"));
  Delay(fd);
  return next(fd, buf, count, offset);
}

ssize_t read(int fd, void *buf, size_t count) {
  static ssize_t (*next)(int, void *, size_t);
  if (!next)
    next = reinterpret_cast<ssize_t (*)(int, void *, size_t)>(dlsym(RTLD_NEXT, "read"));
  Delay(fd);
  return next(fd, buf, count);
}
}
