#pragma once

class QDialog;
class QDialogButtonBox;

namespace lineara {

// The "&OK" / "&Cancel" pair of the program's small dialogs (OKButton, the default, and
// CancelButton), wired to accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);

}  // namespace lineara
