#include "worksheet/GridDataModule.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>

#include "common/SafeWrite.h"
#include "report/MPrinter.h"
#include "shell/AppContext.h"
#include "shell/MainForm.h"
#include "worksheet/editor/GridText.h"

namespace amx::gui {
namespace {

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// The orientation last chosen for grid printing, kept apart from reports.
QPageLayout::Orientation g_gridOrientation = QPageLayout::Portrait;

GridCellReader Reader(const QTableView* grid) {
    return [grid](int c, int r) { return TGridDataModule::CellText(grid, c, r).toStdString(); };
}

// A running print job as the grid printer sees it.
class JobSink : public GridJobSink {
public:
    explicit JobSink(TMPrinter& job) : job_(job) {}
    int LinesPerPage() override { return Grid().LinesPerPage(); }
    int LinesLeftOnPage() override { return Grid().LinesLeftOnPage(); }
    void PageFeed() override { job_.NewPage(); }
    void EmptyLine() override { Grid().NewLine(); }
    void Heading(const std::string& text) override {
        job_.Font = TextFont{FaceArial, 10, true};
        job_.PrnOutStr(text);
        job_.NewLine();
    }
    void Line(const std::string& text, bool underline) override {
        Grid().Font.underline = underline;
        job_.PrnOutStr(text);
        job_.NewLine();
    }

private:
    TMPrinter& Grid() {
        job_.Font = TextFont{FaceCourier, 9};
        return job_;
    }
    TMPrinter& job_;
};

}  // namespace

QString TGridDataModule::CellText(const QTableView* grid, int col, int row) {
    const QAbstractItemModel* m = grid->model();
    if (!m) return {};
    if (row == 0 && col == 0) return {};
    if (row == 0) return m->headerData(col - 1, Qt::Horizontal, Qt::DisplayRole).toString();
    if (col == 0) return m->headerData(row - 1, Qt::Vertical, Qt::DisplayRole).toString();
    const QModelIndex i = m->index(row - 1, col - 1);
    const QVariant edit = m->data(i, Qt::EditRole);
    return edit.isValid() ? edit.toString() : m->data(i, Qt::DisplayRole).toString();
}

bool TGridDataModule::IsTopLeftCell(const QTableView* grid, QPoint p) {
    return p.x() < grid->verticalHeader()->width() && p.y() < grid->horizontalHeader()->height();
}

void TGridDataModule::SelectAllCells(QTableView* grid) { grid->selectAll(); }

GridRect TGridDataModule::Selection(const QTableView* grid) {
    const QItemSelectionModel* sm = grid->selectionModel();
    GridRect r;
    if (!sm) return r;
    const QItemSelection sel = sm->selection();
    if (sel.isEmpty()) {
        const QModelIndex cur = sm->currentIndex();
        if (cur.isValid()) r = GridRect::At({cur.column() + 1, cur.row() + 1});
        return r;
    }
    r = {INT_MAX, INT_MAX, 0, 0};
    for (const QItemSelectionRange& range : sel) {
        r.left = std::min(r.left, range.left() + 1);
        r.top = std::min(r.top, range.top() + 1);
        r.right = std::max(r.right, range.right() + 1);
        r.bottom = std::max(r.bottom, range.bottom() + 1);
    }
    return r;
}

bool TGridDataModule::SelectionIsRange(const QTableView* grid) { return !Selection(grid).IsCell(); }

bool TGridDataModule::CellInSelection(const QTableView* grid, int col, int row) {
    const GridRect r = Selection(grid);
    return col >= r.left && col <= r.right && row >= r.top && row <= r.bottom;
}

bool TGridDataModule::AllSelected(const QTableView* grid) {
    const QAbstractItemModel* m = grid->model();
    if (!m) return false;
    const GridRect r = Selection(grid);
    return r.left == 1 && r.top == 1 && r.right == m->columnCount() && r.bottom == m->rowCount() &&
           !(r.IsCell() && m->rowCount() * m->columnCount() > 1);
}

void TGridDataModule::SelectBlock(QTableView* grid, GridRect b) {
    QAbstractItemModel* m = grid->model();
    QItemSelectionModel* sm = grid->selectionModel();
    if (!m || !sm) return;
    const QModelIndex tl = m->index(b.top - 1, b.left - 1), br = m->index(b.bottom - 1, b.right - 1);
    sm->setCurrentIndex(tl, QItemSelectionModel::NoUpdate);
    sm->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
}

QString TGridDataModule::SelectionText(const QTableView* grid, bool withHeaders) {
    GridRect r = Selection(grid);
    if (withHeaders) r.left = r.top = 0;
    return QString::fromStdString(GridBlockText(Reader(grid), r));
}

void TGridDataModule::CopySelection(const QTableView* grid) {
    WaitCursor wait;
    QApplication::clipboard()->setText(SelectionText(grid, AllSelected(grid)));
}

bool TGridDataModule::SaveGridText(const QTableView* grid, const QString& fileName) {
    WaitCursor wait;
    QString text;
    if (SelectionIsRange(grid)) {
        text = SelectionText(grid, false);
    } else {
        const QAbstractItemModel* m = grid->model();
        text = QString::fromStdString(GridBlockText(Reader(grid), {0, 0, m->columnCount(), m->rowCount()}));
    }
    const QByteArray bytes = text.toUtf8();
    return SafeWriteFile(fileName.toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) ==
           SafeWriteResult::Written;
}

void TGridDataModule::SaveGridTextDialog(QWidget* parent, const QTableView* grid) {
    QFileDialog dlg(parent, "Save", QString(), "Text Files (*.txt);;All Files (*)");
    dlg.setObjectName("GridSaveDialog");
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix("txt");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    if (!SaveGridText(grid, dlg.selectedFiles().front())) App().session.messages->Error("Error Writing File");
}

void TGridDataModule::PrintGrid(QTableView* grid, const QString& pageTitle, const QString& heading) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(g_gridOrientation);
    if (App().mainForm) printer.setDocName(App().mainForm->windowTitle());
    QPrintDialog dlg(&printer, grid);
    dlg.setObjectName("PrintDialog");
    const bool range = SelectionIsRange(grid);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, range);
    if (range) dlg.setPrintRange(QAbstractPrintDialog::Selection);
    if (dlg.exec() != QDialog::Accepted) return;
    g_gridOrientation = printer.pageLayout().orientation();
    const bool landscape = g_gridOrientation == QPageLayout::Landscape;

    const QAbstractItemModel* m = grid->model();
    GridRect area = {1, 1, m->columnCount(), m->rowCount()};
    if (dlg.printRange() == QAbstractPrintDialog::Selection) area = Selection(grid);

    // Margins in thousandths of an inch: left, right, bottom, top.
    const double l = 0.75, r = landscape ? 0.75 : 0.5, b = 0.5, t = landscape ? 1.0 : 0.6;
    printer.setPageMargins(QMarginsF(l * 25.4, t * 25.4, r * 25.4, b * 25.4), QPageLayout::Millimeter);

    QPainter p;
    if (!p.begin(&printer)) return;
    QFont mono("Courier New", 9);
    QFont bold("Arial", 10, QFont::Bold);
    p.setFont(mono);
    const QFontMetrics fm(mono, &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int lineH = fm.lineSpacing();
    const int linesPerPage = std::max(6, page.height() / lineH);
    const int charsPerLine = std::max(10, page.width() / std::max(1, fm.horizontalAdvance('0')));
    const auto pages = LayoutGridPrint(Reader(grid), area, linesPerPage - 3 - 4, charsPerLine - 1);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i) printer.newPage();
        int y = lineH;
        p.setFont(QFont("Arial", 8));
        if (i == 0) {
            p.drawText(0, y, pageTitle);
            p.drawText(QRect(0, 0, page.width(), lineH), Qt::AlignRight, QDate::currentDate().toString());
        } else {
            // The footer, from the second page on.
            p.drawText(QRect(0, page.height() - lineH, page.width(), lineH), Qt::AlignLeft,
                       QString("Page (%1)").arg(i + 1));
        }
        y += lineH * 2;
        p.setFont(bold);
        p.drawText(0, y, heading);
        y += lineH * 2;
        QFont under = mono;
        under.setUnderline(true);
        p.setFont(under);
        p.drawText(0, y, QString::fromStdString(pages[i].header));
        p.setFont(mono);
        for (const auto& line : pages[i].lines) {
            y += lineH;
            p.drawText(0, y, QString::fromStdString(line));
        }
    }
    p.end();
}

void TGridDataModule::PrintGridInJob(TMPrinter& job, const QTableView* grid, const QString& heading) {
    const QAbstractItemModel* m = grid->model();
    if (!m) return;
    JobSink sink(job);
    const int rowsPerPage = sink.LinesPerPage() - 3;
    const int lineWidth = job.CharactersPerLine() - 1;
    amx::PrintGridInJob(Reader(grid), m->columnCount(), m->rowCount(), heading.toStdString(), rowsPerPage, lineWidth,
                   sink);
}

}  // namespace amx::gui
