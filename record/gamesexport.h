// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Every kept game as CSV (scoring/export.h), oldest first, in UTF-8: for the Your Games
// window's Export... and for vantorel --export-csv. The record is only read.

#include <QString>

class QIODevice;

namespace storage {
class Record;
}

namespace record {

// Writes the header and every game's rows to `out`. False, with why in `error`, when the record
// cannot be read or `out` written.
bool exportGames(storage::Record &record, QIODevice &out, QString *error);

// Writes every game of the record at recordPath to the file fileName, or to standard output for
// "-". A regular file is replaced only once wholly written, and never when it is the record.
// Without a record, the header alone is written.
bool exportGames(const QString &recordPath, const QString &fileName, QString *error);

} // namespace record
