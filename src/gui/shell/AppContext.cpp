#include "shell/AppContext.h"

#include <QFileDialog>

#include "shell/QtLauncher.h"
#include "shell/QtMessages.h"
#include "shell/QtSettingsStore.h"
#include "shell/ShellDefaults.h"
#include "spc/ControlTests.h"
#include "worksheet/ConfigureSaveDialog.h"
#include "worksheet/DataForm.h"

namespace amx::gui {
namespace {
AppContext* g_app = nullptr;
}

QString FileDialogs::OpenFileName(QWidget* parent, const QString& folder, const QString& filter) {
    QFileDialog dlg(parent, "Open", folder, filter);
    dlg.setObjectName("OpenDialog");
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().front();
}

QString FileDialogs::SaveFileName(QWidget* parent, const QString& initialPath, const QString& filter) {
    QFileDialog dlg(parent, "Save As", initialPath, filter);
    dlg.setObjectName("SaveDialog");
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix("amx");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().front();
}

std::optional<SaveChoices> FileDialogs::ConfigureSave(QWidget* parent, const SaveChoices& enabled) {
    TConfigureSaveForm dlg(enabled, parent);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Choices();
}

AppContext::AppContext()
    : settingsStore(std::make_unique<QtSettingsStore>()),
      messagesImpl(std::make_unique<QtMessages>()),
      launcherImpl(std::make_unique<QtLauncher>()),
      dialogs(std::make_unique<FileDialogs>()) {
    session.settings = settingsStore.get();
    session.messages = messagesImpl.get();
    session.launcher = launcherImpl.get();
    mru.KeyStr = MRUKey;
    mru.ReadList(session);
    session.ControlTests = LoadControlTestSettings(session);
    InstallApp(this);
}

AppContext::~AppContext() {
    if (g_app == this) g_app = nullptr;
}

TDataForm* AppContext::EnsureDataEditor() {
    if (!dataForm) {
        dataForm = new TDataForm;
        registry.Track(dataForm);
    }
    return dataForm;
}

AppContext& App() { return *g_app; }
void InstallApp(AppContext* app) { g_app = app; }

}  // namespace amx::gui
