#pragma once
// The one exception guard every handler runs its body in: an exception of the
// standard base class is registered under the handler's name, shown to the
// user, and swallowed, so the window stays usable; anything else propagates.
#include "framework/qvnframework.h"
#include "framework/qvnmessage.h"
#include <exception>

template <class F> bool QVNGuard(const QString &where, F &&body, bool flag = true) {
  try {
    body();
    return true;
  } catch (const std::exception &e) {
    QVNInfo()->RegisterException(where, e, flag);
    if (flag)
      QVNMessages()->ReportFailure(where, e);
    return false;
  }
}
