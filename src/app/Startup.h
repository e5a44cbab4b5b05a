#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "store/RecordStore.h"

#include <functional>
#include <memory>

namespace lineara {

// What happens between launch and the main window: read the settings, make sure a usable
// database is chosen, and offer to import an old data file.
class Startup {
public:
    // Runs the version-3 import; true when it made a new current database.
    // It calls release_current to close the current database before the new file takes its
    // place (the current one may itself be the imported database).
    using Importer = std::function<bool(const std::function<void()>& release_current)>;

    Startup(AppState& state, Prompts& prompts) : state_(state), prompts_(prompts) {}

    void SetImporter(Importer importer) { importer_ = std::move(importer); }

    // The database named on the command line (what a file manager passes when a LINEARA
    // database is opened with the program). When it opens it becomes the current database
    // in place of the last one; when it cannot be used the user is told why and start-up
    // goes on as without it. A relative name is taken from the working folder.
    void SetRequestedDatabase(const QString& path) { requested_ = path; }

    // Returns the main window's cursor on the chosen database, or nothing when the user
    // chose no database (the program then ends without saving its settings).
    std::unique_ptr<RecordStore> Run();

    static constexpr const char* kOldDataFile = "LINEARA.DAT";

private:
    std::unique_ptr<RecordStore> OpenRequestedDatabase();
    std::unique_ptr<RecordStore> OpenChosenDatabase();
    void OfferImport(std::unique_ptr<RecordStore>& store);

    AppState& state_;
    Prompts& prompts_;
    Importer importer_;
    QString requested_;
};

// Asks for a database with the given dialog title until the user chooses one that opens or
// gives up. Files that cannot be used are explained and the dialog comes back. Returns the
// open cursor, or nothing when the user cancelled or chose a name not ending in ".MDB".
std::unique_ptr<RecordStore> ChooseDatabase(Prompts& prompts, const QString& title,
                                            const QString& directory, QString* chosen_path);

// Opens a cursor on the path, or explains to the user why it cannot be used.
std::unique_ptr<RecordStore> TryOpenDatabase(Prompts& prompts, const QString& path);

// "LINEARA Database|*.MDB"
QString DatabaseFilter();
bool HasDatabaseExtension(const QString& path);

}  // namespace lineara
