#pragma once
// The data editor: the worksheet's "Data" and "Descriptions" grids with their
// commands (file, clipboard, rows and columns, case numbers, transpose), the
// keyboard and mouse rules of the grids and the status bar. There is one per
// process; it is created when first needed and then only hidden.
#include <QMainWindow>
#include <functional>
#include <QPointer>
#include <QTableView>

#include "worksheet/editor/EditUndo.h"
#include "worksheet/editor/GridEdit.h"

class QLabel;
class QLineEdit;
class QTabWidget;
class QUndoStack;

namespace amx::gui {

class DataGridModel;
class DescGridModel;
class RecentFilesMenu;
class TDataForm;

// A grid of the data editor: the data editor's keys (Ctrl+arrow jumps, Tab
// and Enter growth, Del), and the limit-row key filter on the description page.
class TWorksheetView : public QTableView {
    Q_OBJECT
public:
    TWorksheetView(TDataForm* form, bool descriptions, QWidget* parent);
    // The form is going away: keys and closing editors no longer reach it.
    void Detach() { form_ = nullptr; }
    bool IsDescriptions() const { return descriptions_; }
    bool Editing() const { return state() == QAbstractItemView::EditingState; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    TDataForm* form_;
    bool descriptions_;
};

class TDataForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TDataForm(QWidget* parent = nullptr);
    ~TDataForm() override;

    static QString OpenFilter();
    static QString SaveFilter();

    // The calling protocol: remembers the caller, offers "&Return to " + name.
    void ShowDataEditor(QWidget* caller, const QString& callingName);
    void ReturnToCaller();
    QWidget* CallingForm() const { return callingForm_; }
    QString CallingName() const { return callingName_; }

    // File commands. New and loading ask about an unsaved worksheet first and
    // return false when the user cancels (or the save fails).
    bool New();
    bool FileToDataGrid(const QString& fileName);
    bool Save();
    bool SaveAs();
    void SetFileModified(bool modified);
    void UpdateCaption();

    // Grid commands, on the page shown.
    void Copy();
    void Cut();
    void Clear();
    void Paste();
    bool PasteFromText(const QString& text);
    void DeleteRows();
    void InsertRows();
    void DeleteColumns();
    void InsertColumns();
    void InsertCaseNumbers();
    void Transpose();
    void CopyColumnNames();
    void CopyNamesAndAllData();
    void ChangeColumnNames();
    void StartNamesEditing(int column);
    void SizeColumnWidths();

    void UpdateStatusBarInfo();
    void SetStatusBarInfo(int panel, const QString& text);

    TWorksheetView* DataGrid() const { return dataGrid_; }
    TWorksheetView* DescGrid() const { return descGrid_; }
    TWorksheetView* ShownGrid() const;
    bool DataPageActive() const;
    void ShowDataPage(bool data);
    // The last mouse press was on the names row / on the row numbers.
    void SetLastPress(bool onNames, bool onRowNumbers, int column);
    bool LastPressOnNames() const { return pressOnNames_; }
    bool LastPressOnRowNumbers() const { return pressOnRowNumbers_; }
    // Re-reads the grids after the worksheet changed outside the editor.
    void RefreshGrids();

    // Keyboard rules the grids pass on.
    void JumpKey(TWorksheetView* grid, int key, bool extend);
    bool TabAtLastColumn(TWorksheetView* grid);
    void EnterKey(TWorksheetView* grid);
    void CellEdited(bool descriptions, int col, int row);

    // Undo and redo of every change to the worksheet text made here. A
    // change is recorded after it is made (Record), with the user's name
    // for it ("Paste"); undoing back to the last save clears "modified".
    QUndoStack* UndoStack() const { return undo_; }
    // growth: a row or column added by Enter or Tab, joined to the typing
    // just before it.
    void Record(WorksheetUndo before, const QString& name, bool growth = false);
    // After an undo or redo changed the worksheet.
    void UndoApplied(bool columnsMoved);

protected:
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    bool LoadFile(const QString& fileName, const std::function<void(int)>& progress);
    void BuildMenusAndTools();
    void BuildGrids();
    void ApplyOutcome(const EditOutcome& o, TWorksheetView* grid);
    void SetCurrent(TWorksheetView* grid, GridCell cell, bool select = true);
    void FitColumnWidths();
    void FitColumnWidth(int column);
    void ShowContextMenu(TWorksheetView* grid, const QPoint& globalPos, int col, int row, int where);
    void EndNamesEditing(bool commit, int moveTo);
    void UpdateEditMenu();
    void ResetReturn();

    DataGridModel* dataModel_ = nullptr;
    DescGridModel* descModel_ = nullptr;
    TWorksheetView* dataGrid_ = nullptr;
    TWorksheetView* descGrid_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QLabel* panels_[5] = {};
    QAction* return1_ = nullptr;
    QAction* returnButton_ = nullptr;
    QAction* paste1_ = nullptr;
    QAction* deleteColumns1_ = nullptr;
    QAction* insertColumns1_ = nullptr;
    QAction* deleteRows1_ = nullptr;
    QAction* insertRows1_ = nullptr;
    QAction* viewLevels1_ = nullptr;
    QPointer<QWidget> callingForm_;
    QString callingName_;
    RecentFilesMenu* recent_ = nullptr;
    QLineEdit* nameEditor_ = nullptr;
    int nameColumn_ = 0;
    int defaultColumnWidth_ = 50;
    bool pressOnNames_ = false;
    bool pressOnRowNumbers_ = false;
    int lastClickedColumn_ = 1;
    bool placed_ = false;
    QUndoStack* undo_ = nullptr;
    class QTimer* levelsTimer_ = nullptr;
};

}  // namespace amx::gui
