#include "records/QtDogDialogs.h"

#include "records/DogInfoForm.h"
#include "records/FindDogForm.h"

namespace lineara {

void QtDogDialogs::FindDog(const FindDogRequest& request) {
    FindDogForm form(state_, prompts_, request.caption, request.instruction, request.add_visible, parent_);
    form.exec();
}

void QtDogDialogs::EditDog(bool cancel_visible) {
    DogInfoForm form(state_, prompts_, cancel_visible, parent_);
    form.exec();
}

}  // namespace lineara
