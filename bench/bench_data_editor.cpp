// The data editor on a large worksheet: how soon the grid is usable once a
// file of 1,000,000 rows x 10 columns has been read (target: under 0.5 s),
// scrolling to its end, and pasting 100,000 cells (target: under 1 s).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>

#include "GenerateWorksheet.h"
#include "shell/AppContext.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataForm.h"
#include "worksheet/GridDataModule.h"

using namespace amx;
using namespace amx::gui;

namespace {

QTemporaryDir& Dir() {
    static QTemporaryDir d;
    return d;
}

std::string BigFile() {
    static std::string path;
    if (path.empty()) {
        path = Dir().filePath("million.amx").toStdString();
        amx::bench::GenerateWorksheetFile(path, 1000000, 10);
    }
    return path;
}

TDataForm* Editor() {
    TDataForm* f = App().EnsureDataEditor();
    f->resize(900, 600);
    f->show();
    QApplication::processEvents();
    return f;
}

// From the end of the read to a painted grid that answers the keyboard.
void BM_GridUsableAfterMillionRowLoad(benchmark::State& state) {
    TDataForm* f = Editor();
    Session& s = App().session;
    for (auto _ : state) {
        state.PauseTiming();
        s.FileModified = false;
        if (!FileToDataGrid(s, BigFile())) state.SkipWithError("load failed");
        state.ResumeTiming();
        f->RefreshGrids();
        f->DataGrid()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["rows"] = s.worksheet.RowCount();
}
BENCHMARK(BM_GridUsableAfterMillionRowLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// Jumping to the last row and painting there.
void BM_ScrollToEndOfMillionRows(benchmark::State& state) {
    TDataForm* f = Editor();
    Session& s = App().session;
    if (s.worksheet.RowCount() < 1000000) {
        s.FileModified = false;
        FileToDataGrid(s, BigFile());
        f->RefreshGrids();
    }
    QTableView* g = f->DataGrid();
    bool atEnd = false;
    for (auto _ : state) {
        g->setCurrentIndex(g->model()->index(atEnd ? 0 : g->model()->rowCount() - 1, 5));
        g->scrollTo(g->currentIndex());
        g->viewport()->repaint();
        atEnd = !atEnd;
    }
}
BENCHMARK(BM_ScrollToEndOfMillionRows)->Unit(benchmark::kMillisecond);

// 10,000 lines of 10 cells through the editor's paste, grid refresh included.
void BM_Paste100kCells(benchmark::State& state) {
    TDataForm* f = Editor();
    QString text;
    for (int r = 0; r < 10000; ++r) {
        for (int c = 0; c < 10; ++c) text += (c ? "\t" : "") + QString::number(r * 10 + c) + ".25";
        text += "\r\n";
    }
    for (auto _ : state) {
        state.PauseTiming();
        App().session.FileModified = false;
        f->New();
        TGridDataModule::SelectBlock(f->DataGrid(), GridRect::At({1, 1}));
        state.ResumeTiming();
        f->PasteFromText(text);
        f->DataGrid()->viewport()->repaint();
    }
    state.counters["cells"] = 100000;
}
BENCHMARK(BM_Paste100kCells)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppContext context;
    MemorySettingsStore settings;
    context.session.settings = &settings;
    SilentMessages quiet;
    context.session.messages = &quiet;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete context.dataForm;
    return 0;
}
