#include "print/CertificateOutput.h"

#include "app/SettingsFile.h"
#include "chart/ChartLayout.h"
#include "print/ChartExport.h"
#include "sample/KennelTextLoader.h"
#include "store/RecordStore.h"
#include "support/CliProcess.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace lineara {
namespace {

QString PdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(30000));
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    // Words of one caption may be spread by the layout; compare them with single spaces.
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

class CertificateOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        database_ = dir_.File(QStringLiteral("Sample Kennel.mdb"));
        BuildKennelDatabase(QStringLiteral(LINEARA_SOURCE_DIR "/data/sample-kennel.txt"),
                            database_);
    }
    void Fill(int gens) {
        view_.num_gens = gens;
        RecordStore store(database_);
        model_.FillChart(store, settings_.RootDogID, view_);
    }

    test::TempWorkDir dir_;
    QString database_;
    SettingsRecord settings_ = RestoreDefaultSettings();
    ViewState view_ = ViewStateFromSettings(settings_);
    ChartModel model_;
};

TEST_F(CertificateOutputTest, PdfCarriesEveryCaptionAsText) {
    Fill(4);
    const QString pdf = dir_.File(QStringLiteral("out.pdf"));
    ASSERT_EQ(WriteCertificatePdf(pdf, DefaultCertificatePage(), model_, view_, settings_),
              QString());
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Certificate of Lineara"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Kennel Name goes here")));
    for (int p = 1; p <= PositionCount(4); ++p) {
        const QString caption = ChartCaption(model_.At(p), view_).simplified();
        EXPECT_TRUE(text.contains(caption)) << p << " " << caption.toStdString();
    }
}

TEST_F(CertificateOutputTest, AFailedPdfLeavesNoFileAndTheOldOneWhole) {
    Fill(2);
    const QString missing = dir_.File(QStringLiteral("no such folder/out.pdf"));
    EXPECT_NE(WriteCertificatePdf(missing, DefaultCertificatePage(), model_, view_, settings_),
              QString());
    EXPECT_FALSE(QFile::exists(missing));
    // A folder in the place of the file.
    QDir(dir_.Path()).mkdir(QStringLiteral("taken.pdf"));
    EXPECT_NE(WriteCertificatePdf(dir_.File(QStringLiteral("taken.pdf")), DefaultCertificatePage(),
                                  model_, view_, settings_),
              QString());
}

TEST_F(CertificateOutputTest, ImageShowsTheBorderInItsColourWhereItBelongs) {
    Fill(2);
    settings_.Border[0] = {60, 80, 80, 0x0000ff};  // red, a tenth of an inch
    settings_.Border[1].Thickness = 0;
    const int dpi = 100;
    const QImage image =
        RenderCertificateImage(DefaultCertificatePage(), dpi, model_, view_, settings_);
    ASSERT_EQ(image.size(), QSize(800, 1050));  // 8 by 10.5 inches inside the margins
    // The left edge stands 10 % of the width in: x = 80, halfway down.
    EXPECT_EQ(image.pixelColor(80, 525), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(70, 525), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(720, 525), QColor(Qt::red));
}

TEST_F(CertificateOutputTest, DefaultFileNameComesFromTheRegisteredName) {
    EXPECT_EQ(CertificateFileName(QStringLiteral(" Ch. Rock/Roll: \"Best\"? ")),
              QStringLiteral("Ch. RockRoll Best.pdf"));
    EXPECT_EQ(CertificateFileName(QStringLiteral("..")), QStringLiteral("Certificate.pdf"));
}

TEST_F(CertificateOutputTest, CommandLinePrintAndExportToAFile) {
    const QString pdf = dir_.File(QStringLiteral("cli.pdf"));
    test::CliResult result = test::RunCliProcess(
        {QStringLiteral("print"), database_, QStringLiteral("--pdf"), pdf, QStringLiteral("--page"),
         QStringLiteral("a4"), QStringLiteral("--landscape"), QStringLiteral("--gens"),
         QStringLiteral("3")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    Fill(3);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(ChartCaption(model_.At(1), view_).simplified()));

    // Errors: a message, status 2 and nothing written.
    const QString bad = dir_.File(QStringLiteral("bad.pdf"));
    result = test::RunCliProcess({QStringLiteral("print"), database_, QStringLiteral("--pdf"), bad,
                                  QStringLiteral("--root"), QStringLiteral("999999")});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains(QStringLiteral("no dog with DogID 999999")));
    EXPECT_FALSE(QFile::exists(bad));
    result = test::RunCliProcess({QStringLiteral("print"), database_, QStringLiteral("--pdf"), bad,
                                  QStringLiteral("--margin"), QStringLiteral("5")});
    EXPECT_EQ(result.status, 2);
    EXPECT_FALSE(QFile::exists(bad));

    // export --output writes what File > Save Lineara writes, byte for byte.
    const QString saved = dir_.File(QStringLiteral("chart.txt"));
    result = test::RunCliProcess({QStringLiteral("export"), database_, QStringLiteral("--gens"),
                                  QStringLiteral("3"), QStringLiteral("--format"),
                                  QStringLiteral("spaces"), QStringLiteral("--output"), saved});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(dir_.Read(saved),
              SavedChartText(ChartExportText(model_, view_, ExportFormat::Spaces)).toUtf8());
    const QString html = dir_.File(QStringLiteral("chart.html"));
    result = test::RunCliProcess({QStringLiteral("export"), database_, QStringLiteral("--gens"),
                                  QStringLiteral("3"), QStringLiteral("--format"),
                                  QStringLiteral("html"), QStringLiteral("--output"), html});
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(dir_.Read(html), ChartExportText(model_, view_, ExportFormat::Html).toUtf8());
}

TEST(ChartTextFile, FailuresAreReportedAndLeaveTheOldFileWhole) {
    test::TempWorkDir dir;
    const QString path = dir.File(QStringLiteral("kept.txt"));
    ASSERT_EQ(WriteChartTextFile(path, QStringLiteral("first\r\n")), QString());
    QDir(dir.Path()).mkdir(QStringLiteral("folder.txt"));
    EXPECT_EQ(WriteChartTextFile(dir.File(QStringLiteral("folder.txt")), QStringLiteral("x")),
              QStringLiteral("a folder of that name is in the way"));
    EXPECT_NE(WriteChartTextFile(dir.File(QStringLiteral("none/x.txt")), QStringLiteral("x")),
              QString());
    EXPECT_EQ(dir.Read(path), QByteArray("first\r\n"));
}

}  // namespace
}  // namespace lineara
