#pragma once
// What the desktop keeps for the life of the process: the session (worksheet,
// numeric view, status and services), the recent-files list, the window
// registry, and the dialogs that ask the user for file names. Tests replace
// the messages and the dialogs with scripted ones.
#include <QString>
#include <memory>
#include <optional>

#include "session/Session.h"
#include "shell/MRUFiles.h"
#include "shell/WindowRegistry.h"
#include "worksheet/DataFile.h"

class QWidget;

namespace amx::gui {

class TAmbroluxMainForm;
class TDataForm;

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Empty when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter);
    virtual QString SaveFileName(QWidget* parent, const QString& initialPath, const QString& filter);
    // `enabled` says which boxes may be used (and start checked); nullopt on Cancel.
    virtual std::optional<SaveChoices> ConfigureSave(QWidget* parent, const SaveChoices& enabled);
    // The sheet to open from a workbook with several; nullopt on Cancel.
    virtual std::optional<QString> ChooseSheet(QWidget* parent, const QString& fileName, const QStringList& sheets);
};

struct AppContext {
    AppContext();
    ~AppContext();

    Session session;
    TMRUFiles mru;
    WindowRegistry registry;
    std::unique_ptr<SettingsStore> settingsStore;
    std::unique_ptr<Messages> messagesImpl;
    std::unique_ptr<Launcher> launcherImpl;
    std::unique_ptr<FileDialogs> dialogs;

    TAmbroluxMainForm* mainForm = nullptr;
    TDataForm* dataForm = nullptr;

    // The data editor, created (with an empty worksheet) on first need.
    TDataForm* EnsureDataEditor();
};

// The process's context; created by main() (or a test) before any window.
AppContext& App();
void InstallApp(AppContext* app);

}  // namespace amx::gui
