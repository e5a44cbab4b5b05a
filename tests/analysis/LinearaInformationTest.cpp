#include "analysis/LinearaInformation.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace lineara {
namespace {

TEST(LinearaInformationTest, AsksFirstThenShowsFiguresOrTheLoopAndOffersItsEntry) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Kennel.mdb"));
    test::CreateDatabase(path);
    RecordStore store(path);
    const qint32 x = test::AddTestDog(store, QStringLiteral("X"));
    const qint32 y = test::AddTestDog(store, QStringLiteral("Y"), true, x, 0);
    const qint32 z = test::AddTestDog(store, QStringLiteral("Z"), false, y, 0);
    qint32 new_root = 0;
    const auto make_root = [&](qint32 dog) { new_root = dog; };

    test::ScriptedPrompts prompts;
    prompts.AnswerMessage(Prompts::Answer::No);
    ShowLinearaInformation(store.Database(), prompts, z, QStringLiteral("Z"), make_root);
    EXPECT_EQ(prompts.MessageTitles(), QStringList{QStringLiteral("Lineara Analysis")});

    prompts.Clear();
    prompts.AnswerMessage(Prompts::Answer::Yes);
    prompts.AnswerMessage(Prompts::Answer::Ok);
    ShowLinearaInformation(store.Database(), prompts, z, QStringLiteral("Ch. Z"), make_root);
    ASSERT_EQ(prompts.MessageTitles(), (QStringList{QStringLiteral("Lineara Analysis"), QStringLiteral("Lineara Information")}));
    EXPECT_EQ(prompts.LastMessage()->text,
              QStringLiteral("The lineara of Ch. Z contains 3 entries (3 unique) going as far back as 2 generations.  "
                             "It contains complete lineara information for 0 generations."));

    // Now X is entered as the sire of its own sire.
    store.FindFirst(QStringLiteral("DogID=%1").arg(x));
    store.Edit();
    store.SetValue(Field::SireID, y);
    store.Update();
    for (Prompts::Answer last : {Prompts::Answer::No, Prompts::Answer::Yes}) {
        prompts.Clear();
        prompts.AnswerMessage(Prompts::Answer::Yes);
        prompts.AnswerMessage(Prompts::Answer::Ok);
        prompts.AnswerMessage(last);
        ShowLinearaInformation(store.Database(), prompts, z, QStringLiteral("Z"), make_root);
        ASSERT_EQ(prompts.MessageTitles(), (QStringList{QStringLiteral("Lineara Analysis"), QStringLiteral("Possible Recursive Entry"),
                                                        QStringLiteral("Recursive Line")}));
        EXPECT_EQ(prompts.AllShown()[1].icon, Prompts::Icon::Exclamation);
        EXPECT_TRUE(prompts.LastMessage()->text.contains(QStringLiteral("\r\rY <- X <- Y\r\r(Y should probably not be a parent of X")));
        EXPECT_EQ(new_root, last == Prompts::Answer::Yes ? x : 0);
    }
}

}  // namespace
}  // namespace lineara
