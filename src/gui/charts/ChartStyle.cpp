#include "charts/ChartStyle.h"

#include <cmath>
#include <limits>
#include <qcustomplot.h>

#include "common/Sentinels.h"

namespace amx::gui {
namespace {

const char* TitleName = "ChartTitle";
const char* FootnoteName = "ChartFootnote";

QVector<double> WithGaps(const std::vector<double>& v) {
    QVector<double> out;
    out.reserve(static_cast<int>(v.size()));
    for (double d : v) out.push_back(d == MissingValue ? std::numeric_limits<double>::quiet_NaN() : d);
    return out;
}

template <class T>
T* FindElement(QCustomPlot* plot, const char* name) {
    QCPLayoutGrid* grid = plot->plotLayout();
    for (int i = 0; i < grid->elementCount(); ++i)
        if (auto* e = qobject_cast<T*>(grid->elementAt(i)); e && e->objectName() == name) return e;
    return nullptr;
}

}  // namespace

ChartConventions& ChartConventions::Instance() {
    static ChartConventions instance;
    return instance;
}

void ChartConventions::SetBlackAndWhite(bool on) {
    if (on == blackAndWhite_) return;
    blackAndWhite_ = on;
    emit blackAndWhiteChanged(on);
}

QColor RoleColor(ChartRole role) {
    if (ChartConventions::Instance().BlackAndWhite()) {
        switch (role) {
        case ChartRole::Data2:
        case ChartRole::Zone: return QColor(96, 96, 96);
        case ChartRole::Data3: return QColor(160, 160, 160);
        default: return Qt::black;
        }
    }
    switch (role) {
    case ChartRole::Data: return Qt::blue;
    case ChartRole::Data2: return QColor(0, 128, 0);
    case ChartRole::Data3: return QColor(128, 0, 128);
    case ChartRole::Centre: return QColor(0, 128, 0);
    case ChartRole::Limit: return Qt::red;
    case ChartRole::SpecLimit: return QColor(128, 0, 0);
    case ChartRole::Zone: return QColor(128, 128, 128);
    case ChartRole::Highlight: return Qt::red;
    }
    return Qt::black;
}

QPen RolePen(ChartRole role, double width) {
    QPen pen(RoleColor(role), width);
    // Without colour, the kinds of line stay apart by their dashes.
    if (ChartConventions::Instance().BlackAndWhite()) {
        if (role == ChartRole::Limit) pen.setStyle(Qt::DashLine);
        else if (role == ChartRole::SpecLimit) pen.setStyle(Qt::DashDotLine);
        else if (role == ChartRole::Zone) pen.setStyle(Qt::DotLine);
    } else if (role == ChartRole::Zone) {
        pen.setStyle(Qt::DotLine);
    }
    return pen;
}

QStringList ChartTitleLines(const QString& userChartTitle, const QStringList& titleLines) {
    QStringList lines;
    if (!userChartTitle.isEmpty()) lines << userChartTitle;
    lines << titleLines;
    return lines;
}

void ApplyChartConventions(QCustomPlot* plot) {
    plot->setBackground(Qt::white);
    plot->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot->setSelectionRectMode(QCP::srmZoom);
    plot->selectionRect()->setPen(QPen(Qt::black, 1, Qt::DotLine));
    plot->selectionRect()->setBrush(Qt::white);
    plot->legend->setVisible(false);
}

void SetChartTitle(QCustomPlot* plot, const QStringList& lines) {
    const QString text = lines.join('\n');
    auto* title = FindElement<QCPTextElement>(plot, TitleName);
    if (!title) {
        plot->plotLayout()->insertRow(0);
        title = new QCPTextElement(plot, text, QFont("Arial", 12, QFont::Bold));
        title->setObjectName(TitleName);
        plot->plotLayout()->addElement(0, 0, title);
    }
    title->setText(text);
}

QCPTextElement* ChartTitleElement(QCustomPlot* plot) { return FindElement<QCPTextElement>(plot, TitleName); }

QString ChartTitle(QCustomPlot* plot) {
    auto* title = FindElement<QCPTextElement>(plot, TitleName);
    return title ? title->text() : QString();
}

void SetChartFootnote(QCustomPlot* plot, const QString& text) {
    auto* note = FindElement<QCPTextElement>(plot, FootnoteName);
    if (text.isEmpty()) {
        if (note) {
            plot->plotLayout()->remove(note);
            plot->plotLayout()->simplify();
        }
        return;
    }
    if (!note) {
        const int row = plot->plotLayout()->rowCount();
        plot->plotLayout()->insertRow(row);
        note = new QCPTextElement(plot, text, QFont("Arial", 8));
        note->setObjectName(FootnoteName);
        note->setLayer("axes");
        plot->plotLayout()->addElement(row, 0, note);
    }
    note->setText(text);
}

QString ChartFootnote(QCustomPlot* plot) {
    auto* note = FindElement<QCPTextElement>(plot, FootnoteName);
    return note ? note->text() : QString();
}

void SetAxisDecimalPlaces(QCustomPlot* plot, int places) {
    if (places < 0) {
        // "#,##0.#########": up to nine decimals, trailing zeros dropped.
        plot->yAxis->setNumberFormat("g");
        plot->yAxis->setNumberPrecision(9);
    } else {
        plot->yAxis->setNumberFormat("f");
        plot->yAxis->setNumberPrecision(places);
    }
    // Thousands separators as in "#,##0".
    QLocale loc = plot->locale();
    loc.setNumberOptions(QLocale::DefaultNumberOptions);
    plot->setLocale(loc);
}

QString AxisDecimalPlacesCaption(int places) {
    return places < 0 ? QString("Axis Decimal &Places (Floating)")
                      : QString("Axis Decimal &Places (%1)").arg(places);
}

QCPGraph* AddPointSeries(QCustomPlot* plot, const std::vector<double>& x, const std::vector<double>& y,
                         ChartRole role, bool joined, const QString& name) {
    QCPGraph* g = plot->addGraph();
    g->setName(name);
    g->setData(WithGaps(x), WithGaps(y), true);
    g->setPen(RolePen(role));
    g->setLineStyle(joined ? QCPGraph::lsLine : QCPGraph::lsNone);
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, RoleColor(role), Qt::white, 5));
    return g;
}

QCPGraph* AddStepLimit(QCustomPlot* plot, const std::vector<double>& x, const std::vector<double>& y,
                       ChartRole role, const QString& name) {
    QCPGraph* g = plot->addGraph();
    g->setName(name);
    // lsStepCenter draws each value from half way after its left neighbour to
    // half way before its right one; the ends get half a step of their own.
    QVector<double> xs = WithGaps(x), ys = WithGaps(y);
    if (xs.size() >= 1) {
        const double first = xs.size() > 1 ? xs[1] - xs[0] : 1.0;
        const double last = xs.size() > 1 ? xs[xs.size() - 1] - xs[xs.size() - 2] : 1.0;
        xs.prepend(xs.front() - first / 2);
        ys.prepend(ys.front());
        xs.append(xs.back() + last / 2);
        ys.append(ys.back());
    }
    g->setData(xs, ys, true);
    g->setPen(RolePen(role));
    g->setLineStyle(QCPGraph::lsStepCenter);
    g->setScatterStyle(QCPScatterStyle::ssNone);
    return g;
}

ChartZoom::ChartZoom(QCustomPlot* plot) : QObject(plot), plot_(plot) {
    auto changed = [this] { RangesChanged(); };
    connect(plot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, changed);
    connect(plot->yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, changed);
    Reset();
}

void ChartZoom::Reset() {
    x0_ = plot_->xAxis->range().lower;
    x1_ = plot_->xAxis->range().upper;
    y0_ = plot_->yAxis->range().lower;
    y1_ = plot_->yAxis->range().upper;
    if (zoomed_) {
        zoomed_ = false;
        emit zoomedChanged(false);
    }
}

void ChartZoom::ZoomOut() {
    restoring_ = true;
    plot_->xAxis->setRange(x0_, x1_);
    plot_->yAxis->setRange(y0_, y1_);
    restoring_ = false;
    plot_->replot();
    if (zoomed_) {
        zoomed_ = false;
        emit zoomedChanged(false);
    }
}

void ChartZoom::RangesChanged() {
    if (restoring_ || zoomed_) return;
    // Only the user's zooms and drags count: the window draws with
    // interactions idle, and calls Reset afterwards.
    zoomed_ = true;
    emit zoomedChanged(true);
}

}  // namespace amx::gui
