#include "charts/ChartWindowCommands.h"

#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <qcustomplot.h>

#include "charts/ChartCommands.h"
#include "charts/ChartStyle.h"
#include "charts/ChartTitlesDialog.h"

namespace amx::gui {

ChartWindowCommands::ChartWindowCommands(QCustomPlot* plot, QWidget* window, Messages& messages)
    : QObject(window), plot_(plot), window_(window), messages_(messages), zoom_(new ChartZoom(plot)) {
    auto make = [this](const char* name, const QString& caption, const QString& tip) {
        auto* a = new QAction(caption, window_);
        a->setObjectName(name);
        a->setToolTip(tip);
        return a;
    };
    save_ = make("SaveGraph1", "Save &As...", "Save Graph");
    connect(save_, &QAction::triggered, this, [this] { SaveChart(plot_, window_, messages_); });
    print_ = make("PrintGraph1", "&Print...", "Print Graph");
    print_->setShortcut(QKeySequence("Ctrl+P"));
    connect(print_, &QAction::triggered, this, [this] { PrintChart(plot_, window_, messages_); });
    copy_ = make("CopyChart1", "&Copy Chart", "Copy Graph");
    copy_->setShortcut(QKeySequence("Ctrl+C"));
    connect(copy_, &QAction::triggered, this, [this] { CopyChart(plot_, messages_); });

    blackWhite_ = make("BlackWhite1", "&Black && White", "Color/BW");
    blackWhite_->setCheckable(true);
    blackWhite_->setChecked(ChartConventions::Instance().BlackAndWhite());
    connect(blackWhite_, &QAction::triggered, this, [] { ChartConventions::Instance().ToggleBlackAndWhite(); });
    connect(&ChartConventions::Instance(), &ChartConventions::blackAndWhiteChanged, this, [this](bool on) {
        blackWhite_->setChecked(on);
        if (redraw) redraw();
    });

    zoomOut_ = make("ZoomOut1", "&Zoom Out", "Zoom Out");
    zoomOut_->setShortcut(QKeySequence("Ctrl+Z"));
    zoomOut_->setEnabled(false);
    connect(zoomOut_, &QAction::triggered, zoom_, &ChartZoom::ZoomOut);
    connect(zoom_, &ChartZoom::zoomedChanged, zoomOut_, &QAction::setEnabled);

    decimalsMenu_ = new QMenu(AxisDecimalPlacesCaption(axisDecimals_), window_);
    decimalsMenu_->setObjectName("AxisDecimalPlaces1");
    auto* group = new QActionGroup(decimalsMenu_);
    for (int places = -1; places <= 9; ++places) {
        QAction* a = decimalsMenu_->addAction(places < 0 ? QString("&Floating") : QString("&%1").arg(places));
        a->setObjectName(places < 0 ? QString("AxisFloating") : QString("AxisDecimals%1").arg(places));
        a->setCheckable(true);
        a->setChecked(places == axisDecimals_);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, places] { SetAxisDecimals(places); });
    }

    fileMods_ = make("AddFileMods1", "Add File &Modifications to Chart", "Add File Modifications to Chart");
    connect(fileMods_, &QAction::triggered, this, &ChartWindowCommands::AddFileModifications);

    editTitles_ = make("EditTitles1", "Edit &Titles", "Edit Titles");
    editTitles_->setShortcut(QKeySequence("Ctrl+T"));
    connect(editTitles_, &QAction::triggered, this, &ChartWindowCommands::EditTitles);
    connect(this, &ChartWindowCommands::titleClicked, this, &ChartWindowCommands::EditTitles);

    plot_->setMouseTracking(true);
    plot_->installEventFilter(this);
}

void ChartWindowCommands::AddTo(QToolBar* tools, QMenu* fileMenu, QMenu* editMenu, QMenu* viewMenu) {
    if (tools) {
        tools->addAction(save_);
        tools->addAction(print_);
        tools->addAction(copy_);
        tools->addAction(blackWhite_);
        tools->addAction(zoomOut_);
        tools->addAction(editTitles_);
    }
    if (fileMenu) {
        fileMenu->addAction(save_);
        fileMenu->addAction(print_);
    }
    if (editMenu) {
        editMenu->addAction(copy_);
        editMenu->addAction(editTitles_);
        editMenu->addAction(fileMods_);
    }
    if (viewMenu) {
        viewMenu->addAction(blackWhite_);
        viewMenu->addAction(zoomOut_);
        viewMenu->addMenu(decimalsMenu_);
        connect(viewMenu, &QMenu::aboutToShow, this,
                [this] { blackWhite_->setChecked(ChartConventions::Instance().BlackAndWhite()); });
    }
}

void ChartWindowCommands::SetAxisDecimals(int places) {
    axisDecimals_ = places;
    SetAxisDecimalPlaces(plot_, places);
    decimalsMenu_->setTitle(AxisDecimalPlacesCaption(places));
    const QString name = places < 0 ? QString("AxisFloating") : QString("AxisDecimals%1").arg(places);
    if (auto* a = decimalsMenu_->findChild<QAction*>(name)) a->setChecked(true);
    plot_->replot();
}

void ChartWindowCommands::AddFileModifications() {
    const QString text = fileModText ? fileModText() : QString();
    // The report's text ends its lines with CR LF; the footnote is one line.
    SetChartFootnote(plot_, QString(text).replace("\r\n", "  ").replace('\n', "  ").remove('\r').trimmed());
    plot_->replot();
}

void ChartWindowCommands::EditTitles() {
    TForm_ChartTitles dlg(plot_, window_);
    dlg.exec();
}

bool ChartWindowCommands::OverTitle(const QPoint& pos) const {
    auto* e = qobject_cast<QCPTextElement*>(plot_->layoutElementAt(pos));
    return e && e->objectName() == "ChartTitle";
}

bool ChartWindowCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot_) {
        if (event->type() == QEvent::MouseMove) {
            const bool over = OverTitle(static_cast<QMouseEvent*>(event)->position().toPoint());
            plot_->setCursor(over ? Qt::PointingHandCursor : Qt::ArrowCursor);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && OverTitle(me->position().toPoint())) emit titleClicked();
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace amx::gui
