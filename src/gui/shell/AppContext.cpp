#include "shell/AppContext.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "shell/QtLauncher.h"
#include "shell/QtMessages.h"
#include "shell/QtSettingsStore.h"
#include "shell/ScreenFit.h"
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
    // A name typed without an extension takes the chosen filter's.
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& f) {
        dlg.setDefaultSuffix(f.contains("*.xlsx") && !f.contains("*.amx") ? "xlsx" : "amx");
    });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().front();
}

std::optional<SaveChoices> FileDialogs::ConfigureSave(QWidget* parent, const SaveChoices& enabled) {
    TConfigureSaveForm dlg(enabled, parent);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Choices();
}

std::optional<QString> FileDialogs::ChooseSheet(QWidget* parent, const QString& fileName,
                                                const QStringList& sheets) {
    QDialog dlg(parent);
    dlg.setObjectName("SheetDialog");
    dlg.setWindowTitle("Open Sheet");
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(new QLabel(QFileInfo(fileName).fileName() + " holds several sheets. Open:", &dlg));
    auto* list = new QListWidget(&dlg);
    list->setObjectName("SheetList");
    list->addItems(sheets);
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    if (dlg.exec() != QDialog::Accepted || !list->currentItem()) return std::nullopt;
    return list->currentItem()->text();
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
    ScreenFitFilter::Install();
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
