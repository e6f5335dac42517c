#pragma once

#include <QString>

// Writes the file stored for resourceName in the LanguageColumn of ResourceFiles to destination and
// returns destination, whatever happened. There is no fallback to ENGLISH_US: no row or a NULL
// writes nothing. A stored value, also one of length 0, is written byte for byte; the caller tests
// whether a file is there.
//
// The file is written under a temporary name in the destination's folder and renamed over it once
// it is complete, so the destination is never left short or half-written: a failure (a missing or
// read-only folder, a full disk, a read-only file) leaves an existing file as it was. It is not
// synced to disk: the next call writes it again from the database. A new file gets
// the mode a newly created file gets; a replaced one keeps its mode. A destination that is a
// symbolic link keeps the link, and the file it points to is replaced. Every failure, of the read
// (a column that holds no binary data among them) or of the write, drops the language database and
// is not reported.
QString ExtractResourceFile(const QString& resourceName, const QString& destination);

// The statement ExtractResourceFile reads the stored file with.
QString ResourceFileStatement(const QString& resourceName);
