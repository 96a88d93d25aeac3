#pragma once
// The main window: a title and a menu bar only. Its menus open every procedure
// window, the data editor and the Process If dialog; it lists the open windows,
// takes data files dropped on it or named on the command line, switches the
// report number format, opens help and the maker's pages, and on closing asks
// about an unsaved worksheet and stores its position.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <vector>

#include "shell/InstanceLock.h"

class QAction;
class QMenu;

namespace amx::gui {

class RecentFilesMenu;

class TAmbroluxMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `args`: the command-line arguments after the program name.
    // `lockFolder`: where the instance locks live (empty: the runtime folder).
    explicit TAmbroluxMainForm(const QStringList& args = {}, const QString& lockFolder = QString());
    ~TAmbroluxMainForm() override;

    int MinFormWidth() const { return minFormWidth_; }
    int MinFormHeight() const { return minFormHeight_; }
    int CascadeOffset() const { return cascadeOffset_; }
    bool FirstActivation() const { return firstActivation_; }

    // The first activation's work: release the splash, read the number
    // format, load the command-line file. Later calls do nothing.
    void FormActivate();
    void SetSplash(QWidget* splash) { splash_ = splash; }

    // Menu commands other code and tests drive directly.
    void OpenWindowOfClass(const QString& className);
    void LoadAndShowDataEditor(const QString& path);
    void OpenRecentFile(const QString& path);
    void FormsMenuClick();
    void FileMenuClick();
    void ViewNextForm(bool onlyVisible);
    void HideAllForms();
    void HideChartWindows();
    // Files dropped on the window: the first local one is loaded.
    bool GetDroppedFiles(const QList<QUrl>& urls);

signals:
    // The user closed the main window and the program should end.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildMenus();
    QAction* AddItem(QMenu* menu, const char* caption, const char* name, const QKeySequence& key = {});
    QAction* AddWindowItem(QMenu* menu, const char* caption, const char* name, const char* windowClass,
                           const QKeySequence& key = {});
    void ComputeMinimumSize();
    void UpdateNextWindowItems();
    void NumberFormat1Click();
    void SetNumberFormatKind(bool commas);

    QStringList args_;
    InstanceLock instanceLock_;
    QPointer<QWidget> splash_;
    QMenu* formsMenu_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* viewForms_ = nullptr;
    QAction* viewNextVisible_ = nullptr;
    QAction* menuItemCommas_ = nullptr;
    QAction* menuItemNoCommas_ = nullptr;
    RecentFilesMenu* recent_ = nullptr;
    // The menu items that have a function key.
    std::vector<QAction*> keyed_;
    int minFormWidth_ = 0;
    int minFormHeight_ = 0;
    int cascadeOffset_ = 0;
    bool firstActivation_ = true;
};

}  // namespace amx::gui
