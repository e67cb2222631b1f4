#pragma once
// The one exception guard every handler runs its body in: an exception of the
// standard base class is registered under the handler's name and swallowed, so
// the window stays usable; anything else propagates.
#include "framework/qvnframework.h"
#include <exception>

template <class F> bool QVNGuard(const QString &where, F &&body, bool flag = true) {
  try {
    body();
    return true;
  } catch (const std::exception &e) {
    QVNInfo()->RegisterException(where, e, flag);
    return false;
  }
}
