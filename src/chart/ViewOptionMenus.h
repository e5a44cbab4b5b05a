#pragma once

#include "app/MainMenus.h"
#include "app/Prompts.h"
#include "app/SettingsRecord.h"

#include <QObject>

#include <functional>

class QWidget;

namespace lineara {

// What the View menu's items do: exclusive groups, switches, and the font, colour and
// line-offset dialogs. Content changes refill the chart; style changes only redraw it.
class ViewOptionMenus : public QObject {
    Q_OBJECT

public:
    struct Callbacks {
        std::function<void()> refill;
        std::function<void()> redraw;
    };

    ViewOptionMenus(MainMenus& menus, SettingsRecord& settings, Prompts& prompts, Callbacks callbacks,
                    QWidget* window);

    // The flag in the chart's corner switches the title style.
    void FlagClicked();

private:
    void Exclusive(const QStringList& group, const QString& chosen, const std::function<void()>& then);
    void Colour(const QString& item, qint32& colour);
    void Font(QString& font_name);
    void Offset();
    QAction* Action(const QString& name) const { return menus_.Action(name); }

    MainMenus& menus_;
    SettingsRecord& settings_;
    Prompts& prompts_;
    Callbacks callbacks_;
    QWidget* window_;
};

}  // namespace lineara
