#pragma once

#include "chart/ViewState.h"

#include <QHash>
#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

namespace lineara {

// The main window's menus and the chart's pop-up menu. Every item is a QAction named after
// its menu path (File_Save_Tabs, View_ChampStyle_Bold, Popup_Edit). During a run the View
// menu's check marks are the live chart options; CurrentView() reads them.
class MainMenus : public QObject {
    Q_OBJECT

public:
    explicit MainMenus(QMainWindow* window);

    QAction* Action(const QString& name) const;
    QMenu* Popup() const { return popup_; }

    ViewState CurrentView() const;
    void ApplyView(const ViewState& view);
    // Greys out the line sub-items while lines are hidden.
    void EnableLineItems(bool enabled);

private:
    QAction* Add(QMenu* menu, const QString& name, const QString& caption);
    QAction* AddCheck(QMenu* menu, const QString& name, const QString& caption, QActionGroup* group = nullptr);
    QMenu* AddMenu(QMenu* parent, const QString& name, const QString& caption);
    void BuildFile(QMenu* menu);
    void BuildEdit(QMenu* menu);
    void BuildAnalysis(QMenu* menu);
    void BuildView(QMenu* menu);
    void BuildNameStyle(QMenu* menu, const QString& prefix);
    void BuildHelp(QMenu* menu);
    void BuildPopup();
    NameStyle ReadStyle(const QString& prefix) const;
    void ApplyStyle(const QString& prefix, const NameStyle& style);
    bool Checked(const QString& name) const;
    void SetChecked(const QString& name, bool checked);

    QMainWindow* window_;
    QMenu* popup_ = nullptr;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};

}  // namespace lineara
