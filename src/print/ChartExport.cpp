#include "print/ChartExport.h"
#include "app/AtomicFile.h"

#include "Version.h"
#include "chart/ChartLayout.h"

#include <QFileInfo>

namespace lineara {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kSpacesPerGeneration = 5;

// Names may hold "&", "<" or ">" ("Rock & Roll <Am>"); written raw they would break the
// table, so they are escaped.
QString HtmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&')) {
            out += QStringLiteral("&amp;");
        } else if (c == QLatin1Char('<')) {
            out += QStringLiteral("&lt;");
        } else if (c == QLatin1Char('>')) {
            out += QStringLiteral("&gt;");
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::vector<ExportRow> ExportRowTable(int generations) {
    const int count = PositionCount(generations);
    const int gens = GenerationOf(count);
    std::vector<ExportRow> rows(static_cast<std::size_t>(count));
    // Row of the r-th place (from the top) of generation g: 2^(G-g) * (2r - 1), counting
    // rows from 1.
    for (int position = 1; position <= count; ++position) {
        const int g = GenerationOf(position);
        const int r = position - (1 << g) + 1;
        const int row = (1 << (gens - g)) * (2 * r - 1);
        rows[static_cast<std::size_t>(row - 1)] = {position, g};
    }
    return rows;
}

QString ChartExportText(const std::vector<QString>& captions_by_position,
                        const std::vector<bool>& champion_by_position, int generations,
                        ExportFormat format) {
    const std::vector<ExportRow> rows = ExportRowTable(generations);
    const int gens = rows.empty() ? 0 : GenerationOf(static_cast<int>(rows.size()));
    const auto caption = [&](int position) {
        const auto index = static_cast<std::size_t>(position);
        return index < captions_by_position.size() ? captions_by_position[index] : QString();
    };
    const auto champion = [&](int position) {
        const auto index = static_cast<std::size_t>(position);
        return index < champion_by_position.size() && champion_by_position[index];
    };

    QString out;
    if (format != ExportFormat::Html) {
        const QString indent = format == ExportFormat::Tabs
                                   ? QStringLiteral("\t")
                                   : QString(kSpacesPerGeneration, QLatin1Char(' '));
        for (const ExportRow& row : rows) {
            out += indent.repeated(row.generation) + caption(row.position) + kLineEnd;
        }
        return out;
    }

    out += QStringLiteral("<table border=\"0\">") + kLineEnd;
    for (const ExportRow& row : rows) {
        out += QStringLiteral("    <tr>") + kLineEnd;
        for (int i = 0; i < row.generation; ++i) {
            out += QStringLiteral("        <td width=\"10%\">&nbsp;</td>") + kLineEnd;
        }
        out += QStringLiteral("        ");
        if (row.generation < gens) {
            out += QStringLiteral("<td colspan=\"%1\">").arg(gens - row.generation + 1);
        } else {
            out += QStringLiteral("<td>");
        }
        const bool strong = champion(row.position);
        if (strong) {
            out += QStringLiteral("<strong>");
        }
        out += HtmlEscaped(caption(row.position));
        if (strong) {
            out += QStringLiteral("</strong>");
        }
        out += QStringLiteral("</td>") + kLineEnd;
        out += QStringLiteral("    </tr>") + kLineEnd;
    }
    out += QStringLiteral("</table>") + kLineEnd;
    return out;
}

QString ChartExportText(const ChartModel& model, const ViewState& view, ExportFormat format) {
    const int count = PositionCount(view.CurrentNumGens());
    std::vector<QString> captions(static_cast<std::size_t>(count + 1));
    std::vector<bool> champions(static_cast<std::size_t>(count + 1), false);
    for (int p = 1; p <= count; ++p) {
        captions[static_cast<std::size_t>(p)] = ChartCaption(model.At(p), view);
        champions[static_cast<std::size_t>(p)] = model.At(p).champion;
    }
    return ChartExportText(captions, champions, view.CurrentNumGens(), format);
}

QString SavedChartText(const QString& export_text) {
    return export_text + kLineEnd + kLineEnd +
           QStringLiteral("Generated using Lineara v%1.%2.%3")
               .arg(kVersionMajor)
               .arg(kVersionMinor)
               .arg(kVersionRevision) +
           kLineEnd;
}

QString WriteChartTextFile(const QString& path, const QString& text) {
    if (QFileInfo(path).isDir()) {
        return QStringLiteral("a folder of that name is in the way");
    }
    return WriteFileAtomically(path, text.toUtf8());
}

}  // namespace lineara
