#include "print/PrintLayoutForm.h"
#include "print/PrintLayoutPreview.h"

#include "../chart/FixedTextMeasurer.h"
#include "app/SettingsFile.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace lineara {
namespace {

const QLocale kC(QLocale::C);

TEST(PrintLayout, CalibrationBoxesAreCorrectedWhenLeft) {
    struct Case {
        const char* typed;
        const char* offset;
        const char* scale;
    };
    for (const Case c : {Case{"abc", "0", "1"}, Case{"-3", "-2", "0.5"}, Case{"0.4", "0.4", "0.5"},
                         Case{"", "0", "1"}, Case{"3", "2", "2"}, Case{"1.5x", "1.5x", "1.5x"},
                         Case{"-1", "-1", "0.5"}}) {
        EXPECT_EQ(CorrectedOffsetText(QLatin1String(c.typed), kC), QLatin1String(c.offset))
            << c.typed;
        EXPECT_EQ(CorrectedScaleText(QLatin1String(c.typed), kC), QLatin1String(c.scale))
            << c.typed;
    }
    // The locale's decimal separator counts as well as ".".
    const QLocale german(QLocale::German);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1,5"), german), 1.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1.5"), german), 1.5);
    EXPECT_EQ(CorrectedScaleText(QStringLiteral("0,4"), german), QStringLiteral("0,5"));
}

struct PreviewCase {
    QSizeF paper;
    const char* x_scale;
    QSizeF expected;
};

TEST(PrintLayout, PreviewPageIsShapedByPaperAndScales) {
    test::FixedTextMeasurer measure;
    SettingsRecord settings = RestoreDefaultSettings();
    for (const PreviewCase c :
         {PreviewCase{{8.5, 11}, "1", {3800 * 8.5 / 11, 3800}},
          PreviewCase{{11, 8.5}, "1", {3800, 3800 * 8.5 / 11}},
          PreviewCase{{8.5, 11}, "2", {3800, 3800 * 11 / 17.0}},  // 17 by 11: landscape
          PreviewCase{{5.5, 11}, "2", {3800, 3800}}}) {           // square: portrait
        LayoutWorkingCopy copy = LoadLayoutControls(settings, QString(), true, kC);
        copy.x_scale = QLatin1String(c.x_scale);
        const LayoutPreview preview =
            RefreshPreview(copy, c.paper, {4000, 4000}, 3800, 96, measure, kC);
        EXPECT_NEAR(preview.paper.width(), c.expected.width(), 1e-9)
            << c.paper.width() << " " << c.x_scale;
        EXPECT_NEAR(preview.paper.height(), c.expected.height(), 1e-9);
        EXPECT_NEAR(preview.paper.center().x(), 2000, 1e-9);
        EXPECT_NEAR(preview.paper.center().y(), 2000, 1e-9);
    }
}

TEST(PrintLayout, PreviewBordersLabelsAndChartArea) {
    test::FixedTextMeasurer measure;
    SettingsRecord settings = RestoreDefaultSettings();
    LayoutWorkingCopy copy = LoadLayoutControls(settings, QString(), true, kC);
    EXPECT_EQ(copy.items[kPrintNotes].text, kNoPrintNotes);
    for (const auto& [thickness, pixels] : {std::pair{9, 1}, std::pair{10, 2}, std::pair{100, 11}}) {
        copy.borders[0].thickness = thickness;
        EXPECT_EQ(
            RefreshPreview(copy, {10, 10}, {400, 400}, 400, 96, measure, kC).borders[0].line_width,
            pixels);
    }
    copy.borders[1].thickness = 0;
    copy.borders[0] = {5, 50, 25, 0xff};
    copy.chart_width = 50;
    copy.chart_height = 50;
    copy.chart_horiz = 100;
    copy.chart_vert = 0;
    // Labels at their true size on a preview drawn at real size (10 inches at 40 dpi).
    LayoutWorkingCopy::Item& title = copy.items[kPrintTitle];
    title.text = QStringLiteral("AB\nABCD");
    title.font.point_size = 10;
    const LayoutPreview preview = RefreshPreview(copy, {10, 10}, {400, 400}, 400, 40, measure, kC);
    EXPECT_FALSE(preview.borders[1].visible);
    EXPECT_EQ(preview.borders[0].rect, QRectF(100, 150, 200, 100));
    EXPECT_EQ(preview.chart_area, QRectF(200, 0, 200, 200));
    EXPECT_EQ(preview.labels[kPrintTitle].font.point_size, 10);
    EXPECT_EQ(preview.labels[kPrintTitle].rect.size(), QSizeF(4 * 6, 2 * 12));
    for (const auto& [h, align] : {std::pair{33, Qt::AlignLeft}, std::pair{34, Qt::AlignHCenter},
                                  std::pair{66, Qt::AlignHCenter}, std::pair{67, Qt::AlignRight}}) {
        title.horiz = h;
        title.vert = 100;
        const LayoutPreview::Label label =
            RefreshPreview(copy, {10, 10}, {400, 400}, 400, 40, measure, kC).labels[0];
        EXPECT_EQ(label.align, align) << h;
        EXPECT_NEAR(label.rect.left(), (400 - 24) * h / 100.0, 1e-9);
        EXPECT_NEAR(label.rect.bottom(), 400, 1e-9);
    }
}

TEST(PrintLayout, StoringKeepsEverythingAndLeavesTheNotesTextAlone) {
    SettingsRecord settings = RestoreDefaultSettings();
    settings.PrintItem[kPrintNotes].Text = QStringLiteral("last printed notes");
    LayoutWorkingCopy copy =
        LoadLayoutControls(settings, QStringLiteral("  other notes  "), false, kC);
    EXPECT_EQ(copy.items[kPrintNotes].text, QStringLiteral("other notes"));
    copy.items[kPrintKennelAddress].text = QStringLiteral("1 Dog Lane\nBarkville");
    copy.items[kPrintTitle].text = QString(2000, QLatin1Char('T'));
    copy.items[kPrintFootnote].font.bold = true;
    copy.x_scale = QStringLiteral("1.25");
    copy.y_offset = QStringLiteral("-0.5");
    StoreLayoutControls(copy, settings, kC);
    EXPECT_EQ(settings.PrintItem[kPrintKennelAddress].Text,
              QStringLiteral("1 Dog Lane\r\nBarkville"));
    EXPECT_EQ(settings.PrintItem[kPrintTitle].Text.size(), 1024);
    EXPECT_EQ(settings.PrintItem[kPrintNotes].Text, QStringLiteral("last printed notes"));
    EXPECT_EQ(settings.PrintItem[kPrintFootnote].FontBold, -1);
    EXPECT_EQ(settings.XScale, 1.25f);
    EXPECT_EQ(settings.YOffset, -0.5f);
    // Loading what was stored gives the same working copy back.
    const LayoutWorkingCopy again =
        LoadLayoutControls(settings, QStringLiteral("other notes"), false, kC);
    EXPECT_EQ(again.items[kPrintKennelAddress].text, copy.items[kPrintKennelAddress].text);
    EXPECT_EQ(again.x_scale, QStringLiteral("1.25"));
}

class PrintLayoutFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_ = RestoreDefaultSettings();
        printer_.setPageLayout(
            QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    }
    std::unique_ptr<PrintLayoutForm> Open() {
        auto form = std::make_unique<PrintLayoutForm>(
            settings_, prompts_, printer_, [this] { ++setups_; }, QStringLiteral("Notes"), false);
        form->show();
        QApplication::processEvents();
        return form;
    }
    template <typename T>
    T* Find(QWidget& form, const char* name) {
        T* widget = form.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    SettingsRecord settings_;
    test::ScriptedPrompts prompts_;
    QPrinter printer_;
    int setups_ = 0;
};

TEST_F(PrintLayoutFormTest, TabsAndControlsAreAsDesigned) {
    auto form = Open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Print Layout"));
    auto* tabs = Find<QTabWidget>(*form, "TabStrip1");
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) {
        captions << tabs->tabText(i);
    }
    EXPECT_EQ(captions, QStringList({"Title", "Kennel", "Address", "Print Notes", "Footnote",
                                     "Lineara", "Border", "Advanced"}));
    for (const char* slider :
         {"LinearaTitleHorizPosSlider", "LinearaTitleVertPosSlider", "KennelNameHorizPosSlider",
          "KennelNameVertPosSlider", "KennelAddressHorizPosSlider", "KennelAddressVertPosSlider",
          "PrintNotesHorizPosSlider", "PrintNotesVertPosSlider", "FootnoteHorizPosSlider",
          "FootnoteVertPosSlider", "LinearaWidthSlider", "LinearaHeightSlider",
          "LinearaHorizPosSlider", "LinearaVertPosSlider", "BorderThicknessSlider0",
          "BorderWidthSlider1"}) {
        Find<QSlider>(*form, slider);
    }
    for (const char* button :
         {"LinearaTitleFontButton", "KennelNameFontButton", "KennelAddressFontButton",
          "DogInfoFontButton", "FootnoteFontButton", "BorderColourButton0", "BorderColourButton1",
          "OKButton", "CancelButton", "PrintSetupButton"}) {
        Find<QPushButton>(*form, button);
    }
    EXPECT_EQ(Find<QCheckBox>(*form, "KennelAddressCheckBox")->text(),
              QStringLiteral("Display Address"));
    EXPECT_EQ(Find<QPlainTextEdit>(*form, "KennelAddressTextBox")->toolTip(),
              QStringLiteral("Note: Use Ctrl-Enter to make a multi-line address"));
    EXPECT_EQ(Find<QSlider>(*form, "BorderThicknessSlider1")->toolTip(),
              QStringLiteral("Set thickness = 0 (to the left) to disable printing this border"));
    EXPECT_EQ(Find<QLineEdit>(*form, "XScaleTextBox")->text(), QStringLiteral("1"));
}

TEST_F(PrintLayoutFormTest, EditsShowAtOnceOkStoresAndCancelDiscards) {
    const SettingsRecord before = settings_;
    {
        auto form = Open();
        const double left = form->Preview().chart_area.left();
        Find<QSlider>(*form, "LinearaHorizPosSlider")->setValue(0);
        EXPECT_NE(form->Preview().chart_area.left(), left);
        EXPECT_EQ(form->Preview().chart_area.left(), form->Preview().paper.left());
        Find<QCheckBox>(*form, "LinearaTitleCheckBox")->setChecked(false);
        EXPECT_FALSE(form->Preview().labels[kPrintTitle].visible);
        prompts_.AnswerFontChoice(
            Prompts::FontChoice{"Liberation Serif", 20, false, true, true, false, 0xff0000});
        Find<QPushButton>(*form, "FootnoteFontButton")->click();
        EXPECT_EQ(form->Preview().labels[kPrintFootnote].colour, 0xff0000);
        prompts_.AnswerColour(0x00ff00);
        Find<QPushButton>(*form, "BorderColourButton1")->click();
        EXPECT_EQ(form->Preview().borders[1].colour, 0x00ff00);
        Find<QPushButton>(*form, "CancelButton")->click();
    }
    EXPECT_EQ(settings_, before);

    auto form = Open();
    auto* address = Find<QPlainTextEdit>(*form, "KennelAddressTextBox");
    address->clear();
    address->setFocus();
    QTest::keyClicks(address, QStringLiteral("1 Dog Lane"));
    QTest::keyClick(address, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(address, QStringLiteral("Barkville"));
    EXPECT_EQ(form->Preview().labels[kPrintKennelAddress].text,
              QStringLiteral("1 Dog Lane\nBarkville"));
    auto* scale = Find<QLineEdit>(*form, "YScaleTextBox");
    scale->setText(QStringLiteral("abc"));
    emit scale->editingFinished();
    EXPECT_EQ(scale->text(), QStringLiteral("1"));
    Find<QSlider>(*form, "BorderThicknessSlider0")->setValue(40);
    prompts_.AnswerFontChoice(
        Prompts::FontChoice{"Liberation Serif", 20, false, true, true, false, 0xff0000});
    Find<QPushButton>(*form, "FootnoteFontButton")->click();
    Find<QPushButton>(*form, "PrintSetupButton")->click();
    EXPECT_EQ(setups_, 1);
    Find<QPushButton>(*form, "OKButton")->click();
    EXPECT_EQ(settings_.PrintItem[kPrintKennelAddress].Text,
              QStringLiteral("1 Dog Lane\r\nBarkville"));
    EXPECT_EQ(settings_.Border[0].Thickness, 40);
    EXPECT_EQ(settings_.PrintItem[kPrintFootnote].FontName, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(settings_.PrintItem[kPrintFootnote].FontStrikethru, -1);
    EXPECT_EQ(settings_.PrintItem[kPrintFootnote].FontSize, 20.0f);
    EXPECT_EQ(settings_.PrintItem[kPrintFootnote].ForeColor, 0xff0000);
    EXPECT_EQ(settings_.PrintItem[kPrintNotes].Text, before.PrintItem[kPrintNotes].Text);
}

}  // namespace
}  // namespace lineara
