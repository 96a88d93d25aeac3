#pragma once
// The Control Limit Calculations window: one tab per chart code, each with its
// own fields, method choice and report pane. It reads the active tab into a
// ControlLimitRequest, lets the core check and compute it, and shows the
// report; the commands (save, print, Edit menu, resize) act on the active tab.
#include <QMainWindow>
#include <array>

#include "spc/ControlLimitCalc.h"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace amx {
struct Session;
}

namespace amx::gui {

class ReportPane;

class TControl_Limit_Form : public QMainWindow {
    Q_OBJECT
public:
    explicit TControl_Limit_Form(Session& session, QWidget* parent = nullptr);

    // The tab shown, as its chart code (1 "X-Bar" to 10 "u").
    int ActiveChart() const;
    void SetActiveChart(int chartType);
    ReportPane* PaneOf(int chartType) const;
    ReportPane* ActivePane() const { return PaneOf(ActiveChart()); }
    double FontScale() const { return scale_; }

    // "&Action" on the active tab.
    void CalcButtonClick();
    // The enlarge command: scales the window and all ten panes' fonts alike.
    void FormResize(QRect workArea = {});
    void ReturnClick();
    void EditCommand(const QString& itemName);
    void UpdateEditMenu();

private:
    struct Tab {
        QWidget* page = nullptr;
        QLabel* centreLabel = nullptr;
        QLineEdit* centre = nullptr;
        QLabel* statisticLabel = nullptr;
        QLineEdit* statistic = nullptr;
        QLabel* nLabel = nullptr;
        QLineEdit* n = nullptr;
        QLineEdit* stdErr = nullptr;
        QGroupBox* methodGroup = nullptr;
        QButtonGroup* methods = nullptr;
        ReportPane* pane = nullptr;
    };

    void BuildTab(int chartType);
    void BuildMenusAndTools();
    void MethodClick(int chartType, int method);
    void DecimalSpinEditChange();
    int SelectedMethod(const Tab& tab) const;
    const Tab& TabOf(int chartType) const { return tabs_[static_cast<size_t>(chartType - 1)]; }
    QWidget* ActiveEditControl() const;

    Session& session_;
    QTabWidget* pages_ = nullptr;
    QSpinBox* decimals_ = nullptr;
    QPushButton* calcButton_ = nullptr;
    QAction* resizeAction_ = nullptr;
    std::array<Tab, 10> tabs_{};
    double scale_ = 1.0;
};

}  // namespace amx::gui
