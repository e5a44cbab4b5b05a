#include "sample/GenerateArguments.h"

#include <QLocale>

#include <stdexcept>
#include <type_traits>

namespace lineara {

namespace {

[[noreturn]] void Refuse(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

// Numbers are read the same way in every locale, so that scripts work everywhere.
template <typename Number>
Number Read(const QString& option, const QString& value) {
    bool ok = false;
    Number number{};
    if constexpr (std::is_same_v<Number, double>) {
        number = QLocale::c().toDouble(value, &ok);
    } else if constexpr (std::is_same_v<Number, quint64>) {
        number = QLocale::c().toULongLong(value, &ok);
    } else {
        number = QLocale::c().toInt(value, &ok);
    }
    if (!ok) {
        Refuse(QStringLiteral("%1 takes a number, not \"%2\"").arg(option, value));
    }
    return number;
}

}  // namespace

QString GenerateArguments::Usage() {
    return QStringLiteral(
        "usage: lineara-generate --dogs N --generations G --inbreeding RATE --seed S FILE\n"
        "         [--parent-generations N] [--studs SHARE] [--unknown SHARE]\n"
        "         [--champions SHARE] [--duplicates SHARE] [--full-last-ancestry] [--text]\n"
        "       lineara-generate --csv PEDIGREE.csv [--prefix TEXT] [--text] FILE\n"
        "Writes a new LINEARA database FILE holding a closed breeding population of N dogs\n"
        "over G generations, in which a share RATE (0 to 1) of the matings are between\n"
        "relatives; the same seed S always gives the same dogs. --text writes kennel text.\n");
}

GenerateRequest GenerateArguments::Parse(const QStringList& args) {
    GenerateRequest request;
    PedigreeOptions& options = request.options;
    bool have_target = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            if (have_target) {
                Refuse(QStringLiteral("only one FILE can be written, not \"%1\" as well").arg(arg));
            }
            request.target = arg;
            have_target = true;
            continue;
        }
        if (arg == u"--help") {
            request.help = true;
            continue;
        }
        if (arg == u"--text") {
            request.as_text = true;
            continue;
        }
        if (arg == u"--full-last-ancestry") {
            options.complete_last_ancestry = true;
            continue;
        }
        if (i + 1 == args.size()) {
            Refuse(QStringLiteral("%1 needs a value").arg(arg));
        }
        const QString& value = args[++i];
        if (arg == u"--dogs") {
            options.dogs = Read<int>(arg, value);
        } else if (arg == u"--generations") {
            options.generations = Read<int>(arg, value);
        } else if (arg == u"--inbreeding") {
            options.inbreeding = Read<double>(arg, value);
        } else if (arg == u"--seed") {
            options.seed = Read<quint64>(arg, value);
        } else if (arg == u"--parent-generations") {
            options.parent_generations = Read<int>(arg, value);
        } else if (arg == u"--studs") {
            options.stud_share = Read<double>(arg, value);
        } else if (arg == u"--unknown") {
            options.unknown_parent_share = Read<double>(arg, value);
        } else if (arg == u"--champions") {
            options.champion_share = Read<double>(arg, value);
        } else if (arg == u"--duplicates") {
            options.duplicate_share = Read<double>(arg, value);
        } else if (arg == u"--csv") {
            request.csv = value;
        } else if (arg == u"--prefix") {
            request.prefix = value;
        } else {
            Refuse(QStringLiteral("unknown option %1").arg(arg));
        }
    }
    if (!have_target && !request.help) {
        Refuse(QStringLiteral("name the FILE to write"));
    }
    return request;
}

}  // namespace lineara
