#pragma once
// The commands every chart window offers for its chart, as tool buttons and
// menu items with their shortcuts: save, print and copy the chart, the shared
// black-and-white flag, zoom out, the vertical axis decimal places and the
// file-modification footnote; plus the hand cursor over the chart title and a
// click on the title opens the title editor.
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QCustomPlot;
class QMenu;
class QToolBar;
class QWidget;

namespace amx {
class Messages;
}

namespace amx::gui {

class ChartZoom;

class ChartWindowCommands : public QObject {
    Q_OBJECT
public:
    ChartWindowCommands(QCustomPlot* plot, QWidget* window, Messages& messages);

    // Adds the tool buttons and menu items; any of the four may be null.
    void AddTo(QToolBar* tools, QMenu* fileMenu, QMenu* editMenu, QMenu* viewMenu);

    // The window redraws its chart in the current colours.
    std::function<void()> redraw;
    // The active file modifications, one line (for the footnote).
    std::function<QString()> fileModText;

    ChartZoom* Zoom() const { return zoom_; }
    int AxisDecimals() const { return axisDecimals_; }
    void SetAxisDecimals(int places);  // -1 = floating
    void AddFileModifications();
    // The modal title editor on this chart.
    void EditTitles();

signals:
    void titleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OverTitle(const QPoint& pos) const;

    QCustomPlot* plot_;
    QWidget* window_;
    Messages& messages_;
    ChartZoom* zoom_;
    int axisDecimals_ = -1;
    QAction* save_;
    QAction* print_;
    QAction* copy_;
    QAction* blackWhite_;
    QAction* zoomOut_;
    QMenu* decimalsMenu_;
    QAction* fileMods_;
    QAction* editTitles_;
};

}  // namespace amx::gui
