#include "store/LayoutUpgrade.h"

#include "store/DogSchema.h"

#include <sqlite3.h>

#include <algorithm>

namespace lineara {

namespace {

LayoutUpgradePolicy* g_policy = nullptr;

// Dogs indexed per statement while filling the name index: small enough for a lively
// progress bar, large enough that the statements cost nothing next to the indexing.
constexpr qint64 kIndexChunk = 20000;

void FillNameIndex(sqlite::Connection& connection, Progress& progress, FailAfter& fail) {
    const qint64 low = connection.QueryInteger("SELECT coalesce(min(DogID), 0) FROM DogInfo");
    const qint64 high = connection.QueryInteger("SELECT coalesce(max(DogID), -1) FROM DogInfo");
    sqlite::Statement fill(connection,
                           "INSERT INTO DogNameIndex(rowid, RegName) SELECT DogID, RegName FROM DogInfo "
                           "WHERE DogID BETWEEN ?1 AND ?2 AND RegName IS NOT NULL");
    const double span = static_cast<double>(std::max<qint64>(1, high - low + 1));
    for (qint64 from = low; from <= high; from += kIndexChunk) {
        const qint64 to = std::min(high, from + kIndexChunk - 1);
        fill.Reset();
        fill.BindInteger(1, from);
        fill.BindInteger(2, to);
        fill.Step();
        for (qint64 k = from; k <= to; k += 1000) {
            fail.Step();
        }
        progress.SetFraction(static_cast<double>(to - low + 1) / span);
    }
}

}  // namespace

void SetLayoutUpgradePolicy(LayoutUpgradePolicy* policy) { g_policy = policy; }
LayoutUpgradePolicy* CurrentLayoutUpgradePolicy() { return g_policy; }

int LayoutVersionOf(sqlite::Connection& connection) {
    return static_cast<int>(connection.QueryInteger("PRAGMA user_version"));
}

void UpgradeLayout(sqlite::Connection& connection, int from_version, Progress& progress, FailAfter fail) {
    connection.Execute("BEGIN IMMEDIATE");
    try {
        if (from_version < 2) {
            progress.SetText(QStringLiteral("Building the index of registered names ..."));
            progress.SetFraction(0);
            connection.Execute(schema::NameIndexStatements().toUtf8().constData());
            FillNameIndex(connection, progress, fail);
        }
        connection.Execute(QStringLiteral("PRAGMA user_version = %1").arg(schema::kSchemaVersion).toUtf8().constData());
        connection.Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(connection.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace lineara
