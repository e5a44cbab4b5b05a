#include "cli/CliCommand.h"

#include "analysis/Ancestry.h"
#include "chart/DisplayName.h"
#include "store/DogDatabase.h"
#include "store/StoreError.h"

namespace lineara::cli {

namespace {

struct UsageError {
    QString message;
};

struct Target {
    std::shared_ptr<DogDatabase> database;
    DogRecord dog;
    qint32 dog_id = 0;
};

// FILE --dog ID (or --dog=ID), opened and the dog found.
Target OpenTarget(const QStringList& args) {
    QString file;
    QString dog;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--dog")) {
            if (i + 1 >= args.size()) throw UsageError{QStringLiteral("option --dog needs a value")};
            dog = args.at(++i);
        } else if (arg.startsWith(QLatin1String("--dog="))) {
            dog = arg.mid(6);
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw UsageError{QStringLiteral("unknown option \"%1\"").arg(arg)};
        } else if (file.isEmpty()) {
            file = arg;
        } else {
            throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(arg)};
        }
    }
    if (file.isEmpty()) throw UsageError{QStringLiteral("no database file given")};
    if (dog.isEmpty()) throw UsageError{QStringLiteral("no dog given (--dog ID)")};
    bool ok = false;
    const qint32 id = dog.toInt(&ok);
    if (!ok || id <= 0) throw UsageError{QStringLiteral("\"%1\" is not a DogID").arg(dog)};
    Target target;
    target.database = DogDatabase::Open(file);
    const std::optional<DogRecord> record = target.database->ReadRow(id);
    if (!record) throw UsageError{QStringLiteral("%1: no dog with DogID %2").arg(file).arg(id)};
    target.dog = *record;
    target.dog_id = id;
    return target;
}

// Message texts end their lines with a carriage return; a terminal wants line feeds.
QString Lines(QString text) { return text.replace(QLatin1Char('\r'), QLatin1Char('\n')); }

template <typename Body>
int Run(const char* name, const QStringList& args, Streams& io, Body body) {
    try {
        return body(OpenTarget(args));
    } catch (const UsageError& error) {
        io.err << "lineara-cli " << name << ": " << error.message << "\n"
               << "usage: lineara-cli " << name << " FILE --dog ID\n";
        return kExitUsage;
    } catch (const StoreError& error) {
        io.err << "lineara-cli " << name << ": " << error.File() << ": " << error.Reason() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        io.err << "lineara-cli " << name << ": " << error.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

int RunInfo(const QStringList& args, Streams& io) {
    return Run("info", args, io, [&](const Target& t) {
        DogDatabase& db = *t.database;
        const QString root_name = ComposeDisplayName(t.dog, TitleStyle::American);
        const AncestryFigures figures = CountAncestry(db, t.dog_id);
        if (!figures.limit_reached) {
            io.out << Lines(InformationText(root_name, figures)) << "\n";
            return kExitOk;
        }
        io.out << Lines(RecursiveEntryText(root_name)) << "\n";
        if (const auto repeat = FindRepeat(figures.line)) {
            io.out << "\n"
                   << Lines(RecursiveLineText(figures.line, *repeat,
                                              [&](qint32 id) { return RegNameOf(db, id); }))
                   << "\n";
        }
        return kExitOk;
    });
}

int RunSiblings(const QStringList& args, Streams& io) {
    return Run("siblings", args, io, [&](const Target& t) {
        const auto parent = [&](Field field) {
            const qint32 id = t.dog.Value(field).toInt();
            return id != 0 && t.database->ReadRow(id) ? id : 0;
        };
        const qint32 sire = parent(Field::SireID);
        const qint32 dam = parent(Field::DamID);
        if (sire == 0 || dam == 0) {
            io.err << "Either the sire or the dam of this dog is not known.  Siblings can not be determined\n";
            return kExitFailure;
        }
        const SiblingLists lists = FindSiblings(*t.database, t.dog_id, sire, dam);
        for (const ListedDog& dog : lists.full) io.out << "full\t" << dog.dog_id << "\t" << dog.reg_name << "\n";
        for (const ListedDog& dog : lists.half) io.out << "half\t" << dog.dog_id << "\t" << dog.reg_name << "\n";
        return kExitOk;
    });
}

int RunOffspring(const QStringList& args, Streams& io) {
    return Run("offspring", args, io, [&](const Target& t) {
        for (const ListedDog& dog : FindOffspring(*t.database, t.dog_id)) {
            io.out << dog.dog_id << "\t" << dog.reg_name << "\n";
        }
        return kExitOk;
    });
}

}  // namespace lineara::cli
