#pragma once

#include <QString>
#include <QStringList>

namespace lineara::test {

// Every row of every table of a database file (DogInfo, the count table, SQLite's sequence
// table), each value with its storage type, read through a connection of its own. Two equal
// snapshots mean the file holds exactly the same data; used to prove that a failed or killed
// command changed nothing.
QStringList SnapshotRows(const QString& path);

}  // namespace lineara::test
