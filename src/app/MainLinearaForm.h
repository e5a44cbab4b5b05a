#pragma once

#include "app/AppState.h"
#include "app/MainMenus.h"
#include "app/Prompts.h"
#include "chart/ChartModel.h"
#include "store/RecordStore.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

namespace lineara {

class ChartActions;
class ChartWidget;
class QtCertificatePrinting;
class QtDogDialogs;
class ViewOptionMenus;

// The main window: the ancestry chart of the root dog and every menu.
class MainLinearaForm : public QMainWindow {
    Q_OBJECT

public:
    MainLinearaForm(AppState& state, Prompts& prompts, std::unique_ptr<RecordStore> store,
                    QWidget* parent = nullptr);
    ~MainLinearaForm() override;

    // The load step: size and caption, View menu from the settings, first chart fill.
    void Load();

    AppState& State() { return state_; }
    RecordStore& Store() { return *store_; }
    MainMenus& Menus() { return *menus_; }
    ChartWidget& Chart() { return *chart_; }
    const ChartModel& Model() const { return model_; }
    QtCertificatePrinting& Printing() { return *printing_; }

    // After a change of content: fill the chart from the store again, then lay it out.
    void Refill();
    // After a change of style or size: lay the filled chart out again.
    void Redraw();

    // Shows the chart of a planned puppy of the pair until another dog becomes the root.
    // Nothing is stored.
    void ShowTrialMating(qint32 sire, qint32 dam);
    bool ShowingTrialMating() const { return trial_.has_value(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectMenus();
    void UpdateCaption(bool with_revision);
    void Unload();
    // A mouse button released over a name of the chart.
    void NameReleased(int position, Qt::MouseButton button, QPoint global_position);
    void ShowPopup(int position, QPoint global_position);
    // Runs a command, turning any database failure into a message instead of a crash.
    void Guarded(const std::function<void()>& command);
    void ShowError(const QString& reason);
    // Makes `path` the current database: caption, chart. A file that cannot be used leaves the
    // current one open and current, with a message; false then.
    bool SwitchDatabase(const QString& path);
    void CreateNewDatabase();
    // Runs a command that may make another dog the root: any refill it makes ends the
    // trial-mating chart, even when the dog chosen was the root before.
    void RootCommand(const std::function<void()>& command);
    void EndTrialMating();
    // A click on the planned puppy's parents changes the pair instead of a stored record.
    void ChooseTrialParent(int position);

    AppState& state_;
    Prompts& prompts_;
    std::unique_ptr<RecordStore> store_;
    MainMenus* menus_ = nullptr;
    ChartModel model_;
    ChartWidget* chart_ = nullptr;
    ViewOptionMenus* view_menus_ = nullptr;
    std::unique_ptr<QtDogDialogs> dialogs_;
    std::unique_ptr<ChartActions> actions_;
    std::unique_ptr<QtCertificatePrinting> printing_;
    // The place last clicked and the dog that stood there at the time.
    int clicked_position_ = 0;
    qint32 clicked_dog_ = 0;
    bool unloaded_ = false;
    // The name typed at File > Create a New Database the last time.
    QString last_new_database_name_;
    // The pair of the trial-mating chart, and the root when it was shown.
    struct TrialPair {
        qint32 sire = 0;
        qint32 dam = 0;
        qint32 root = 0;
        bool root_may_change = false;
    };
    std::optional<TrialPair> trial_;
};

}  // namespace lineara
