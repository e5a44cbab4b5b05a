#include "support/CliProcess.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

class AncestryCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        test::CreateDatabase(path_);
        RecordStore store(path_);
        sire_ = test::AddTestDog(store, QStringLiteral("Sire"));
        dam_ = test::AddTestDog(store, QStringLiteral("Dam"), false);
        root_ = test::AddTestDog(store, QStringLiteral("Root"), true, sire_, dam_);
        test::AddTestDog(store, QStringLiteral("Brother"), true, sire_, dam_);
        test::AddTestDog(store, QStringLiteral("Half"), false, sire_, 0);
        x_ = test::AddTestDog(store, QStringLiteral("X"));
        y_ = test::AddTestDog(store, QStringLiteral("Y"), true, x_, 0);
        store.FindFirst(QStringLiteral("DogID=%1").arg(x_));
        store.Edit();
        store.SetValue(Field::SireID, y_);
        store.Update();
    }

    test::CliResult Run(const char* command, qint32 dog) {
        return test::RunCliProcess({QString::fromLatin1(command), path_, QStringLiteral("--dog"), QString::number(dog)});
    }

    test::TempWorkDir work_;
    QString path_;
    qint32 sire_ = 0, dam_ = 0, root_ = 0, x_ = 0, y_ = 0;
};

TEST_F(AncestryCliTest, PrintsTheMessagesAndListsWithLineFeeds) {
    test::CliResult r = Run("info", root_);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "The lineara of Root contains 3 entries (3 unique) going as far back as 1 generations.  "
                     "It contains complete lineara information for 1 generations.\n");

    r = Run("info", x_);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("The lineara of X was traced back 100 generations before stopping."));
    EXPECT_TRUE(r.out.endsWith("ancestors).\n\nThere is a recursion problem with the lineara of X.  This dog appears "
                               "as it's own ancestor along this line:\n\nX <- Y <- X\n\n(X should probably not be "
                               "a parent of Y - Show this lineara?)\n"))
        << r.out.toStdString();

    r = Run("siblings", root_);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("full\t%1\tBrother\nhalf\t%2\tHalf\n").arg(root_ + 1).arg(root_ + 2).toUtf8());

    r = Run("siblings", y_);  // no dam
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("Siblings can not be determined")));

    r = Run("offspring", dam_);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("%1\tBrother\n%2\tRoot\n").arg(root_ + 1).arg(root_).toUtf8());
}

TEST_F(AncestryCliTest, BadInputGetsAMessageAndStatusTwo) {
    const QString missing = work_.File(QStringLiteral("Missing.mdb"));
    for (const QStringList& args : {QStringList{QStringLiteral("info"), path_},
                                    QStringList{QStringLiteral("offspring"), path_, QStringLiteral("--dog"), QStringLiteral("abc")},
                                    QStringList{QStringLiteral("siblings"), path_, QStringLiteral("--dog"), QStringLiteral("9999")},
                                    QStringList{QStringLiteral("info"), missing, QStringLiteral("--dog"), QStringLiteral("1")},
                                    QStringList{QStringLiteral("info"), path_, QStringLiteral("--dogs=1")}}) {
        const test::CliResult r = test::RunCliProcess(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
    }
}

}  // namespace
}  // namespace lineara
