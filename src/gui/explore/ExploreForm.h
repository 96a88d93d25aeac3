#pragma once
// The Explore window: chooses columns (or a measure split by reference
// columns), shows the result pages as grids and prints the combined report.
// Everything it shows is computed by the core (explore/Explore.h); the window
// only reads its controls into an ExploreRequest.
#include <QAbstractTableModel>
#include <array>
#include <memory>

#include "explore/Explore.h"
#include "procedure/ProcedureForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace amx::gui {

// One result grid: cells, shading and red "p-value" headers from the core.
class ExploreGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetGrid(ExploreGrid grid);
    const ExploreGrid& Grid() const { return grid_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ExploreGrid grid_;
};

class TWNormal_Form : public TProcedureForm {
    Q_OBJECT
public:
    explicit TWNormal_Form(Session& session, QWidget* parent = nullptr);

    // Tab indexes of PageControl_Main.
    enum Tab { SelectTab = 0, DescTab, QuartTab, NormTab, ConfTab, NatTolTab, CustomSelTab, CustomTab, OutputTab };

    // The controls as the window reads them.
    ExploreRequest Request() const;
    // Recomputes the page on show (result pages only).
    void ComputeCurrentPage();
    // The grid of a result page (null for the other pages).
    QTableView* GridOf(int tab) const;
    // The Output page's report, written and shown in the pane.
    void WriteOutputReport();
    // Refills the lists from the worksheet and picks the selection sheet.
    void RefreshVariables();

    // Commands.
    void SaveOutputTextClick();
    void PrintClick();
    void CopyGridClick();
    void OutputPrintClick();

protected:
    void VariablesVersionChanged() override;
    void DataVersionChanged() override;
    void RebuildResults();
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildSelectPage();
    void BuildResultPages();
    void BuildCustomPages();
    void BuildOutputPage();
    void BuildCommands();
    QWidget* ResultPage(int page);
    void UpdatePageVisibility();
    void UpdateStatus();
    void SelectionChanged();
    void MoveItems(QListWidget* from, QListWidget* to, bool all);
    void OpenLinked(const QString& className);
    bool HasSelection() const;
    void TabChanged(int index);

    ExploreState state_;
    QTabWidget* pages_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* title2_ = nullptr;
    QRadioButton* colRadio_ = nullptr;
    QRadioButton* refRadio_ = nullptr;
    QStackedWidget* selectStack_ = nullptr;  // several columns / one column
    QStackedWidget* modeStack_ = nullptr;    // column / reference analysis
    QLabel* singleName_ = nullptr;
    QListWidget* colVar_ = nullptr;
    QListWidget* analysisVar_ = nullptr;
    QListWidget* dataVar_ = nullptr;
    QLineEdit* measure_ = nullptr;
    int measureColumn_ = 0;
    std::unique_ptr<ExpTestMonitor> monitor_;  // state_.monitor
    QListWidget* indVar_ = nullptr;
    QComboBox* conf_ = nullptr;
    QCheckBox* pool_ = nullptr;
    QCheckBox* poolNT_ = nullptr;
    QListWidget* custom_ = nullptr;
    QListWidget* output_ = nullptr;
    std::array<QTableView*, ExplorePageCount> grids_{};
    std::array<ExploreGridModel*, ExplorePageCount> models_{};
    std::array<QLabel*, ExplorePageCount> captions_{};
    QLabel* statusAnalysis_ = nullptr;
    QLabel* statusFileMod_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    bool computing_ = false;
};

}  // namespace amx::gui
