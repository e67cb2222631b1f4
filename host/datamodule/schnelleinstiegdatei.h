#pragma once
// The exchange file of quick entries: versioned JSON.
//   {"format": "wexo-schnelleinstiege", "version": 1,
//    "entries": [{"name": "...", "operation": "...", "arguments": "..."}]}
// Imported files are untrusted: anything not exactly of this shape is refused.
#include <QByteArray>
#include <QString>

#include "datamodule/masktyco.h"

inline constexpr qint64 kSchnellEinstiegDateiMaxBytes = 1024 * 1024;
inline constexpr int kSchnellEinstiegDateiMaxEntries = 1000;
inline constexpr int kSchnellEinstiegNameMaxLength = 200;

QByteArray SchnellEinstiegDateiInhalt(const TContexte &entries);
// Parses a file's bytes; on any fault returns false with a German message and leaves entries empty.
bool ParseSchnellEinstiegDatei(const QByteArray &data, TContexte &entries, QString &error);
// Only a regular file is opened: a pipe or a device would never end.
bool ReadSchnellEinstiegDatei(const QString &path, TContexte &entries, QString &error);
// The file name an export suggests for an entry: safe on every file system.
QString SchnellEinstiegDateiName(const QString &name);
// Writes to a temporary file and renames it, so no half-written file remains.
bool WriteSchnellEinstiegDatei(const QString &path, const TContexte &entries, QString &error);
