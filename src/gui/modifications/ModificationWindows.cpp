// The three file-modification dialogs as the main window and the data editor
// open them: each is created for one modal run on the program's session.
#include "modifications/MissingValuesDialog.h"
#include "modifications/ProcessIfDialog.h"
#include "modifications/TransformDialog.h"
#include "shell/AppContext.h"
#include "worksheet/DataForm.h"

namespace amx::gui {
namespace {

WindowClassRegistration missingRegistration("TMissingForm", [] { return new TMissingForm(App().session); });
WindowClassRegistration processIfRegistration("TProcessIFForm", [] { return new TProcessIFForm(App().session); });
WindowClassRegistration transformRegistration("TTransformForm", [] {
    auto* dialog = new TTransformForm(App().session);
    QObject::connect(dialog, &TTransformForm::WorksheetChanged, dialog, [](const WorksheetUndo& before) {
        if (TDataForm* editor = App().dataForm) {
            editor->Record(before, "Transform");
            editor->SetFileModified(true);
            editor->RefreshGrids();
        }
    });
    return dialog;
});

}  // namespace
}  // namespace amx::gui
