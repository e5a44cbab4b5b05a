#pragma once

#include "app/AppState.h"
#include "app/Prompts.h"
#include "records/ChartActions.h"

#include <QPointer>
#include <QWidget>

namespace lineara {

// The desktop windows behind the chart's dog operations: the find dialog and the editor.
class QtDogDialogs : public DogDialogs {
public:
    QtDogDialogs(AppState& state, Prompts& prompts, QWidget* parent)
        : state_(state), prompts_(prompts), parent_(parent) {}

    void FindDog(const FindDogRequest& request) override;
    void EditDog(bool cancel_visible) override;

private:
    AppState& state_;
    Prompts& prompts_;
    QPointer<QWidget> parent_;
};

}  // namespace lineara
