#pragma once

#include "chart/ChartModel.h"
#include "chart/ViewState.h"

#include <QString>

#include <vector>

namespace lineara {

// The text forms of a chart: indented by tabs or by spaces, or an HTML table.
enum class ExportFormat { Tabs = 1, Spaces = 2, Html = 3 };

// One exported row: the place shown there and its generation (0 for the root).
struct ExportRow {
    int position = 0;
    int generation = 0;

    bool operator==(const ExportRow&) const = default;
};

// The places in the order the chart shows them from top to bottom: for two generations
// 4, 2, 5, 1, 6, 3, 7.
std::vector<ExportRow> ExportRowTable(int generations);

// The export text, CR LF after every line. Captions and champion flags are indexed by place
// (element 0 unused) and must cover places 1..2^(generations+1)-1.
QString ChartExportText(const std::vector<QString>& captions_by_position,
                        const std::vector<bool>& champion_by_position, int generations,
                        ExportFormat format);

// The export text of the chart as it is shown: the view's generations, and each place's
// caption exactly as the chart draws it.
QString ChartExportText(const ChartModel& model, const ViewState& view, ExportFormat format);

// A text export as a saved file holds it: the rows, two empty lines and the signature line
// naming this version of the program.
QString SavedChartText(const QString& export_text);

// Writes an export text to a file in UTF-8, written aside and moved into place: a failure
// leaves no half-written file and an older file as it was. Returns the reason of a failure,
// or an empty text.
QString WriteChartTextFile(const QString& path, const QString& text);

}  // namespace lineara
