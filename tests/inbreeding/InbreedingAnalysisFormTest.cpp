#include "inbreeding/InbreedingAnalysisForm.h"
#include "inbreeding/InbreedingReport.h"

#include "support/FindChild.h"
#include "support/ScriptedPrompts.h"
#include "support/TempWorkDir.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

namespace lineara {
namespace {

class InbreedingAnalysisFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = work_.File(QStringLiteral("Kennel.mdb"));
        report_ = work_.File(QString::fromLatin1(kReportFileName));
        test::CreateDatabase(path_);
        RecordStore store(path_);
        const qint32 sire = test::AddTestDog(store, QStringLiteral("Sire"));
        const qint32 dam = test::AddTestDog(store, QStringLiteral("Dam"), false, sire, 0);
        root_ = test::AddTestDog(store, QStringLiteral("Root"), true, sire, dam);
        database_ = DogDatabase::Open(path_);
    }

    QVariant Ic() { return database_->ReadRow(root_)->Value(Field::IC); }

    test::TempWorkDir work_;
    QString path_;
    QString report_;
    qint32 root_ = 0;
    std::shared_ptr<DogDatabase> database_;
    test::ScriptedPrompts prompts_;
};

TEST_F(InbreedingAnalysisFormTest, SliderLabelAndTheWarningAboveFifteen) {
    InbreedingAnalysisForm form(*database_, root_, prompts_, report_);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Inbreeding and Relationship Analysis"));
    QSlider* slider = form.Slider();
    EXPECT_EQ(slider->minimum(), 5);
    EXPECT_EQ(slider->maximum(), 20);
    EXPECT_EQ(slider->value(), 10);
    auto* label = form.findChild<QLabel*>(QStringLiteral("NumGensLabel"));
    EXPECT_EQ(label->text(), QStringLiteral("10 Generations"));
    slider->setValue(16);
    EXPECT_EQ(label->text(), QStringLiteral("16 Generations"));

    prompts_.AnswerMessage(Prompts::Answer::No);
    form.Calculate();
    ASSERT_EQ(prompts_.MessageTitles(), QStringList{QStringLiteral("Warning: Long Calculation")});
    EXPECT_EQ(prompts_.LastMessage()->text,
              QStringLiteral("With more than 15 generations this calculation may take a VERY long time to complete "
                             "(hours or even days on older computers).  Are you sure you want to continue?"));
    EXPECT_EQ(form.result(), 0) << "No leaves the dialog open";
    EXPECT_TRUE(Ic().isNull());
    EXPECT_FALSE(QFile::exists(report_));

    prompts_.Clear();
    slider->setValue(15);
    form.Calculate();
    EXPECT_TRUE(prompts_.MessageTitles().isEmpty()) << "no warning at 15";
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.ReportWritten());
    EXPECT_EQ(Ic().toDouble(), 0.25);
    QFile file(report_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), RunInbreedingAnalysis(*database_, root_, 15).report);
    EXPECT_TRUE(form.findChild<QLabel*>(QStringLiteral("WorkingLabel"))->isVisibleTo(&form));
    EXPECT_FALSE(slider->isVisibleTo(&form));
}

TEST_F(InbreedingAnalysisFormTest, CancelChangesNothingAndAnUnwritableReportIsReported) {
    {
        InbreedingAnalysisForm form(*database_, root_, prompts_, report_);
        form.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.ReportWritten());
    }
    EXPECT_TRUE(Ic().isNull());
    EXPECT_FALSE(QFile::exists(report_));

    const QString unwritable = work_.File(QStringLiteral("missing-folder/report.rtf"));
    InbreedingAnalysisForm form(*database_, root_, prompts_, unwritable);
    prompts_.AnswerMessage(Prompts::Answer::Ok);
    form.Calculate();
    ASSERT_EQ(prompts_.MessageTitles().size(), 1);
    EXPECT_TRUE(prompts_.LastMessage()->text.contains(unwritable));
    EXPECT_FALSE(form.ReportWritten());
    EXPECT_EQ(Ic().toDouble(), 0.25) << "the coefficient is stored all the same";
}

}  // namespace
}  // namespace lineara
