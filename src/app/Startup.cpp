#include "app/Startup.h"

#include "app/FileExists.h"
#include "app/SettingsFile.h"
#include "store/StoreError.h"

#include <QDir>

namespace lineara {

namespace {

QString ImportQuestion() {
    const QString q = QStringLiteral("\"");
    return QStringLiteral(
               "A LINEARA version 3 data file (LINEARA.DAT) file has been found in the current "
               "directory.  Would you like to import this data?  Your current database will not be "
               "effected (unless it's called ") +
           q + QStringLiteral("Imported Data.mdb") + q + QStringLiteral("). A new database called ") + q +
           QStringLiteral("Imported Data.mdb") + q +
           QStringLiteral(" will be created and set as the default database (to change the default "
                          "database, click on ") +
           q + QStringLiteral("File|Use a Different Database") + q +
           QStringLiteral(" from the main menu).  When complete, LINEARA.DAT will be renamed "
                          "LINEARA.OLDDAT (you can delete it later to save space).");
}

}  // namespace

QString DatabaseFilter() { return QStringLiteral("LINEARA Database|*.MDB"); }

bool HasDatabaseExtension(const QString& path) {
    return path.toUpper().endsWith(QStringLiteral(".MDB"));
}

std::unique_ptr<RecordStore> TryOpenDatabase(Prompts& prompts, const QString& path) {
    try {
        return std::make_unique<RecordStore>(path);
    } catch (const StoreError& error) {
        prompts.Message(QStringLiteral("Cannot Use This Database"),
                        QStringLiteral("LINEARA cannot use the database file\n%1\n\n%2")
                            .arg(QDir::toNativeSeparators(path), error.Reason()),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    } catch (const std::exception& error) {
        prompts.Message(QStringLiteral("Cannot Use This Database"),
                        QStringLiteral("LINEARA cannot use the database file\n%1\n\n%2")
                            .arg(QDir::toNativeSeparators(path), QString::fromUtf8(error.what())),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
    return nullptr;
}

std::unique_ptr<RecordStore> ChooseDatabase(Prompts& prompts, const QString& title,
                                            const QString& directory, QString* chosen_path) {
    for (;;) {
        const QString name =
            prompts.OpenFile({title, DatabaseFilter(), directory, QStringLiteral("mdb")});
        if (!HasDatabaseExtension(name)) {
            return nullptr;
        }
        if (auto store = TryOpenDatabase(prompts, name)) {
            if (chosen_path) {
                *chosen_path = name;
            }
            return store;
        }
    }
}

std::unique_ptr<RecordStore> Startup::OpenRequestedDatabase() {
    if (requested_.trimmed().isEmpty()) {
        return nullptr;
    }
    const QString path = QDir::cleanPath(QDir(state_.working_directory).absoluteFilePath(requested_));
    if (!HasDatabaseExtension(path)) {
        prompts_.Message(QStringLiteral("Cannot Use This Database"),
                         QStringLiteral("LINEARA cannot use the database file\n%1\n\n"
                                        "Its name does not end in .mdb, as a LINEARA database's does.")
                             .arg(QDir::toNativeSeparators(path)),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return nullptr;
    }
    auto store = TryOpenDatabase(prompts_, path);
    if (store) {
        state_.settings.DatabaseFile = path;
    }
    return store;
}

std::unique_ptr<RecordStore> Startup::OpenChosenDatabase() {
    const QString current = state_.DatabasePath();
    if (FileExists(current)) {
        if (auto store = TryOpenDatabase(prompts_, current)) {
            return store;
        }
    }
    QString chosen;
    auto store = ChooseDatabase(prompts_, QStringLiteral("Choose a LINEARA database"),
                                state_.working_directory, &chosen);
    if (!store) {
        prompts_.Message(QStringLiteral("Can't start LINEARA"),
                         QStringLiteral("You cannot start without choosing a LINEARA database."),
                         Prompts::Buttons::Ok);
        return nullptr;
    }
    state_.settings.DatabaseFile = chosen;
    return store;
}

void Startup::OfferImport(std::unique_ptr<RecordStore>& store) {
    if (!FindExistingFile(state_.working_directory, QString::fromLatin1(kOldDataFile))) {
        return;
    }
    const auto answer = prompts_.Message(QStringLiteral("Import Lineara v3 Data?"), ImportQuestion(),
                                         Prompts::Buttons::YesNo);
    if (answer != Prompts::Answer::Yes) {
        return;
    }
    if (importer_) {
        importer_([&store] { store.reset(); });
        return;
    }
    prompts_.Message(QStringLiteral("Import Lineara v3 Data"),
                     QStringLiteral("This version of LINEARA cannot import version 3 data yet. "
                                    "LINEARA.DAT has been left as it is, and you will be asked "
                                    "again the next time LINEARA starts."),
                     Prompts::Buttons::Ok, Prompts::Icon::Information);
}

std::unique_ptr<RecordStore> Startup::Run() {
    ReadSettings(state_.settings, state_.working_directory, prompts_);
    auto store = OpenRequestedDatabase();
    if (!store) {
        store = OpenChosenDatabase();
    }
    if (!store) {
        return nullptr;
    }
    const QString before = state_.DatabasePath();
    OfferImport(store);
    if (!store || state_.DatabasePath() != before) {
        // The import made a new current database.
        store.reset();
        store = OpenChosenDatabase();
    }
    return store;
}

}  // namespace lineara
