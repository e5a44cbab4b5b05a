#pragma once

#include "store/StagedDatabase.h"

#include <QString>

namespace lineara {

// A file length in kB as Database Information shows it: bytes / 1024 to the nearest whole
// number, an exact half going to the even neighbour (1,536 bytes -> 2, 2,560 bytes -> 2).
qint64 SizeInKb(qint64 bytes);

// The Database Information text: lines ended by a carriage return each.
QString DatabaseInfoText(const QString& database_file, qint64 bytes, qint64 records);

// The characters a new database name cannot hold, and the message that says so.
bool IsValidDatabaseName(const QString& name);
QString InvalidFilenameText();

// Where File > Create a New Database puts a database of that name: the folder of the current
// one, the name, ".mdb".
QString NewDatabasePath(const QString& current_database, const QString& name);

// The registered name of the one dog a new database holds.
QString PlaceholderDogName();

// Makes a new database holding only the placeholder dog, under a temporary name, and moves it
// into place when complete. With Replace::Never an existing file is refused (StoreError).
// Throws StoreError naming the file when the folder cannot take it.
void CreatePlaceholderDatabase(const QString& path, StagedDatabase::Replace replace);

}  // namespace lineara
