#include "print/ChartExport.h"

#include <gtest/gtest.h>

#include <set>

namespace lineara {
namespace {

std::vector<QString> Captions(int count) {
    std::vector<QString> captions(static_cast<std::size_t>(count + 1));
    for (int p = 1; p <= count; ++p) {
        captions[static_cast<std::size_t>(p)] = QStringLiteral("P%1").arg(p);
    }
    return captions;
}

TEST(ChartExport, RowsRunTopToBottomAsOnTheChart) {
    const std::vector<ExportRow> two = ExportRowTable(2);
    const std::vector<ExportRow> expected{{4, 2}, {2, 1}, {5, 2}, {1, 0}, {6, 2}, {3, 1}, {7, 2}};
    EXPECT_EQ(two, expected);

    const std::vector<ExportRow> six = ExportRowTable(6);
    ASSERT_EQ(six.size(), 127u);
    EXPECT_EQ(six[63], (ExportRow{1, 0}));  // the root is row 2^G
    std::set<int> seen;
    for (std::size_t k = 0; k < six.size(); ++k) {
        seen.insert(six[k].position);
        // Every other row belongs to the outermost generation.
        EXPECT_EQ(six[k].generation == 6, k % 2 == 0) << k;
    }
    EXPECT_EQ(seen.size(), 127u);
}

TEST(ChartExport, TextFormsIndentByGeneration) {
    const std::vector<bool> none(8, false);
    EXPECT_EQ(ChartExportText(Captions(7), none, 2, ExportFormat::Tabs),
              QStringLiteral("\t\tP4\r\n\tP2\r\n\t\tP5\r\nP1\r\n\t\tP6\r\n\tP3\r\n\t\tP7\r\n"));
    EXPECT_EQ(ChartExportText(Captions(7), none, 2, ExportFormat::Spaces),
              QStringLiteral("          P4\r\n     P2\r\n          P5\r\nP1\r\n"
                             "          P6\r\n     P3\r\n          P7\r\n"));
    // A saved file ends with two empty lines and the signature.
    EXPECT_EQ(SavedChartText(QStringLiteral("P1\r\n")),
              QStringLiteral("P1\r\n\r\n\r\nGenerated using Lineara v4.0.6\r\n"));
}

TEST(ChartExport, HtmlTableWithChampionsInBoldAndNamesEscaped) {
    std::vector<QString> captions = Captions(7);
    captions[2] = QStringLiteral("Rock & Roll <Am>");
    std::vector<bool> champions(8, false);
    champions[2] = true;
    const QString html = ChartExportText(captions, champions, 2, ExportFormat::Html);
    const QString spacer = QStringLiteral("        <td width=\"10%\">&nbsp;</td>\r\n");
    const auto row = [&](int generation, const QString& cell) {
        return QStringLiteral("    <tr>\r\n") + spacer.repeated(generation) +
               QStringLiteral("        ") + cell + QStringLiteral("\r\n    </tr>\r\n");
    };
    const QString expected =
        QStringLiteral("<table border=\"0\">\r\n") + row(2, QStringLiteral("<td>P4</td>")) +
        row(1,
            QStringLiteral("<td colspan=\"2\"><strong>Rock &amp; Roll &lt;Am&gt;</strong></td>")) +
        row(2, QStringLiteral("<td>P5</td>")) +
        row(0, QStringLiteral("<td colspan=\"3\">P1</td>")) +
        row(2, QStringLiteral("<td>P6</td>")) +
        row(1, QStringLiteral("<td colspan=\"2\">P3</td>")) +
        row(2, QStringLiteral("<td>P7</td>")) + QStringLiteral("</table>\r\n");
    EXPECT_EQ(html, expected);
}

// The rest of the captions' rules are checked through the command line's export.
TEST(ChartExport, CaptionsAsTheChartShowsThemAndOnlyThePlacesShown) {
    ChartModel model;
    model.SetEntry(1, {1, true, QStringLiteral("Ch Rex"), {}, {}});
    model.SetEntry(2, {2, false, QStringLiteral("Hidden"), {}, {}});
    ViewState view;
    view.num_gens.reset();
    view.champ.uppercase = true;
    EXPECT_EQ(ChartExportText(model, view, ExportFormat::Tabs), QStringLiteral("CH REX\r\n"));
}

}  // namespace
}  // namespace lineara
