#include "support/TableSnapshot.h"

#include "store/Sqlite.h"

#include <sqlite3.h>

namespace lineara::test {

namespace {

// A process killed in the middle of a write leaves a hot journal, which only a connection
// that may write can roll back; the rows are then read as any program opening the file sees
// them. A file that cannot be written is read as it stands.
sqlite::Connection OpenForSnapshot(const QString& path) {
    try {
        sqlite::Connection connection(path, SQLITE_OPEN_READWRITE);
        connection.QueryInteger("SELECT count(*) FROM sqlite_master");
        return connection;
    } catch (const sqlite::Error&) {
        return sqlite::Connection(path, SQLITE_OPEN_READONLY);
    }
}

}  // namespace

QStringList SnapshotRows(const QString& path) {
    sqlite::Connection connection = OpenForSnapshot(path);
    QStringList tables;
    {
        sqlite::Statement list(connection,
                               "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        while (list.Step()) {
            tables << list.Text(0);
        }
    }
    QStringList rows;
    for (const QString& table : tables) {
        // Some tables (the name index's own) have no rowid: each table's rows are put in a
        // fixed order by their text instead.
        sqlite::Statement select(connection, QStringLiteral("SELECT * FROM \"%1\"").arg(table));
        QStringList table_rows;
        while (select.Step()) {
            QStringList values{table};
            for (int c = 0; c < select.ColumnCount(); ++c) {
                switch (select.ColumnType(c)) {
                    case SQLITE_NULL:
                        values << QStringLiteral("null");
                        break;
                    case SQLITE_INTEGER:
                        values << QStringLiteral("i:%1").arg(select.Integer(c));
                        break;
                    case SQLITE_FLOAT:
                        values << QStringLiteral("r:") + QString::number(select.Double(c), 'g', 17);
                        break;
                    default:
                        values << QStringLiteral("t:") + select.Text(c);
                        break;
                }
            }
            table_rows << values.join(QLatin1Char('\t'));
        }
        table_rows.sort();
        rows << table_rows;
    }
    return rows;
}

}  // namespace lineara::test
