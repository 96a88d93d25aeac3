#pragma once
// "Variables Chart Setup": the user describes a variables control chart. The
// window reads its controls into the core setup state, shows the lists and
// visibility core gives back, and on "&Action" commits the checked settings
// and hands the chart selections to the chart window.
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "spc/VarChartSetup.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace amx {
struct Session;
}

namespace amx::gui {

// Where "&Action" hands over: the committed setup and its selections. Set by
// the chart window; until one exists the setup keeps them for itself.
struct VarChartHandoff {
    using Show = std::function<void(QWidget* setup, const VarChartSetup&, const std::vector<ChartSelection>&)>;
    using Discard = std::function<void()>;
    static Show& ShowHook();
    static Discard& DiscardHook();
};

class TForm_VARsetup : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_VARsetup(Session& session, QWidget* parent = nullptr);

    const VarSetupState& State() const { return st_; }
    const VarChartSetup& Committed() const { return committed_; }
    const std::vector<ChartSelection>& Selections() const { return selections_; }

    // Resets when no data are loaded or DataVersion moved since the last reset.
    void FormActivate();
    void ResetForm();
    void ActionClick();
    Q_INVOKABLE void ShowFromCaller(QWidget* caller, QString callerName);

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    // Controls into the state (texts and ticks), and state into the controls.
    void ReadTexts();
    void ShowState();
    void SelectionChanged();
    void RefreshCaption();
    QString ColumnItem(int column) const;
    std::vector<int> ColumnsOf(const QListWidget* list) const;
    std::vector<int> SelectedOf(const QListWidget* list) const;
    void FillList(QListWidget* list, const std::vector<int>& columns);
    void UpdateEditMenu();

    Session& session_;
    VarSetupState st_;
    VarChartSetup committed_;
    std::vector<ChartSelection> selections_;
    std::uint32_t resetVersion_ = 0;
    bool everReset_ = false;
    bool updating_ = false;
    double scale_ = 1.0;
    QWidget* caller_ = nullptr;
    QString callerName_;

    QListWidget* dataList_ = nullptr;
    QListWidget* measureList_ = nullptr;
    QLabel* measureCaption_ = nullptr;
    QLabel* sampleCaption_ = nullptr;
    QToolButton* sampleButton_ = nullptr;
    QLineEdit* sampleEdit_ = nullptr;
    QCheckBox* constantBox_ = nullptr;
    QSpinBox* sizeSpin_ = nullptr;
    QLabel* setsCaption_ = nullptr;
    QToolButton* setsButton_ = nullptr;
    QLineEdit* setsEdit_ = nullptr;
    QLabel* groupsCaption_ = nullptr;
    QListWidget* groupList_ = nullptr;
    std::array<QToolButton*, 3> groupButtons_{};
    std::array<QToolButton*, 3> measureButtons_{};
    QGroupBox* layoutBox_ = nullptr;
    QRadioButton* byColumns_ = nullptr;
    QRadioButton* byRows_ = nullptr;
    QComboBox* locType_ = nullptr;
    QComboBox* dispType_ = nullptr;
    QComboBox* locLimit_ = nullptr;
    QComboBox* locCenter_ = nullptr;
    QComboBox* dispLimit_ = nullptr;
    QComboBox* dispCenter_ = nullptr;
    QLabel* locLimitCaption_ = nullptr;
    QLabel* locCenterCaption_ = nullptr;
    QLabel* dispLimitCaption_ = nullptr;
    QLabel* dispCenterCaption_ = nullptr;
    QGroupBox* locUser_ = nullptr;
    QGroupBox* dispUser_ = nullptr;
    std::array<QCheckBox*, 3> locUserBox_{}, dispUserBox_{};
    std::array<QLineEdit*, 3> locUserEdit_{}, dispUserEdit_{};
    QLabel* muCaption_ = nullptr;
    QLineEdit* muEdit_ = nullptr;
    QLabel* sigmaCaption_ = nullptr;
    QLineEdit* sigmaEdit_ = nullptr;
    QLabel* mrCaption_ = nullptr;
    QLineEdit* mrEdit_ = nullptr;
    QLabel* stdErrCaption_ = nullptr;
    QLineEdit* stdErrEdit_ = nullptr;
    QComboBox* axisLabels_ = nullptr;
    QCheckBox* positiveBox_ = nullptr;
    QPushButton* actionButton_ = nullptr;
};

}  // namespace amx::gui
