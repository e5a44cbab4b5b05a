#include "inbreeding/InbreedingReport.h"

#include "Version.h"
#include "app/AtomicFile.h"
#include "app/TrimBlanks.h"
#include "store/DogDatabase.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"


#include <charconv>

namespace lineara {

QString PercentText(double fraction) {
    const double value = fraction * 100;
    // Every double has a finite decimal expansion; 1100 places hold any of them exactly, so
    // the third decimal read here is the true one, not one already rounded.
    static thread_local char buffer[1500];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value < 0 ? -value : value,
                                            std::chars_format::fixed, 1100);
    if (error != std::errc()) {
        return QStringLiteral("0.00%");
    }
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t point = text.find('.');
    std::string digits = std::string(text.substr(0, point)) + std::string(text.substr(point + 1, 2));
    if (text[point + 3] >= '5') {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    QString out = QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
    out.insert(out.size() - 2, u'.');
    const bool negative = value < 0 && out != QStringLiteral("0.00");
    return (negative ? QStringLiteral("-") : QString()) + out + u'%';
}

namespace {

// Names are cut and padded in characters, then made plain ASCII for the rich-text file.
QString FixedWidthName(const QString& name, int width) {
    QList<uint> points = name.toUcs4();
    if (points.size() > width) {
        points.resize(width);
    }
    QString out = QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
    return out + QString(width - static_cast<int>(points.size()), u' ');
}

QByteArray RtfEscaped(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u > 127) {
            out += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
        } else {
            out += static_cast<char>(u);
        }
    }
    return out;
}

QByteArray RightAligned(const QString& text, int width) {
    const QString cut = text.size() > width ? text.right(width) : text.rightJustified(width, u' ');
    return cut.toLatin1();
}

QByteArray LeftAligned(const QString& text, int width) {
    const QString cut = text.size() > width ? text.left(width) : text.leftJustified(width, u' ');
    return cut.toLatin1();
}

QByteArray TableRow(const AncestorEntry& e, const QString& name) {
    QByteArray row = "\\fs16";
    row += RtfEscaped(FixedWidthName(name, 40));
    row += RightAligned(PercentText(e.percent_of_blood) + QStringLiteral("   "), 12);
    row += e.sire_side_count == 0 ? QByteArray("    -") : RightAligned(QString::number(e.sire_side_earliest), 5);
    row += ':';
    row += e.dam_side_count == 0 ? QByteArray("-    ") : LeftAligned(QString::number(e.dam_side_earliest), 5);
    row += RightAligned(QString::number(e.sire_side_count), 5);
    row += ':';
    row += LeftAligned(QString::number(e.dam_side_count), 5);
    row += RightAligned(PercentText(e.contribution), 8);
    row += "\\~\\~\\par";
    return row;
}

}  // namespace

QByteArray InbreedingReportText(const ReportNames& names, const InbreedingAnalysis& analysis, int generations,
                                const std::function<QString(qint32)>& name_of) {
    const QByteArray n = QByteArray::number(generations);
    const QByteArray no_information = "[no information]";
    QList<QByteArray> lines;
    lines << "{\\rtf\\ansi\\deff0{\\fonttbl {\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}";
    lines << "\\qc\\b\\ul\\fs36Inbreeding and Relationship Report\\ulnone\\par\\b0";
    lines << "\\fs16(Generated using LINEARA v" + QByteArray::number(kVersionMajor) + '.' +
                 QByteArray::number(kVersionMinor) + '.' + QByteArray::number(kVersionRevision) + ")\\par";
    lines << "\\fs16\\par";
    lines << "\\fs16for\\par";
    lines << "\\b\\fs36" + RtfEscaped(names.root) + "\\b0\\par";
    lines << "\\fs20by " + (names.sire ? RtfEscaped(*names.sire) : no_information) + " out of " +
                 (names.dam ? RtfEscaped(*names.dam) : no_information) + "\\par";
    lines << "\\fs20\\par";
    lines << "\\b\\fs28Inbreeding Coefficient = " + PercentText(analysis.coefficient).toLatin1() + "\\par\\b0";
    lines << "\\fs20\\par";
    lines << "\\fs20This analysis was performed using a maximum of " + n + " generations.\\par";
    if (analysis.deepest_generation == generations) {
        lines << "\\fs20Some lineara information was available to at least " + n + " generations.\\par";
    } else {
        lines << "\\fs20Some lineara information was available to " +
                     QByteArray::number(analysis.deepest_generation) + " generations.\\par";
    }
    if (analysis.complete_generations == generations) {
        lines << "\\fs20Full lineara information was available for at least " + n + " generations.\\par";
    } else {
        lines << "\\fs20Full lineara information was available for " +
                     QByteArray::number(analysis.complete_generations) + " generations.\\par";
    }
    lines << "\\fs20\\par";
    lines << "\\fs20A " + n + " generation lineara contains up to " +
                 QByteArray::number((qint64{1} << (generations + 1)) - 1) + " entries.\\par";
    lines << "\\fs20In this lineara there were " + QByteArray::number(analysis.entries_filled) +
                 " entries filled in.\\par";
    lines << "\\fs20These entries consisted of " +
                 QByteArray::number(static_cast<qint64>(analysis.ancestors.size()) + 1) + " unique names.\\par";
    lines << "\\fs20\\par";
    lines << "\\fs16This table shows relationship information for the most closely related ancestors:\\par";
    lines << "\\fs16\\par\\b";
    lines << "\\fs16Name of Ancestor                          Percent    Earliest     # in    Contrib to \\par";
    lines << "\\ul";
    lines << "\\fs16                                           of Blood  Generation  Lineara  Inbr Coeff\\par";
    lines << "\\b0\\ulnone";
    for (const AncestorEntry& e : OrderForReport(analysis.ancestors, 40)) {
        lines << TableRow(e, name_of(e.dog_id));
    }
    lines << "\\fs16\\par";
    lines << "\\b\\fs16Percent of Blood: \\b0      The fraction of potentially variable genes in "
             "common.\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\par";
    lines << "\\b\\fs16Earliest Generation*: \\b0  The earliest generation in which this name "
             "appears.\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\par";
    lines << "\\b\\fs16# in Lineara*: \\b0        The number of times this name appears in the "
             "lineara.\\~\\~\\~\\~\\~\\~\\~\\~\\~\\par";
    lines << "\\b\\fs16Contrib to Inbr Coeff: \\b0 These values sum to the inbreeding "
             "coefficient.\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\~\\par";
    lines << "\\b\\fs16*\\b0  Values before and after the colon are for the sire's and dam's sides of the "
             "lineara.\\par";
    lines << "}";
    QByteArray out;
    for (const QByteArray& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

InbreedingRun RunInbreedingAnalysis(DogDatabase& database, qint32 dog, int generations) {
    sqlite::Statement parents(database.Connection(), "SELECT SireID, DamID FROM DogInfo WHERE DogID = ?1");
    sqlite::Statement names(database.Connection(), "SELECT RegName FROM DogInfo WHERE DogID = ?1");
    auto parents_of = [&parents](qint32 id) -> std::optional<Parents> {
        parents.Reset();
        parents.BindInteger(1, id);
        if (!parents.Step()) {
            parents.Reset();
            return std::nullopt;
        }
        Parents found;
        found.sire = parents.IsNull(0) ? 0 : static_cast<qint32>(parents.Integer(0));
        found.dam = parents.IsNull(1) ? 0 : static_cast<qint32>(parents.Integer(1));
        parents.Reset();
        return found;
    };
    // A dog's name, blanks trimmed; nullopt when no record has that DogID.
    auto name_of = [&names](qint32 id) -> std::optional<QString> {
        names.Reset();
        names.BindInteger(1, id);
        if (id == 0 || !names.Step()) {
            names.Reset();
            return std::nullopt;
        }
        const QString name = names.IsNull(0) ? QString() : TrimBlanks(names.Text(0));
        names.Reset();
        return name;
    };

    DogDatabase::ReadTransaction read(database);
    const std::optional<Parents> root = parents_of(dog);
    if (!root) {
        database.Fail(QStringLiteral("There is no dog with DogID %1.").arg(dog));
    }
    InbreedingRun run;
    run.analysis = ComputeInbreeding(dog, generations, parents_of, nullptr, SecondThread::kForLargeAncestries);
    const ReportNames report_names{name_of(dog).value_or(QString()), name_of(root->sire), name_of(root->dam)};
    run.report = InbreedingReportText(report_names, run.analysis, generations,
                                      [&name_of](qint32 id) { return name_of(id).value_or(QString()); });
    return run;
}

void StoreCoefficient(DogDatabase& database, qint32 dog, double coefficient) {
    DogRecord record;
    record.SetValue(Field::IC, coefficient);
    DogDatabase::FieldMask changed;
    changed.set(static_cast<std::size_t>(Field::IC));
    database.UpdateRow(dog, record, changed);
}

QString WriteReportFile(const QString& path, const QByteArray& report) {
    return WriteFileAtomically(path, report);
}

}  // namespace lineara
