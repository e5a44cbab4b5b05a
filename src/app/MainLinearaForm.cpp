#include "app/MainLinearaForm.h"

#include "Version.h"
#include "app/HelpAboutForm.h"
#include "analysis/ClearCoefficients.h"
#include "analysis/DogListForm.h"
#include "analysis/LinearaInformation.h"
#include "analysis/RTFViewerForm.h"
#include "app/SettingsFile.h"
#include "app/ViewExtras.h"
#include "chart/ChartWidget.h"
#include "chart/ViewOptionMenus.h"
#include "exchange/QtCsvCommands.h"
#include "inbreeding/InbreedingAnalysisForm.h"
#include "inbreeding/InbreedingReport.h"
#include "inbreeding/AllCoefficientsForm.h"
#include "inbreeding/MateRankingForm.h"
#include "inbreeding/TrialMatingForm.h"
#include "maintenance/DatabaseFiles.h"
#include "maintenance/MergeDatabaseForm.h"
#include "print/PrintLayoutForm.h"
#include "print/QtCertificatePrinting.h"
#include "records/ChartActions.h"
#include "records/QtDogDialogs.h"
#include "store/StoreError.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

namespace lineara {

MainLinearaForm::MainLinearaForm(AppState& state, Prompts& prompts, std::unique_ptr<RecordStore> store,
                                 QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(prompts), store_(std::move(store)) {
    setObjectName(QStringLiteral("MainLinearaForm"));
    menus_ = new MainMenus(this);
    chart_ = new ChartWidget(model_, state_.settings, [this] { return menus_->CurrentView(); }, this);
    setCentralWidget(chart_);
    view_menus_ = new ViewOptionMenus(*menus_, state_.settings, prompts_,
                                      {[this] { Guarded([this] { Refill(); }); }, [this] { Redraw(); }}, this);
    connect(chart_, &ChartWidget::FlagClicked, this, [this] { view_menus_->FlagClicked(); });
    connect(chart_, &ChartWidget::NameReleased, this, &MainLinearaForm::NameReleased);
    dialogs_ = std::make_unique<QtDogDialogs>(state_, prompts_, this);
    actions_ = std::make_unique<ChartActions>(*store_, state_, prompts_, *dialogs_, model_, [this] { Refill(); });
    printing_ = std::make_unique<QtCertificatePrinting>(state_, prompts_, *store_, model_,
                                                        [this] { return menus_->CurrentView(); }, this);
    ConnectMenus();
}

MainLinearaForm::~MainLinearaForm() = default;

void MainLinearaForm::NameReleased(int position, Qt::MouseButton button, QPoint global_position) {
    chart_->ShowHighlight(position);
    clicked_position_ = position;
    clicked_dog_ = model_.DogAt(position);
    if (trial_ && (position == 1 || position == 2 || position == 3)) {
        // The planned puppy has no record to edit; its parents are the pair.
        if (position == 1 && button == Qt::RightButton) {
            prompts_.Beep();
        } else if (position == 1) {
            RootCommand([this] { actions_->PlaceDog(1); });
        } else if (button == Qt::LeftButton || clicked_dog_ == 0) {
            Guarded([this, position] { ChooseTrialParent(position); });
        } else {
            ShowPopup(position, global_position);
        }
        chart_->HideHighlight();
        return;
    }
    switch (DecideClick(model_, position, button == Qt::RightButton)) {
        case ClickResult::Beep:
            prompts_.Beep();
            break;
        case ClickResult::ShowPopup:
            ShowPopup(position, global_position);
            break;
        case ClickResult::Place:
            if (position == 1) {
                RootCommand([this] { actions_->PlaceDog(1); });
                break;
            }
            Guarded([this, position] { actions_->PlaceDog(position); });
            break;
    }
    chart_->HideHighlight();
}

void MainLinearaForm::ShowPopup(int position, QPoint global_position) {
    menus_->Action(QStringLiteral("Popup_ToRoot"))->setVisible(position != 1);
    // The planned puppy of a trial-mating chart has no record to prune its parents from.
    menus_->Action(QStringLiteral("Popup_Prune"))->setVisible(position != 1 && !(trial_ && position <= 3));
    // Just below the name, where the pointer is across.
    const QRectF name = chart_->Geometry().names[static_cast<std::size_t>(position)].rect;
    const QPoint below = chart_->mapToGlobal(QPoint(0, qRound(name.bottom())));
    menus_->Popup()->exec(QPoint(global_position.x(), below.y()));
}

void MainLinearaForm::ConnectMenus() {
    connect(menus_->Action(QStringLiteral("File_Exit")), &QAction::triggered, this, &QWidget::close);
    const auto on = [this](const char* name, std::function<void()> command) {
        connect(menus_->Action(QLatin1String(name)), &QAction::triggered, this,
                [this, command = std::move(command)] { Guarded(command); });
    };
    on("View_HighlightRepeats", [this] { Redraw(); });
    on("File_Print", [this] { printing_->Print(); });
    on("File_PrintSetup", [this] { printing_->PrintSetup(); });
    on("File_PrintLayout", [this] {
        RecordStore& store = *store_;
        store.FindFirst(Criterion::ById(state_.settings.RootDogID));
        const bool none = store.NoMatch() || store.IsNull(Field::PrintNotes);
        const QString notes = none ? QString() : store.Text(Field::PrintNotes);
        PrintLayoutForm form(state_.settings, prompts_, printing_->Printer(), [this] { printing_->PrintSetup(); },
                             notes, none, this);
        form.exec();
    });
    on("File_PrintPreview", [this] { printing_->PrintPreview(); });
    on("File_ExportPdf", [this] { printing_->ExportPdf(); });
    on("File_Save_Tabs", [this] { printing_->SaveChartText(ExportFormat::Tabs); });
    on("File_Save_Spaces", [this] { printing_->SaveChartText(ExportFormat::Spaces); });
    on("Edit_Copy_Text", [this] { printing_->ExportChart(ExportFormat::Tabs); });
    on("Edit_Copy_Text_Spaces", [this] { printing_->ExportChart(ExportFormat::Spaces); });
    on("Edit_Copy_HTML", [this] { printing_->ExportChart(ExportFormat::Html); });
    on("Edit_Add", [this] { actions_->AddNewDog(); });
    on("Edit_Delete", [this] { actions_->DeleteByName(); });
    on("Edit_Find", [this] { RootCommand([this] { actions_->FindByName(); }); });
    on("Popup_Edit", [this] { actions_->EditDogAt(clicked_position_); });
    on("Popup_Change", [this] { actions_->PlaceDog(clicked_position_); });
    on("Popup_ToRoot", [this] { RootCommand([this] { actions_->ShowLinearaOf(clicked_position_); }); });
    on("Popup_Prune", [this] { actions_->Prune(clicked_position_); });
    on("Popup_Delete", [this] { actions_->DeleteDog(clicked_dog_); });
    // The lists are found before the dialog opens; a chosen dog becomes the root.
    const auto list_dogs = [this](bool siblings) {
        DogDatabase& db = store_->Database();
        const qint32 root = state_.settings.RootDogID;
        const qint32 sire = model_.DogAt(2), dam = model_.DogAt(3);
        if (siblings && (sire == 0 || dam == 0)) {
            prompts_.Message(QStringLiteral("Can't determine siblings"),
                             QStringLiteral("Either the sire or the dam of this dog is not known.  Siblings can not be determined"));
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::unique_ptr<DogListForm> form;
        try {
            const QString name = RegNameOf(db, root);
            form.reset(siblings ? MakeSiblingsForm(state_, name, FindSiblings(db, root, sire, dam), this)
                                : MakeOffspringForm(state_, name, FindOffspring(db, root), this));
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        form->exec();
        if (state_.SelectedDogID != 0) {
            state_.settings.RootDogID = state_.SelectedDogID;
            Refill();
        }
    };
    on("Analysis_Siblings", [list_dogs] { list_dogs(true); });
    on("Analysis_Offspring", [list_dogs] { list_dogs(false); });
    on("Analysis_Lineara", [this] {
        ShowLinearaInformation(store_->Database(), prompts_, state_.settings.RootDogID, model_.At(1).display_name,
                               [this](qint32 dog) {
                                   state_.settings.RootDogID = dog;
                                   Refill();
                               });
    });
    on("Analysis_ClearIC", [this] {
        const auto hourglass = [](bool on) {
            if (on) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
            } else {
                QApplication::restoreOverrideCursor();
            }
        };
        if (RunClearAllInbreedingCoefficients(store_->Database(), prompts_, {}, hourglass)) {
            Refill();
        }
    });
    on("File_DatabaseInfo", [this] {
        const qint64 records = store_->Database().CountRows();
        prompts_.Message(QStringLiteral("Database Information"),
                         DatabaseInfoText(state_.DatabasePath(), QFileInfo(state_.DatabasePath()).size(), records));
    });
    // The merge and the clean-up share one dialog; the chart is refilled whether or not it ran.
    auto merge_or_clean = [this](const QString& source) {
        MergeDatabaseForm form(store_->Database(), source, prompts_,
                               [this](qint32 dog_id) {
                                   state_.SelectedDogID = dog_id;
                                   dialogs_->EditDog(false);
                                   state_.SelectedDogID = 0;
                               },
                               this);
        form.exec();
        EndTrialMating();  // the pair may have been folded into other records
        Refill();
    };
    on("File_MergeDB", [this, merge_or_clean] {
        const QString chosen = prompts_.OpenFile(
            {QStringLiteral("Choose a LINEARA database to merge into the current one"),
             QStringLiteral("LINEARA Database|*.MDB"), QFileInfo(state_.DatabasePath()).absolutePath(), {}});
        if (!chosen.toUpper().endsWith(QStringLiteral(".MDB"))) {
            prompts_.Message(QStringLiteral("Merge Cancelled/Error"),
                             QStringLiteral("Merge cancelled, or the file choosen is not a LINEARA database"));
            return;
        }
        merge_or_clean(chosen);
    });
    on("File_LoadDB", [this] {
        const QString chosen = prompts_.OpenFile({QStringLiteral("Load a LINEARA database"),
                                                  QStringLiteral("LINEARA Database|*.MDB"),
                                                  QFileInfo(state_.DatabasePath()).absolutePath(), {}});
        if (!chosen.toUpper().endsWith(QStringLiteral(".MDB"))) {
            return;
        }
        SwitchDatabase(chosen.trimmed());
    });
    on("File_NewDB", [this] { CreateNewDatabase(); });
    on("File_CleanDB", [merge_or_clean] { merge_or_clean(QString()); });
    on("File_ExportCsv", [this] {
        RunCsvExport(store_->Database(), prompts_, state_.working_directory, model_.DogAt(1), model_.At(1).display_name,
                     menus_->CurrentView().CurrentNumGens(), this);
    });
    on("File_ImportCsv", [this] {
        RunCsvImport(store_->Database(), prompts_, state_.working_directory,
                     [this](qint32 dog_id) {
                         state_.SelectedDogID = dog_id;
                         dialogs_->EditDog(false);
                         state_.SelectedDogID = 0;
                     },
                     this);
        EndTrialMating();
        Refill();
    });
    on("Help_Contents", [this] { ShowHelpViewer(prompts_, this); });
    on("Analysis_Inbreeding", [this] {
        const QString report = QDir(state_.working_directory).filePath(QString::fromLatin1(kReportFileName));
        InbreedingAnalysisForm form(store_->Database(), state_.settings.RootDogID, prompts_, report, this);
        form.exec();
        // Only this calculation's report is shown, never one left over from an earlier run.
        if (form.ReportWritten() && QFileInfo::exists(report)) {
            ShowReportViewer(prompts_, report, this);
        }
        if (form.result() == QDialog::Accepted) {
            Refill();
        }
    });
    // The find dialog lists males for the sire and females for the dam.
    auto choose = [this](bool male) -> qint32 {
        state_.SexHint = male ? 1 : 0;
        state_.SelectedDogID = 0;
        dialogs_->FindDog({male ? QStringLiteral("Choose Sire") : QStringLiteral("Choose Dam"),
                           QStringLiteral("Click on a dog's name to choose it"), false});
        return state_.SelectedDogID > 0 ? state_.SelectedDogID : 0;
    };
    auto trial_mating = [this, choose](qint32 sire, qint32 dam) {
        const QString report = QDir(state_.working_directory).filePath(QString::fromLatin1(kReportFileName));
        TrialMatingForm form(store_->Database(), prompts_, state_.settings.RootDogID, report, choose,
                             [this](const QString& path) { ShowReportViewer(prompts_, path, this); }, this);
        if (sire > 0) form.SetSire(sire);
        if (dam > 0) form.SetDam(dam);
        form.SetShowChart([this](qint32 chart_sire, qint32 chart_dam) {
            Guarded([=, this] { ShowTrialMating(chart_sire, chart_dam); });
        });
        form.exec();
        state_.SelectedDogID = 0;
    };
    on("Analysis_TrialMating", [trial_mating] { trial_mating(0, 0); });
    on("Analysis_BestSires", [this, choose, trial_mating] {
        MateRankingForm form(store_->Database(), prompts_, state_.settings.RootDogID, [choose] { return choose(false); },
                             trial_mating, this);
        form.exec();
        state_.SelectedDogID = 0;
    });
    on("Analysis_AllCoefficients", [this] {
        AllCoefficientsForm form(store_->Database(), prompts_, this);
        if (form.exec() == QDialog::Accepted) {
            Refill();
        }
    });
    connect(menus_->Action(QStringLiteral("Help_About")), &QAction::triggered, this, [this] {
        HelpAboutForm about(this);
        about.exec();
    });
}

bool MainLinearaForm::SwitchDatabase(const QString& path) {
    const QString previous = state_.DatabasePath();
    try {
        // Opened aside first: a file that is not a usable database leaves the current one open.
        RecordStore probe(path);
        probe.Close();
        store_->Open(path);
    } catch (const StoreError& error) {
        if (!store_->IsOpen()) {
            store_->Open(previous);
        }
        prompts_.Message(QStringLiteral("Database Error"),
                         QStringLiteral("LINEARA could not use the database\n%1\n\n%2\n\nThe database %3 "
                                        "stays in use.")
                             .arg(QDir::toNativeSeparators(path), error.Reason(), QDir::toNativeSeparators(previous)),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    state_.settings.DatabaseFile = path;
    UpdateCaption(false);
    EndTrialMating();  // the pair belongs to the other database
    Refill();
    return true;
}

void MainLinearaForm::CreateNewDatabase() {
    const QString title = QStringLiteral("New Database");
    const QString current = state_.DatabasePath();
    QString path;
    StagedDatabase::Replace replace = StagedDatabase::Replace::Never;
    for (;;) {
        const std::optional<QString> answer =
            prompts_.Input(title, QStringLiteral("Enter a name for your new database"), last_new_database_name_);
        if (!answer || answer->isEmpty()) {
            return;
        }
        if (!IsValidDatabaseName(*answer)) {
            prompts_.Message(QStringLiteral("Invalid Filename"), InvalidFilenameText(), Prompts::Buttons::Ok,
                             Prompts::Icon::Critical);
            last_new_database_name_.clear();
            continue;
        }
        last_new_database_name_ = *answer;
        path = NewDatabasePath(current, *answer);
        const QFileInfo target(path);
        if (!target.exists()) {
            replace = StagedDatabase::Replace::Never;
            break;
        }
        // The database in use is never replaced; another file of that name only when agreed.
        if (target.canonicalFilePath() == QFileInfo(current).canonicalFilePath()) {
            prompts_.Message(title,
                             QStringLiteral("%1 is the database in use and cannot be replaced.\n\nPlease "
                                            "choose another name.")
                                 .arg(QDir::toNativeSeparators(path)),
                             Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            continue;
        }
        if (prompts_.Message(title,
                             QStringLiteral("A file named %1 already exists.\n\nDo you want to replace it "
                                            "with a new, empty database?")
                                 .arg(QDir::toNativeSeparators(path)),
                             Prompts::Buttons::YesNo, Prompts::Icon::Question) == Prompts::Answer::Yes) {
            replace = StagedDatabase::Replace::Allowed;
            break;
        }
    }
    try {
        CreatePlaceholderDatabase(path, replace);
    } catch (const StoreError& error) {
        prompts_.Message(title,
                         QStringLiteral("The new database\n%1\ncould not be created.\n\n%2\n\nThe database %3 "
                                        "stays in use.")
                             .arg(QDir::toNativeSeparators(path), error.Reason(), QDir::toNativeSeparators(current)),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    SwitchDatabase(path);
}

void MainLinearaForm::UpdateCaption(bool with_revision) {
    QString version = QStringLiteral("%1.%2").arg(kVersionMajor).arg(kVersionMinor);
    if (with_revision) {
        version += QStringLiteral(".%1").arg(kVersionRevision);
    }
    setWindowTitle(QStringLiteral("LINEARA v") + version + QStringLiteral(" -- ") + state_.DatabasePath());
}

void MainLinearaForm::Load() {
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(available.width() * 8 / 10, available.height() * 8 / 10);
        move(available.center() - rect().center());
    }
    UpdateCaption(true);
    ViewState view = ViewStateFromSettings(state_.settings);
    const ViewExtrasRead extras = ReadViewExtras(state_.working_directory);
    if (!extras.problem.isEmpty()) {
        prompts_.Message(QStringLiteral("Error Reading Settings"),
                         QStringLiteral("The display settings in %1 could not be read:\n%2\n\nLINEARA uses its "
                                        "default display settings; %3 is not affected.")
                             .arg(QDir::toNativeSeparators(ViewExtrasPath(state_.working_directory)),
                                  extras.problem, QString::fromLatin1(settings::kFileName)),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
    view.highlight_repeats = extras.extras.highlight_repeats;
    menus_->ApplyView(view);
    Guarded([this] { model_.FillChart(*store_, state_.settings.RootDogID, menus_->CurrentView()); });
}

void MainLinearaForm::ShowTrialMating(qint32 sire, qint32 dam) {
    trial_ = TrialPair{sire, dam, state_.settings.RootDogID, false};
    Refill();
}

void MainLinearaForm::EndTrialMating() { trial_.reset(); }

void MainLinearaForm::RootCommand(const std::function<void()>& command) {
    if (trial_) {
        trial_->root_may_change = true;
    }
    Guarded(command);
    if (trial_) {
        trial_->root_may_change = false;  // cancelled: the trial chart stays
    }
}

void MainLinearaForm::ChooseTrialParent(int position) {
    const bool sire = position == 2;
    state_.SexHint = sire ? 1 : 0;
    state_.SelectedDogID = 0;
    dialogs_->FindDog({sire ? QStringLiteral("Choose Sire") : QStringLiteral("Choose Dam"),
                       QStringLiteral("Click on a dog's name to choose it"), false});
    const qint32 chosen = state_.SelectedDogID;
    state_.SelectedDogID = 0;
    if (chosen <= 0 || !trial_) {
        return;
    }
    (sire ? trial_->sire : trial_->dam) = chosen;
    Refill();
}

void MainLinearaForm::Refill() {
    if (trial_ && (trial_->root_may_change || state_.settings.RootDogID != trial_->root)) {
        EndTrialMating();
    }
    // The analyses of the root's own ancestry have no stored dog to work on while the
    // planned puppy stands at the root.
    for (const char* name : {"Analysis_Offspring", "Analysis_Siblings", "Analysis_Lineara", "Analysis_Inbreeding"}) {
        menus_->Action(QLatin1String(name))->setEnabled(!trial_);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (trial_) {
            model_.FillTrialMating(*store_, trial_->sire, trial_->dam, menus_->CurrentView());
        } else {
            model_.FillChart(*store_, state_.settings.RootDogID, menus_->CurrentView());
        }
    } catch (...) {
        QApplication::restoreOverrideCursor();
        chart_->Arrange();
        throw;
    }
    QApplication::restoreOverrideCursor();
    chart_->Arrange();
}

void MainLinearaForm::Redraw() { chart_->Arrange(); }

void MainLinearaForm::ShowError(const QString& reason) {
    prompts_.Message(QStringLiteral("Database Error"),
                     QStringLiteral("LINEARA could not complete this with the database\n%1\n\n%2\n\nNothing "
                                    "was changed by the failed step.")
                         .arg(QDir::toNativeSeparators(state_.DatabasePath()), reason),
                     Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

void MainLinearaForm::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const StoreError& error) {
        ShowError(error.Reason());
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    }
}

void MainLinearaForm::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    const ViewState view = menus_->CurrentView();
    StoreViewState(view, state_.settings);
    const QString error = WriteSettings(state_.settings, state_.working_directory);
    ViewExtras extras;
    extras.highlight_repeats = view.highlight_repeats;
    // When LNR40.INI could not be written either, its message below already says it all.
    if (const QString extras_error = WriteViewExtras(extras, state_.working_directory);
        !extras_error.isEmpty() && error.isEmpty()) {
        prompts_.Message(QStringLiteral("Error Saving Settings"),
                         QStringLiteral("The display settings could not be saved to %1:\n%2\n\nThe next start "
                                        "uses the display settings saved before.")
                             .arg(QDir::toNativeSeparators(ViewExtrasPath(state_.working_directory)), extras_error),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
    if (!error.isEmpty()) {
        prompts_.Message(QStringLiteral("Error Saving Settings"),
                         QStringLiteral("The settings could not be saved to %1 in %2:\n%3\n\nLINEARA "
                                        "will close; the next start uses the settings saved before.")
                             .arg(QString::fromLatin1(settings::kFileName),
                                  QDir::toNativeSeparators(state_.working_directory), error),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
}

void MainLinearaForm::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

}  // namespace lineara
