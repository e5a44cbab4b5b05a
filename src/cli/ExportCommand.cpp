#include "cli/CliCommand.h"

#include "app/SettingsFile.h"
#include "chart/ChartModel.h"
#include "chart/ViewState.h"
#include "print/Certificate.h"
#include "print/CertificateOutput.h"
#include "print/ChartExport.h"
#include "store/RecordStore.h"
#include "store/StoreError.h"

#include <QFile>

#include <limits>
#include <map>
#include <optional>

namespace lineara::cli {

namespace {

const char* const kUsage =
    "usage: lineara-cli export FILE [--root ID] [--gens 2..6] [--style american|canadian]\n"
    "                          [--uppercase-champions yes|no] [--uppercase-others yes|no]\n"
    "                          [--highlight-repeats yes|no]\n"
    "                          [--settings PATH] [--format tabs|spaces|html] [--output PATH]\n";
const char* const kPrintUsage =
    "usage: lineara-cli print FILE --pdf OUT.pdf [--root ID] [--settings PATH] [--page letter|a4]\n"
    "                         [--landscape] [--margin INCHES] [--gens 2..6]\n"
    "                         [--style american|canadian] [--uppercase-champions yes|no]\n"
    "                         [--uppercase-others yes|no] [--highlight-repeats yes|no]\n";

struct ExportOptions {
    QString database;
    std::map<QString, QString> values;  // option name (without "--") -> value
};

// A problem with the command line or its inputs: the message goes to standard error.
struct UsageError {
    QString message;
    bool show_usage = true;  // false when the arguments were fine but an input was not
};

// The options both commands take: which chart, and how it looks.
const QStringList kViewOptionNames{
    QStringLiteral("root"),
    QStringLiteral("gens"),
    QStringLiteral("style"),
    QStringLiteral("uppercase-champions"),
    QStringLiteral("uppercase-others"),
    QStringLiteral("highlight-repeats"),
    QStringLiteral("settings"),
};
const QStringList kExportOptionNames =
    kViewOptionNames + QStringList{QStringLiteral("format"), QStringLiteral("output")};
const QStringList kPrintOptionNames =
    kViewOptionNames +
    QStringList{QStringLiteral("pdf"), QStringLiteral("page"), QStringLiteral("margin")};
// Options that stand alone, without a value.
const QStringList kPrintFlagNames{QStringLiteral("landscape")};

ExportOptions ParseArguments(const QStringList& args, const QStringList& option_names,
                             const QStringList& flag_names = {}) {
    ExportOptions options;
    bool have_database = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--"))) {
            if (have_database) {
                throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(arg)};
            }
            options.database = arg;
            have_database = true;
            continue;
        }
        QString name = arg.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        if (flag_names.contains(name) && equals < 0) {
            options.values[name] = QStringLiteral("yes");
            continue;
        }
        if (!option_names.contains(name)) {
            throw UsageError{QStringLiteral("unknown option \"%1\"").arg(arg)};
        }
        if (equals < 0) {
            if (i + 1 >= args.size()) {
                throw UsageError{QStringLiteral("option --%1 needs a value").arg(name)};
            }
            value = args.at(++i);
        }
        options.values[name] = value;
    }
    if (!have_database) {
        throw UsageError{QStringLiteral("no database file given")};
    }
    return options;
}

std::optional<QString> Option(const ExportOptions& options, const char* name) {
    const auto it = options.values.find(QLatin1String(name));
    if (it == options.values.end()) {
        return std::nullopt;
    }
    return it->second;
}

// One of a few fixed words; anything else is refused with the words allowed.
int Choice(const QString& option, const QString& value, const QStringList& words) {
    const qsizetype index = words.indexOf(value.toLower());
    if (index < 0) {
        throw UsageError{QStringLiteral("--%1 must be %2, not \"%3\"")
                             .arg(option, words.join(QLatin1Char('|')), value)};
    }
    return static_cast<int>(index);
}

int Number(const QString& option, const QString& value, int low, int high) {
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high) {
        throw UsageError{QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\"")
                             .arg(option)
                             .arg(low)
                             .arg(high)
                             .arg(value)};
    }
    return number;
}

SettingsRecord LoadSettings(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw UsageError{
            QStringLiteral("cannot read the settings file %1: %2").arg(path, file.errorString()),
            false};
    }
    const std::optional<SettingsRecord> record = settings::Parse(file.readAll());
    if (!record) {
        throw UsageError{QStringLiteral("%1 is not a LINEARA settings file").arg(path), false};
    }
    return *record;
}

bool YesNo(const ExportOptions& options, const char* name, bool current) {
    const std::optional<QString> value = Option(options, name);
    if (!value) {
        return current;
    }
    return Choice(QLatin1String(name), *value, {QStringLiteral("no"), QStringLiteral("yes")}) == 1;
}

// The chart the options ask for, filled from the database, with the settings and the view
// it was filled for.
struct FilledChart {
    SettingsRecord settings;
    ViewState view;
    ChartModel model;
};

FilledChart FillFromOptions(const ExportOptions& options) {
    const std::optional<QString> settings_path = Option(options, "settings");
    const SettingsRecord settings =
        settings_path ? LoadSettings(*settings_path) : RestoreDefaultSettings();
    ViewState view = ViewStateFromSettings(settings);
    qint32 root = settings.RootDogID;
    std::optional<qint32> explicit_root;

    if (const auto value = Option(options, "root")) {
        explicit_root =
            Number(QStringLiteral("root"), *value, 1, std::numeric_limits<qint32>::max());
        root = *explicit_root;
    }
    if (const auto value = Option(options, "gens")) {
        view.num_gens = Number(QStringLiteral("gens"), *value, 2, 6);
    }
    if (const auto value = Option(options, "style")) {
        view.american = Choice(QStringLiteral("style"), *value,
                               {QStringLiteral("american"), QStringLiteral("canadian")}) == 0;
    }
    view.champ.uppercase = YesNo(options, "uppercase-champions", view.champ.uppercase);
    view.not_champ.uppercase = YesNo(options, "uppercase-others", view.not_champ.uppercase);
    view.highlight_repeats = YesNo(options, "highlight-repeats", false);

    RecordStore store(options.database);
    if (explicit_root) {
        // A root asked for by name must exist; only a remembered one falls back.
        store.FindFirst(Criterion::ById(*explicit_root));
        if (store.NoMatch()) {
            throw UsageError{QStringLiteral("%1: there is no dog with DogID %2")
                                 .arg(options.database)
                                 .arg(*explicit_root),
                             false};
        }
    }
    FilledChart chart{settings, view, {}};
    chart.model.FillChart(store, root, view);
    chart.settings.RootDogID = root;
    TakePrintNotes(store, chart.settings);
    return chart;
}

}  // namespace

int RunExport(const QStringList& args, Streams& io) {
    try {
        const ExportOptions options = ParseArguments(args, kExportOptionNames);
        ExportFormat format = ExportFormat::Tabs;
        if (const auto value = Option(options, "format")) {
            const QStringList words{QStringLiteral("tabs"), QStringLiteral("spaces"),
                                    QStringLiteral("html")};
            format = static_cast<ExportFormat>(Choice(QStringLiteral("format"), *value, words) + 1);
        }
        const std::optional<QString> output = Option(options, "output");
        if (output && output->isEmpty()) {
            throw UsageError{QStringLiteral("--output needs a file name")};
        }
        const FilledChart chart = FillFromOptions(options);
        const QString text = ChartExportText(chart.model, chart.view, format);
        if (output) {
            // Exactly what File > Save Lineara writes; the HTML table stands alone.
            const QString saved = format == ExportFormat::Html ? text : SavedChartText(text);
            const QString error = WriteChartTextFile(*output, saved);
            if (!error.isEmpty()) {
                throw UsageError{QStringLiteral("cannot write %1: %2").arg(*output, error), false};
            }
            return kExitOk;
        }
        io.out << text;
        io.out.flush();
        if (io.out.status() != QTextStream::Ok) {
            io.err << "lineara-cli: could not write the export\n";
            return kExitFailure;
        }
        return kExitOk;
    } catch (const UsageError& error) {
        io.err << "lineara-cli export: " << error.message << "\n";
        if (error.show_usage) {
            io.err << kUsage;
        }
        return kExitUsage;
    } catch (const StoreError& error) {
        io.err << "lineara-cli export: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        io.err << "lineara-cli export: " << error.what() << "\n";
        return kExitFailure;
    }
}

int RunPrint(const QStringList& args, Streams& io) {
    try {
        const ExportOptions options = ParseArguments(args, kPrintOptionNames, kPrintFlagNames);
        const std::optional<QString> pdf = Option(options, "pdf");
        if (!pdf || pdf->isEmpty()) {
            throw UsageError{QStringLiteral("--pdf OUT.pdf is needed")};
        }
        QPageLayout layout = DefaultCertificatePage();
        if (const auto value = Option(options, "page")) {
            const int page = Choice(QStringLiteral("page"), *value,
                                    {QStringLiteral("letter"), QStringLiteral("a4")});
            layout.setPageSize(QPageSize(page == 0 ? QPageSize::Letter : QPageSize::A4));
        }
        if (Option(options, "landscape")) {
            layout.setOrientation(QPageLayout::Landscape);
        }
        if (const auto value = Option(options, "margin")) {
            bool ok = false;
            const double margin = value->toDouble(&ok);
            const QSizeF paper = layout.pageSize().size(QPageSize::Inch);
            if (!ok || margin < 0 || 2 * margin >= std::min(paper.width(), paper.height())) {
                throw UsageError{
                    QStringLiteral(
                        "--margin must be a number of inches that leaves some of the page, "
                        "not \"%1\"")
                        .arg(*value)};
            }
            layout.setMinimumMargins(QMarginsF());
            layout.setMargins(QMarginsF(margin, margin, margin, margin));
        }
        const FilledChart chart = FillFromOptions(options);
        const QString error =
            WriteCertificatePdf(*pdf, layout, chart.model, chart.view, chart.settings);
        if (!error.isEmpty()) {
            throw UsageError{QStringLiteral("cannot write %1: %2").arg(*pdf, error), false};
        }
        return kExitOk;
    } catch (const UsageError& error) {
        io.err << "lineara-cli print: " << error.message << "\n";
        if (error.show_usage) {
            io.err << kPrintUsage;
        }
        return kExitUsage;
    } catch (const StoreError& error) {
        io.err << "lineara-cli print: " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        io.err << "lineara-cli print: " << error.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace lineara::cli
