#include "inbreeding/InbreedingReport.h"
#include "inbreeding/TrialMatingForm.h"

#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace lineara {
namespace {

TEST(TrialMatingForm, ChoosesThePairShowsTheReportAndCopiesTheTable) {
    test::TempWorkDir work;
    const QString path = work.File(QStringLiteral("Kennel.mdb"));
    const QString report = work.File(QString::fromLatin1(kReportFileName));
    test::CreateDatabase(path);
    qint32 brother = 0;
    qint32 sister = 0;
    {
        RecordStore store(path);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Ch Old Sire"));
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Old Dam"), false);
        brother = test::AddTestDog(store, QStringLiteral("Brother"), true, sire, dam);
        sister = test::AddTestDog(store, QStringLiteral("Sister"), false, sire, dam);
    }
    auto database = DogDatabase::Open(path);
    test::ScriptedPrompts prompts;
    QList<bool> asked;
    QStringList shown;
    TrialMatingForm form(
        *database, prompts, brother, report,
        [&](bool male) {
            asked << male;
            return male ? 0 : sister;  // the sire's search is given up
        },
        [&](const QString& report_path) {
            QFile file(report_path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            shown << QString::fromLatin1(file.readAll());
        });
    auto* calculate = form.findChild<QPushButton*>(QStringLiteral("CalculateButton"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Trial Mating"));
    EXPECT_EQ(form.Slider()->value(), 10);
    EXPECT_FALSE(calculate->isEnabled());

    form.findChild<QPushButton*>(QStringLiteral("FindSireButton"))->click();
    form.findChild<QPushButton*>(QStringLiteral("FindDamButton"))->click();
    EXPECT_EQ(asked, (QList<bool>{true, false}));
    EXPECT_FALSE(calculate->isEnabled()) << "no sire chosen yet";
    form.findChild<QPushButton*>(QStringLiteral("RootSireButton"))->click();
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("SireLabel"))->text(),
              QStringLiteral("Brother"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("DamLabel"))->text(),
              QStringLiteral("Sister"));
    ASSERT_TRUE(calculate->isEnabled());

    form.Slider()->setValue(16);
    prompts.AnswerMessage(Prompts::Answer::No);
    form.Calculate();
    EXPECT_EQ(prompts.MessageTitles(), QStringList{QStringLiteral("Warning: Long Calculation")});
    EXPECT_TRUE(shown.isEmpty());

    prompts.Clear();
    form.Slider()->setValue(6);
    calculate->click();
    EXPECT_TRUE(prompts.MessageTitles().isEmpty());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("\\b\\fs36Trial mating\\b0\\par")));
    EXPECT_TRUE(shown[0].contains(QStringLiteral("by Brother out of Sister")));
    EXPECT_TRUE(shown[0].contains(QStringLiteral("Relationship Coefficient = 50.00%")));
    EXPECT_TRUE(database->ReadRow(brother)->Value(Field::IC).isNull()) << "nothing stored";

    QTableWidget* table = form.Table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Ch Old Sire"));
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("12.50%"));
    form.findChild<QPushButton*>(QStringLiteral("CopyButton"))->click();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(
        form.TableText(),
        QStringLiteral("Name of Ancestor\tPercent of Blood\tEarliest Generation\t# in Lineara\t"
                       "Contrib to Inbr Coeff\r\n"
                       "Ch Old Sire\t50.00%\t2:2\t1:1\t12.50%\r\n"
                       "Old Dam\t50.00%\t2:2\t1:1\t12.50%\r\n"));
    if (!copied.isEmpty()) {  // the offscreen platform may have no clipboard
        EXPECT_EQ(copied, form.TableText());
    }
}

}  // namespace
}  // namespace lineara
