#pragma once

#include <QString>

#include <vector>

namespace lineara::test {

// Makers of database files in the table layouts of earlier versions, so that opening,
// upgrading and refusing them can be tested against every layout change to come.

struct OldDog {
    QString reg_name;  // a null QString is stored as Null
    bool male = false;
    qint32 sire = 0;
    qint32 dam = 0;
};

// Layout 1 (LINEARA 4.0.6 and earlier): the dog table, its indexes and the dog count.
void CreateLayout1Database(const QString& path, const std::vector<OldDog>& dogs);

}  // namespace lineara::test
