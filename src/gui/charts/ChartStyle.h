#pragma once
// The conventions every chart window shares: the colours (and the one
// black-and-white flag all charts follow), limits drawn as steps, chart titles
// led by the user's own title line, the axis decimal places, the footnote of
// file modifications and the zoom rectangle. Only chart sources include
// qcustomplot.h; this header forward-declares it.
#include <QColor>
#include <QObject>
#include <QPen>
#include <QString>
#include <QStringList>
#include <vector>

class QCustomPlot;
class QCPGraph;
class QCPTextElement;

namespace amx::gui {

// Roles a chart gives its lines and points; the colour follows the role and
// the black-and-white flag.
enum class ChartRole { Data, Data2, Data3, Centre, Limit, SpecLimit, Zone, Highlight };

class ChartConventions : public QObject {
    Q_OBJECT
public:
    static ChartConventions& Instance();
    bool BlackAndWhite() const { return blackAndWhite_; }
    void SetBlackAndWhite(bool on);
    void ToggleBlackAndWhite() { SetBlackAndWhite(!blackAndWhite_); }

signals:
    // Every chart window redraws its chart.
    void blackAndWhiteChanged(bool on);

private:
    bool blackAndWhite_ = false;
};

QColor RoleColor(ChartRole role);
QPen RolePen(ChartRole role, double width = 1.0);

// The title lines of a chart: the user's chart title first when it is set.
QStringList ChartTitleLines(const QString& userChartTitle, const QStringList& titleLines);

// White background, drag and wheel zoom on both axes, the zoom rectangle with
// a white fill and a black dotted outline, and the number locale of reports.
void ApplyChartConventions(QCustomPlot* plot);
// Sets (or replaces) the title element above the plot; the lines are joined
// by line breaks. Its object name is "ChartTitle", so a window can open the
// title editor on a click (QCustomPlot::itemClick does not cover it).
void SetChartTitle(QCustomPlot* plot, const QStringList& lines);
QString ChartTitle(QCustomPlot* plot);
// The title element, or null when the chart has no title.
QCPTextElement* ChartTitleElement(QCustomPlot* plot);
// One footnote line under the plot (the active file modifications); an empty
// text removes it.
void SetChartFootnote(QCustomPlot* plot, const QString& text);
QString ChartFootnote(QCustomPlot* plot);

// Vertical axis labels "#,##0." with `places` zeros, or floating for -1.
void SetAxisDecimalPlaces(QCustomPlot* plot, int places);
// "Axis Decimal &Places (3)" or "Axis Decimal &Places (Floating)".
QString AxisDecimalPlacesCaption(int places);

// A series of points; MissingValue entries leave gaps.
QCPGraph* AddPointSeries(QCustomPlot* plot, const std::vector<double>& x, const std::vector<double>& y,
                         ChartRole role, bool joined, const QString& name = {});
// A limit that may change from point to point, drawn as steps centred on the
// points (each value spans half way to its neighbours); MissingValue leaves a
// gap.
QCPGraph* AddStepLimit(QCustomPlot* plot, const std::vector<double>& x, const std::vector<double>& y,
                       ChartRole role, const QString& name = {});

// Remembers the axis ranges before the first zoom or drag, so "Zoom Out" can
// bring them back.
class ChartZoom : public QObject {
    Q_OBJECT
public:
    explicit ChartZoom(QCustomPlot* plot);
    bool Zoomed() const { return zoomed_; }
    // Call after the chart is drawn: its ranges become the ones to return to.
    void Reset();
    void ZoomOut();

signals:
    void zoomedChanged(bool zoomed);

private:
    void RangesChanged();
    QCustomPlot* plot_;
    bool zoomed_ = false;
    bool restoring_ = false;
    double x0_ = 0, x1_ = 1, y0_ = 0, y1_ = 1;
};

}  // namespace amx::gui
