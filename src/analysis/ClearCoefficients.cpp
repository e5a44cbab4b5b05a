#include "analysis/ClearCoefficients.h"

#include "store/DogDatabase.h"
#include "store/Sqlite.h"

#include <vector>

namespace lineara {

namespace {

qint64 CountCoefficients(DogDatabase& database) {
    sqlite::Statement count(database.Connection(),
                            "SELECT COUNT(*) FROM DogInfo WHERE IC IS NOT NULL");
    count.Step();
    const qint64 n = count.Integer(0);
    count.Reset();
    return n;
}

}  // namespace

ClearCoefficientsResult ClearAllInbreedingCoefficients(DogDatabase& database,
                                                       FailAfter fail_after) {
    ClearCoefficientsResult result;
    DogDatabase::Transaction transaction(database);
    result.dogs = database.CountRows();
    // Record by record in DogID order, only where a value is stored.
    std::vector<qint64> holders;
    {
        sqlite::Statement find(database.Connection(),
                               "SELECT DogID FROM DogInfo WHERE IC IS NOT NULL ORDER BY DogID");
        while (find.Step()) {
            holders.push_back(find.Integer(0));
        }
        find.Reset();
    }
    sqlite::Statement clear(database.Connection(), "UPDATE DogInfo SET IC = NULL WHERE DogID = ?1");
    for (const qint64 dog_id : holders) {
        clear.BindInteger(1, dog_id);
        clear.Step();
        clear.Reset();
        ++result.cleared;
        fail_after.Step();
    }
    transaction.Commit();
    return result;
}

bool RunClearAllInbreedingCoefficients(DogDatabase& database, Prompts& prompts,
                                       FailAfter fail_after, void (*working)(bool)) {
    const QString caption = QStringLiteral("Clear Inbreeding Coefficients");
    const qint64 dogs = database.CountRows();
    if (dogs == 0) {
        prompts.Message(
            caption,
            QStringLiteral("There are no dogs in this database, so there are no inbreeding "
                           "coefficients to clear."));
        return false;
    }
    if (CountCoefficients(database) == 0) {
        prompts.Message(
            caption,
            QStringLiteral("No dog in this database has an inbreeding coefficient, so there "
                           "is nothing to clear."));
        return false;
    }
    if (prompts.Message(
            caption,
            QStringLiteral("This will clear all inbreeding coefficients from the database.  Do you "
                           "want to continue?"),
            Prompts::Buttons::YesNo) != Prompts::Answer::Yes) {
        return false;
    }
    if (working)
        working(true);
    try {
        ClearAllInbreedingCoefficients(database, fail_after);
    } catch (...) {
        if (working)
            working(false);
        throw;
    }
    if (working)
        working(false);
    prompts.Message(QStringLiteral("Inbreeding Coefficients Cleared"),
                    QStringLiteral("All inbreeding coefficients have been cleared"));
    return true;
}

}  // namespace lineara
