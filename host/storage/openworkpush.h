#pragma once
// Totals of open work that the server pushes in notifications: hints with an
// order. Anyone who may connect can send a notification, so a payload is
// taken only when it makes sense, and the rows read stay the truth.
#include <QString>

#include "storage/wexostore.h"

namespace WexoOpenWorkPush {

enum class TVerdict {
  Applied,    // taken in, as far as it was newer than what is known
  ReadNeeded, // says that something changed, not what: read the totals
  Suspect     // of another version, malformed or impossible: read, and say so once
};

// A total above this is no count of open work, however large the chain.
constexpr int MaxPlausibleCount = 1000000;
// Versions come from one sequence that every window hears counting up; one
// far ahead of the highest known was not written by that sequence.
constexpr qint64 VersionSlack = 100000;

// Takes a payload ("wexo2|client|branch|flag|KIND/subkind/count/version …")
// into the totals: per key, a total replaces the one known only when its
// version is higher. highestVersion is the highest version known so far (0:
// none) and grows with what is taken in.
TVerdict Apply(TWexoOpenWork &work, const QString &payload, qint64 &highestVersion);
// The highest version among the totals (0 when none carries one).
qint64 HighestVersion(const TWexoOpenWork &work);

} // namespace WexoOpenWorkPush
