#pragma once
// What every procedure window shares: the report pane under the window's own
// inputs, the Edit menu and pop-up menu, font up and down, the decimals box
// and "Clear Before Display", saving and printing the report, enlarging the
// window, "Return to" its caller, hiding instead of closing, and noticing
// worksheet changes on activation. A procedure window derives from it, puts
// its inputs into InputPanel(), and writes a run between BeginReport and
// EndReport.
#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "output/ReportOutput.h"
#include "report/OutputWriter.h"

class QAction;
class QCheckBox;
class QMenu;
class QSpinBox;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace amx {
struct Session;
}

namespace amx::gui {

class ReportPane;

struct ProcedureFormOptions {
    QString windowTitle;
    int defaultDecimals = 3;
    int minDecimals = 0;
    int maxDecimals = 9;
    int headingSize = 10;
    int bodySize = 9;
    bool clearBeforeDisplay = false;
    // The compute-variables window is released when closed; all others hide.
    bool releaseOnClose = false;
    // The window's help topic (0: the Help menu offers only the contents).
    int helpTopic = 0;
    // "&Process If" in the File menu, for windows that analyse worksheet data.
    bool processIfItem = true;
};

class TProcedureForm : public QMainWindow {
    Q_OBJECT
public:
    TProcedureForm(Session& session, const ProcedureFormOptions& options, QWidget* parent = nullptr);

    Session& session() const { return session_; }
    ReportPane* Pane() const { return pane_; }
    QWidget* InputPanel() const { return inputPanel_; }
    QVBoxLayout* InputLayout() const { return inputLayout_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* ViewMenu() const { return viewMenu_; }

    int Decimals() const;
    bool ClearBeforeDisplay() const;
    const ReportFontSizes& FontSizes() const { return fontSizes_; }
    double FormScale() const { return scale_; }

    // The writer for one run: the pane's content (with the user's edits) is
    // read back, the preamble written (cleared or separated by a page mark,
    // heading, "File: ", selection lines, file modifications: the active
    // rules' lines unless the window gives its own text). The heading and
    // body sizes, the clear flag and the file name are the window's own.
    OutputWriter& BeginReport(const std::string& title, const std::vector<std::string>& selectionLines = {},
                              const std::string& fileModText = {}, bool fromWorksheet = true);
    // Shows what the run wrote and scrolls to the end.
    void EndReport();

    // Font buttons, menu items and Ctrl + wheel. False when refused at a limit.
    bool IncreaseFont();
    bool DecreaseFont();

    // The enlarge button: scales against the given work area (the screen's
    // available geometry when none is given).
    void FormResize(QRect workArea = {});

    // Shown on behalf of another window: "Return to" goes back there.
    void SetCaller(QWidget* caller, const QString& callerName);
    void ReturnClick();

    // How "&Data Editor" shows the data editor with a window as its caller;
    // the shell sets it once (the item is hidden while it is unset).
    using DataEditorOpener = std::function<void(QWidget* caller, const QString& callerName)>;
    static DataEditorOpener& DataEditorHook();
    void DataEditorClick();

    // A sketch that "Print With Sketch" prints above the report.
    void SetSketch(SketchPainter sketch);
    // "&Copy Graph": the sketch to the clipboard as a picture, then the
    // notice "Graph Copied to Clipboard!"; nothing without a sketch.
    void CopySketch(QSize size = QSize(640, 480));

    // The Edit commands by item name ("Undo1", "Cut1", "Copy1", "Paste1",
    // "Delete1", "Select1"): on the active edit box, else on the pane.
    void EditCommand(const QString& itemName);
    // Enables the Edit menu's items for the active control.
    void UpdateEditMenu();
    QMenu* EditMenu() const { return editMenu_; }

    // "&Process If": the filter dialog, then this window's lists follow it.
    void ProcessIfClick();
    void SaveOutputClick();
    void PrintOutputClick();
    void PrintWithSketchClick();

protected:
    // Worksheet changes seen on activation: column lists to refresh, or
    // selections and results to discard. Both are called at most once per
    // activation, variables first.
    virtual void VariablesVersionChanged() {}
    virtual void DataVersionChanged() {}
    void CheckWorksheetVersions();

    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenusAndTools();
    void UpdateResizeButton();
    QWidget* ActiveEditControl() const;

    Session& session_;
    ProcedureFormOptions options_;
    ReportPane* pane_ = nullptr;
    QWidget* inputPanel_ = nullptr;
    QVBoxLayout* inputLayout_ = nullptr;
    QSpinBox* decimals_ = nullptr;
    QCheckBox* clearBox_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QAction* returnAction_ = nullptr;
    QAction* resizeAction_ = nullptr;
    QAction* printSketchAction_ = nullptr;
    QAction* copyGraphAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    bool placedOnShow_ = false;
    QAction* dataEditorAction_ = nullptr;

    OutputWriter writer_;
    ReportDocument doc_;
    ReportDocument before_;
    ReportFontSizes fontSizes_;
    double scale_ = 1.0;
    QPointer<QWidget> caller_;
    QString callerName_;
    SketchPainter sketch_;
    std::uint32_t seenVariablesVersion_ = 0;
    std::uint32_t seenDataVersion_ = 0;
};

}  // namespace amx::gui
