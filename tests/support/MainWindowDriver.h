#pragma once

#include "app/MainLinearaForm.h"
#include "app/SettingsFile.h"
#include "chart/ChartWidget.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <memory>

namespace lineara::test {

// The state the main window starts from: default settings, working in `folder`, on `database`
// with `root` at the root of the chart.
inline AppState WindowState(const QString& folder, const QString& database, qint32 root) {
    AppState state;
    state.working_directory = folder;
    state.settings = RestoreDefaultSettings();
    state.settings.DatabaseFile = database;
    state.settings.RootDogID = root;
    return state;
}

// The main window on a database, loaded, shown at a fixed size and painted once.
inline std::unique_ptr<MainLinearaForm> OpenMainWindow(AppState& state, Prompts& prompts, const QString& database,
                                                       QSize size = {1000, 700}) {
    auto window = std::make_unique<MainLinearaForm>(state, prompts, std::make_unique<RecordStore>(database));
    window->Load();
    window->resize(size);
    window->show();
    QApplication::processEvents();
    return window;
}

// Answers the find-dog dialog the next command opens: searches for `text` and chooses the
// first dog listed. `seen` (optional) receives the dialog's caption.
inline void ChooseInNextFindDialog(const QString& text, QString* seen = nullptr) {
    QTimer::singleShot(0, [text, seen] {
        QWidget* find = QApplication::activeModalWidget();
        if (find == nullptr) {
            return;
        }
        if (seen != nullptr) {
            *seen = find->windowTitle();
        }
        auto* box = find->findChild<QLineEdit*>(QStringLiteral("TextToFind"));
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
        auto* list = find->findChild<QListView*>(QStringLiteral("DogList"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
    });
}

// Right-clicks a chart place and returns the object names of the pop-up items shown, closing
// the menu without choosing.
inline QStringList PopupItemsAt(MainLinearaForm& window, int position) {
    QStringList shown;
    QTimer::singleShot(0, [&] {
        QMenu* popup = window.Menus().Popup();
        for (QAction* action : popup->actions()) {
            if (action->isVisible()) {
                shown << action->objectName();
            }
        }
        popup->close();
    });
    ChartWidget& chart = window.Chart();
    QTest::mouseClick(&chart, Qt::RightButton, {}, chart.CentreOf(position).toPoint());
    return shown;
}

}  // namespace lineara::test
