#pragma once

#include "app/AppState.h"
#include "app/MainMenus.h"
#include "app/Prompts.h"
#include "store/RecordStore.h"

#include <QMainWindow>

#include <memory>

namespace lineara {

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectMenus();
    void UpdateCaption(bool with_revision);
    void Unload();

    AppState& state_;
    Prompts& prompts_;
    std::unique_ptr<RecordStore> store_;
    MainMenus* menus_ = nullptr;
    bool unloaded_ = false;
};

}  // namespace lineara
