#include "storage/openworkpush.h"

#include <QSet>
#include <QStringList>
#include <algorithm>

namespace WexoOpenWorkPush {
namespace {
// The kinds of open work the task list counts.
const QSet<QString> &KnownKinds() {
  static const QSet<QString> kinds = {"WDVO", "BEDA", "DIIM", "SCAN", "EXFE", "INVO", "UNVO", "QUFA", "WAVE"};
  return kinds;
}

bool ToNumber(const QString &text, qint64 low, qint64 high, qint64 &value) {
  bool ok = false;
  value = text.toLongLong(&ok);
  return ok && value >= low && value <= high;
}
} // namespace

TVerdict Apply(TWexoOpenWork &work, const QString &payload, qint64 &highestVersion) {
  const QStringList fields = payload.split(QLatin1Char('|'));
  qint64 client = 0, branch = 0;
  if (fields.size() != 5 || fields[0] != QLatin1String("wexo2") || !ToNumber(fields[1], 0, INT_MAX, client) ||
      !ToNumber(fields[2], 0, INT_MAX, branch))
    return TVerdict::Suspect;
  // Resubmissions (due times count) or totals too long to push.
  if (fields[3] == QLatin1String("W") || fields[3] == QLatin1String("*"))
    return TVerdict::ReadNeeded;
  if (fields[3] != QLatin1String("-"))
    return TVerdict::Suspect;
  const qint64 newest = highestVersion > 0 ? highestVersion + VersionSlack : std::numeric_limits<qint64>::max();
  QList<TWexoOpenWork::Total> pushed;
  for (const QString &total : fields[4].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QStringList parts = total.split(QLatin1Char('/'));
    qint64 subkind = 0, count = 0, version = 0;
    if (parts.size() != 4 || !KnownKinds().contains(parts[0]) || !ToNumber(parts[1], 0, INT_MAX, subkind) ||
        !ToNumber(parts[2], 0, MaxPlausibleCount, count) || !ToNumber(parts[3], 1, newest, version))
      return TVerdict::Suspect;
    pushed.append({TWexoOpenWork::Key{parts[0], int(subkind), int(client), int(branch)}, int(count), version});
  }
  for (const TWexoOpenWork::Total &total : pushed) {
    auto known = std::find_if(work.Totals.begin(), work.Totals.end(),
                              [&](const TWexoOpenWork::Total &t) { return t.Of == total.Of; });
    // A total written before the one known (another writer committed after it read) changes nothing.
    if (known == work.Totals.end())
      work.Totals.append(total);
    else if (known->Version < total.Version)
      *known = total;
    highestVersion = std::max(highestVersion, total.Version);
  }
  return TVerdict::Applied;
}

qint64 HighestVersion(const TWexoOpenWork &work) {
  qint64 highest = 0;
  for (const TWexoOpenWork::Total &t : work.Totals)
    highest = std::max(highest, t.Version);
  return highest;
}

} // namespace WexoOpenWorkPush
