#include "explore/ExploreForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "common/MessageHelpers.h"
#include "help/HelpTopics.h"
#include "output/ReportOutput.h"
#include "output/ReportPane.h"
#include "procedure/MenuItems.h"
#include "session/Session.h"
#include "shell/AppContext.h"
#include "shell/MainForm.h"
#include "shell/RecentFilesMenu.h"
#include "shell/WindowRegistry.h"
#include "worksheet/DataForm.h"
#include "worksheet/DataList.h"
#include "worksheet/GridDataModule.h"

namespace amx::gui {
namespace {

const char* kFormName = "Explore Form";
constexpr int ColumnRole = Qt::UserRole + 1;
constexpr int ItemRole = Qt::UserRole + 2;

// ---- the custom statistics list: name, dashes, description at 40% ---------

const QColor kGroupColours[] = {QColor(255, 255, 255), QColor(235, 245, 255), QColor(240, 255, 240),
                                QColor(255, 250, 230), QColor(250, 240, 255), QColor(235, 255, 255),
                                QColor(255, 240, 240), QColor(245, 245, 235), QColor(240, 240, 250)};

class CustomItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int item = index.data(ItemRole).toInt();
        const CustomStatInfo& info = CustomStat(item);
        p->save();
        QColor bg = kGroupColours[info.group % 9];
        if (option.state & QStyle::State_Selected) bg = option.palette.highlight().color().lighter(160);
        p->fillRect(option.rect, bg);
        // Check box.
        QStyleOptionViewItem box = option;
        initStyleOption(&box, index);
        const QRect check(option.rect.left() + 2, option.rect.top() + (option.rect.height() - 12) / 2, 12, 12);
        p->setPen(Qt::black);
        p->drawRect(check);
        if (index.data(Qt::CheckStateRole).toInt() == Qt::Checked) {
            p->drawLine(check.left() + 2, check.center().y(), check.center().x(), check.bottom() - 2);
            p->drawLine(check.center().x(), check.bottom() - 2, check.right() - 2, check.top() + 2);
        }
        const QRect text = option.rect.adjusted(18, 0, 0, 0);
        p->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(info.name));
        if (*info.description) {
            const int descX = option.rect.left() + option.rect.width() * 2 / 5;
            const int nameEnd = text.left() + option.fontMetrics.horizontalAdvance(QString::fromUtf8(info.name)) + 4;
            p->setPen(QPen(Qt::gray, 1, Qt::DashLine));
            const int y = option.rect.center().y();
            if (descX - 4 > nameEnd) p->drawLine(nameEnd, y, descX - 4, y);
            p->setPen(Qt::black);
            p->drawText(QRect(descX, option.rect.top(), option.rect.right() - descX, option.rect.height()),
                        Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(info.description));
        }
        p->restore();
    }
};

// ---- the heading of the row-title column -----------------------------------

// The row titles are the grid's vertical header, so the heading of that column
// ("Variable", "Run" or the reference column's title) is drawn in the corner
// button above them.
class CornerTitle : public QObject {
public:
    CornerTitle(QTableView* view, const ExploreGridModel* model) : QObject(view), model_(model) {
        button_ = view->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
        if (button_) button_->installEventFilter(this);
    }
    QString Text() const { return QString::fromStdString(model_->Grid().Cell(0, 0)); }
    void Update() {
        if (button_) button_->update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != button_ || event->type() != QEvent::Paint) return false;
        QStyleOptionHeader opt;
        opt.initFrom(button_);
        opt.rect = button_->rect();
        opt.text = Text();
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::OnlyOneSection;
        QStylePainter painter(button_);
        painter.drawControl(QStyle::CE_Header, opt);
        return true;
    }

private:
    const ExploreGridModel* model_;
    QAbstractButton* button_ = nullptr;
};

CornerTitle* CornerOf(const QTableView* view) {
    for (QObject* o : view->children())
        if (auto* c = dynamic_cast<CornerTitle*>(o)) return c;
    return nullptr;
}

// ---- progress of the simulated exponential test ----------------------------

class ExpTestProgress : public ExpTestMonitor {
public:
    explicit ExpTestProgress(QWidget* parent) : parent_(parent) {}
    ~ExpTestProgress() override { delete dialog_; }
    void Begin(const std::string& rowTitle) override {
        if (!dialog_) {
            dialog_ = new QProgressDialog(parent_);
            dialog_->setObjectName("ExpTestMonitor");
            dialog_->setWindowTitle("Exponential Test Monitor");
            dialog_->setCancelButtonText("&Abort");
            dialog_->setRange(0, 100);
            dialog_->setMinimumDuration(0);
            dialog_->setAutoClose(false);
            dialog_->setAutoReset(false);
            dialog_->setWindowModality(Qt::NonModal);
        }
        dialog_->reset();
        dialog_->setLabelText(QString::fromStdString("Processing: " + rowTitle));
        dialog_->setValue(0);
        dialog_->show();
        QApplication::processEvents();
    }
    bool Step(int draws) override {
        dialog_->setValue(draws / 10000);
        QApplication::processEvents();
        return !dialog_->wasCanceled();
    }
    void End() override {
        if (dialog_) dialog_->hide();
    }

private:
    QWidget* parent_;
    QProgressDialog* dialog_ = nullptr;
};

QListWidget* MakeList(const char* name, bool multi) {
    auto* l = new QListWidget;
    l->setObjectName(name);
    l->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    l->setSortingEnabled(false);
    return l;
}

QPushButton* MakeButton(const char* text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setMaximumWidth(40);
    return b;
}

QWidget* Labelled(const QString& caption, QWidget* w) {
    auto* box = new QWidget;
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    label->setBuddy(w);
    l->addWidget(label);
    l->addWidget(w, 1);
    return box;
}

// Sorted insertion by column number: the lists keep worksheet order.
void InsertSorted(QListWidget* list, QListWidgetItem* item) {
    const int c = item->data(ColumnRole).toInt();
    int row = 0;
    while (row < list->count() && list->item(row)->data(ColumnRole).toInt() < c) ++row;
    list->insertItem(row, item);
}

QListWidgetItem* ColumnItem(const Session& s, int c) {
    auto* item = new QListWidgetItem(QString::fromStdString(ColumnName(s, c)));
    item->setData(ColumnRole, c);
    return item;
}

}  // namespace

// ---- grid model --------------------------------------------------------------

void ExploreGridModel::SetGrid(ExploreGrid grid) {
    beginResetModel();
    grid_ = std::move(grid);
    endResetModel();
}

int ExploreGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.RowCount();
}

int ExploreGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, grid_.ColumnCount() - 1);
}

QVariant ExploreGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int col = index.column() + 1, row = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(grid_.Cell(col, row));
        case Qt::TextAlignmentRole: return int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            switch (grid_.Shade(col, row)) {
                case CellShade::Significant: return QColor(Qt::yellow);
                case CellShade::NotAvailable: return QColor(Qt::lightGray);
                default: return {};
            }
        default: return {};
    }
}

QVariant ExploreGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole) return QString::fromStdString(grid_.Cell(section + 1, 0));
        if (role == Qt::ForegroundRole) return QColor(grid_.RedHeader(section + 1) ? Qt::red : Qt::black);
        if (role == Qt::BackgroundRole) {
            QLinearGradient g(0, 0, 0, 20);
            g.setColorAt(0, QColor(250, 250, 250));
            g.setColorAt(1, QColor(210, 215, 225));
            return QBrush(g);
        }
        return {};
    }
    if (role == Qt::DisplayRole) return QString::fromStdString(grid_.Cell(0, section + 1));
    return {};
}

// ---- the window ------------------------------------------------------------------

TWNormal_Form::TWNormal_Form(Session& session, QWidget* parent)
    : TProcedureForm(session,
                     [] {
                         ProcedureFormOptions o;
                         o.windowTitle = "Explore";
                         o.defaultDecimals = 2;
                         o.clearBeforeDisplay = true;
                         o.helpTopic = help_topic::Explore;
                         return o;
                     }(),
                     parent) {
    setObjectName("TWNormal_Form");
    monitor_ = std::make_unique<ExpTestProgress>(this);
    state_.monitor = monitor_.get();
    if (auto* clear = findChild<QCheckBox*>("ClearCheckBox")) clear->hide();

    pages_ = new QTabWidget;
    pages_->setObjectName("PageControl_Main");
    InputLayout()->addWidget(pages_, 1);
    BuildSelectPage();
    BuildResultPages();
    BuildCustomPages();
    BuildOutputPage();
    BuildCommands();

    statusAnalysis_ = new QLabel;
    statusAnalysis_->setObjectName("StatusAnalysis");
    statusFileMod_ = new QLabel;
    statusFileMod_->setObjectName("StatusFileMod");
    statusBar()->addWidget(statusAnalysis_, 1);
    statusBar()->addWidget(statusFileMod_, 2);

    if (auto* dec = findChild<QSpinBox*>("DecimalSpinEdit"))
        connect(dec, qOverload<int>(&QSpinBox::valueChanged), this, [this] { ComputeCurrentPage(); });
    connect(pages_, &QTabWidget::currentChanged, this, &TWNormal_Form::TabChanged);
    RefreshVariables();
    TabChanged(pages_->currentIndex());
    resize(900, 640);
}

void TWNormal_Form::BuildSelectPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* top = new QHBoxLayout;
    title_ = new QLineEdit;
    title_->setObjectName("Edit_Title");
    auto* tl = new QLabel("&Title:");
    tl->setBuddy(title_);
    top->addWidget(tl);
    top->addWidget(title_, 1);
    conf_ = new QComboBox;
    conf_->setObjectName("ConfComboBox");
    conf_->setEditable(true);
    conf_->addItems({"90", "95", "99"});
    conf_->setCurrentText("95");
    auto* cl = new QLabel("&Conf:");
    cl->setBuddy(conf_);
    top->addWidget(cl);
    top->addWidget(conf_);
    v->addLayout(top);

    selectStack_ = new QStackedWidget;
    selectStack_->setObjectName("SelectStack");
    // Several columns.
    auto* multi = new QWidget;
    auto* mv = new QVBoxLayout(multi);
    auto* radios = new QHBoxLayout;
    colRadio_ = new QRadioButton("Column Analysis");
    colRadio_->setObjectName("RadioButton_Col");
    colRadio_->setChecked(true);
    refRadio_ = new QRadioButton("Reference Analysis");
    refRadio_->setObjectName("RadioButton_Ref");
    radios->addWidget(colRadio_);
    radios->addWidget(refRadio_);
    radios->addStretch(1);
    mv->addLayout(radios);

    modeStack_ = new QStackedWidget;
    // Column analysis.
    auto* colPage = new QWidget;
    auto* ch = new QHBoxLayout(colPage);
    colVar_ = MakeList("ListBox_ColVar", true);
    analysisVar_ = MakeList("ListBox_AnalysisVar", true);
    auto* buttons = new QVBoxLayout;
    auto* add = MakeButton(">", "AddButton");
    auto* addAll = MakeButton(">>", "AddAllButton");
    auto* remove = MakeButton("<", "RemoveButton");
    auto* removeAll = MakeButton("<<", "RemoveAllButton");
    buttons->addStretch(1);
    for (auto* b : {add, addAll, remove, removeAll}) buttons->addWidget(b);
    buttons->addStretch(1);
    ch->addWidget(Labelled("Data Variables", colVar_), 1);
    ch->addLayout(buttons);
    ch->addWidget(Labelled("Analysis Variables", analysisVar_), 1);
    connect(add, &QPushButton::clicked, this, [this] { MoveItems(colVar_, analysisVar_, false); });
    connect(addAll, &QPushButton::clicked, this, [this] { MoveItems(colVar_, analysisVar_, true); });
    connect(remove, &QPushButton::clicked, this, [this] { MoveItems(analysisVar_, colVar_, false); });
    connect(removeAll, &QPushButton::clicked, this, [this] { MoveItems(analysisVar_, colVar_, true); });
    connect(colVar_, &QListWidget::itemDoubleClicked, this, [this] { MoveItems(colVar_, analysisVar_, false); });
    connect(analysisVar_, &QListWidget::itemDoubleClicked, this, [this] { MoveItems(analysisVar_, colVar_, false); });
    modeStack_->addWidget(colPage);

    // Reference analysis.
    auto* refPage = new QWidget;
    auto* rh = new QHBoxLayout(refPage);
    dataVar_ = MakeList("DataVarList", true);
    rh->addWidget(Labelled("Data Variables", dataVar_), 1);
    auto* right = new QVBoxLayout;
    auto* mrow = new QHBoxLayout;
    auto* measureButton = MakeButton(">", "MeasureButton");
    measure_ = new QLineEdit;
    measure_->setObjectName("Edit_Measure");
    measure_->setReadOnly(true);
    mrow->addWidget(measureButton);
    mrow->addWidget(Labelled("Dependent Variable", measure_), 1);
    right->addLayout(mrow);
    auto* irow = new QHBoxLayout;
    auto* ib = new QVBoxLayout;
    auto* indAdd = MakeButton(">", "IndAddButton");
    auto* indRemove = MakeButton("<", "IndRemoveButton");
    ib->addStretch(1);
    ib->addWidget(indAdd);
    ib->addWidget(indRemove);
    ib->addStretch(1);
    indVar_ = MakeList("IndVarList", true);
    irow->addLayout(ib);
    irow->addWidget(Labelled("Independent Variables", indVar_), 1);
    right->addLayout(irow, 1);
    rh->addLayout(right, 1);
    connect(measureButton, &QPushButton::clicked, this, [this] {
        QListWidgetItem* item = dataVar_->currentItem();
        if (!item) return;
        if (measureColumn_ > 0) InsertSorted(dataVar_, ColumnItem(session(), measureColumn_));
        measureColumn_ = item->data(ColumnRole).toInt();
        measure_->setText(item->text());
        delete dataVar_->takeItem(dataVar_->row(item));
        SelectionChanged();
    });
    // Independent variables keep the order in which they were chosen.
    connect(indAdd, &QPushButton::clicked, this, [this] {
        for (QListWidgetItem* item : dataVar_->selectedItems())
            indVar_->addItem(dataVar_->takeItem(dataVar_->row(item)));
        SelectionChanged();
    });
    connect(indRemove, &QPushButton::clicked, this, [this] { MoveItems(indVar_, dataVar_, false); });
    modeStack_->addWidget(refPage);
    mv->addWidget(modeStack_, 1);
    selectStack_->addWidget(multi);

    // One column.
    auto* single = new QWidget;
    single->setObjectName("SingleColumnSheet");
    auto* sv = new QVBoxLayout(single);
    sv->addWidget(new QLabel("Single Column to Analyze"));
    singleName_ = new QLabel;
    singleName_->setObjectName("SingleColumnName");
    QFont f = singleName_->font();
    f.setBold(true);
    singleName_->setFont(f);
    sv->addWidget(singleName_);
    sv->addStretch(1);
    selectStack_->addWidget(single);
    v->addWidget(selectStack_, 1);

    connect(colRadio_, &QRadioButton::toggled, this, [this](bool on) {
        modeStack_->setCurrentIndex(on ? 0 : 1);
        SelectionChanged();
    });
    connect(conf_, &QComboBox::currentTextChanged, this, [this] { ComputeCurrentPage(); });
    connect(title_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (title2_->text() != t) title2_->setText(t);
    });
    pages_->addTab(page, "Select Data");
}

void TWNormal_Form::BuildResultPages() {
    static const char* names[] = {"Grid_Descriptives", "Grid_Quartiles", "Grid_Normality",
                                  "Grid_ConfInt",      "Grid_NatTol",    "Grid_Custom"};
    for (int p = 0; p < ExplorePageCount; ++p) {
        models_[p] = new ExploreGridModel(this);
        auto* grid = new QTableView;
        grid->setObjectName(names[p]);
        grid->setModel(models_[p]);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->horizontalHeader()->setMinimumSectionSize(p == 2 ? 40 : 20);
        grid->installEventFilter(this);
        new CornerTitle(grid, models_[p]);
        grids_[p] = grid;
    }
    static const char* captions[] = {"Descriptives", "Quartiles", "Normality Tests", "Conf. Int.", "Nat. Tol."};
    for (int p = 0; p < 5; ++p) pages_->addTab(ResultPage(p), captions[p]);
}

QWidget* TWNormal_Form::ResultPage(int p) {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    captions_[static_cast<size_t>(p)] = new QLabel;
    captions_[static_cast<size_t>(p)]->setObjectName(QString("PageCaption%1").arg(p));
    QFont f = captions_[static_cast<size_t>(p)]->font();
    f.setBold(true);
    captions_[static_cast<size_t>(p)]->setFont(f);
    l->addWidget(captions_[static_cast<size_t>(p)]);
    if (p == 3 || p == 4) {
        auto* box = new QCheckBox("&Use Pooled Variance");
        box->setObjectName(p == 3 ? "CheckBox_Pool" : "CheckBox_PoolNT");
        (p == 3 ? pool_ : poolNT_) = box;
        connect(box, &QCheckBox::toggled, this, [this] { ComputeCurrentPage(); });
        l->addWidget(box);
    }
    l->addWidget(grids_[static_cast<size_t>(p)], 1);
    return page;
}

void TWNormal_Form::BuildCustomPages() {
    auto* sel = new QWidget;
    auto* l = new QVBoxLayout(sel);
    custom_ = new QListWidget;
    custom_->setObjectName("CheckListBox_Custom");
    custom_->setItemDelegate(new CustomItemDelegate(custom_));
    for (int k = 0; k < CustomStatCount; ++k) {
        auto* item = new QListWidgetItem(QString::fromStdString(CustomStatItemText(k)));
        item->setData(ItemRole, k);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        custom_->addItem(item);
    }
    // A click anywhere on the row ticks or unticks it.
    connect(custom_, &QListWidget::itemClicked, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    connect(custom_, &QListWidget::itemChanged, this, [this] { UpdatePageVisibility(); });
    auto* reset = new QPushButton("&Reset");
    reset->setObjectName("ResetButton");
    connect(reset, &QPushButton::clicked, this, [this] {
        for (int k = 0; k < custom_->count(); ++k) custom_->item(k)->setCheckState(Qt::Unchecked);
    });
    l->addWidget(custom_, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(reset);
    row->addStretch(1);
    l->addLayout(row);
    pages_->addTab(sel, "Custom Selection");
    pages_->addTab(ResultPage(static_cast<int>(ExplorePage::Custom)), "Custom");
}

void TWNormal_Form::BuildOutputPage() {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    title2_ = new QLineEdit;
    title2_->setObjectName("Edit_Title2");
    auto* tl = new QLabel("&Title:");
    tl->setBuddy(title2_);
    row->addWidget(tl);
    row->addWidget(title2_, 1);
    l->addLayout(row);
    connect(title2_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (title_->text() != t) title_->setText(t);
    });
    output_ = new QListWidget;
    output_->setObjectName("CheckListBox_Output");
    for (const char* s : {"Descriptives", "Quartiles", "Normality Tests", "Confidence Intervals",
                          "Natural Tolerance", "Custom "}) {
        auto* item = new QListWidgetItem(s);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        output_->addItem(item);
    }
    l->addWidget(output_, 1);
    auto* print = new QPushButton("&Print");
    print->setObjectName("OutputPrintButton");
    connect(print, &QPushButton::clicked, this, &TWNormal_Form::OutputPrintClick);
    auto* show = new QPushButton("&Show Report");
    show->setObjectName("OutputShowButton");
    connect(show, &QPushButton::clicked, this, &TWNormal_Form::WriteOutputReport);
    auto* brow = new QHBoxLayout;
    brow->addWidget(show);
    brow->addWidget(print);
    brow->addStretch(1);
    l->addLayout(brow);
    pages_->addTab(page, "Output");
}

void TWNormal_Form::BuildCommands() {
    QMenu* file = FileMenu();
    QAction* first = file->actions().isEmpty() ? nullptr : file->actions().first();
    auto* commands = new QMenu(this);
    QAction* open = AddMenuItem(this, commands, "Open Data File", "OpenDataFile1");
    QAction* editor = AddMenuItem(this, commands, "Data Editor", "DataEditor1", Qt::Key_F4);
    QAction* processIf = AddMenuItem(this, commands, "Process If", "ProcessIf1", Qt::Key_F8);
    saveAction_ = AddMenuItem(this, commands, "Save Output Text", "SaveOutputText1");
    printAction_ = AddMenuItem(this, commands, "Print", "Print1", QKeySequence(Qt::CTRL | Qt::Key_P));
    copyAction_ = AddMenuItem(this, commands, "Copy Grid", "CopyGrid1", QKeySequence(Qt::CTRL | Qt::Key_C));
    file->insertActions(first, commands->actions());
    file->insertSeparator(first);
    // The grid commands join the report's Save and Print in their group on the
    // tool bar (the report's pair shows only on the Output page), so no page
    // is left with two separators side by side.
    const QList<QAction*> tools = ToolBar()->actions();
    QAction* before = tools.size() > 5 ? tools.at(5) : nullptr;
    ToolBar()->insertActions(before, {saveAction_, printAction_, copyAction_});

    auto trigger = [](const char* name) {
        if (!App().mainForm) return;
        if (auto* a = App().mainForm->findChild<QAction*>(name)) a->trigger();
    };
    connect(open, &QAction::triggered, this, [trigger] { trigger("OpenItem"); });
    connect(processIf, &QAction::triggered, this, [trigger] { trigger("ProcessIf1"); });
    connect(editor, &QAction::triggered, this, [this] { App().EnsureDataEditor()->ShowDataEditor(this, kFormName); });
    connect(saveAction_, &QAction::triggered, this, &TWNormal_Form::SaveOutputTextClick);
    connect(printAction_, &QAction::triggered, this, &TWNormal_Form::PrintClick);
    connect(copyAction_, &QAction::triggered, this, &TWNormal_Form::CopyGridClick);

    // The recent files open through the main window, as from its own menu.
    auto* recent = new RecentFilesMenu(file, [](const QString& path) {
        if (App().mainForm) App().mainForm->OpenRecentFile(path);
    });
    connect(file, &QMenu::aboutToShow, recent, &RecentFilesMenu::Refresh);

    QAction* selectAll = AddMenuItem(this, ViewMenu(), "Select &All", "SelectAllGrid1");
    connect(selectAll, &QAction::triggered, this, [this] {
        if (QTableView* g = GridOf(pages_->currentIndex())) TGridDataModule::SelectAllCells(g);
    });
    QAction* minimize = AddMenuItem(this, ViewMenu(), "Minimize Column &Widths", "MinimizeColumnWidths1");
    connect(minimize, &QAction::triggered, this, [this] {
        if (QTableView* g = GridOf(pages_->currentIndex())) g->resizeColumnsToContents();
    });

    QMenu* graphs = menuBar()->addMenu("&Graphs");
    graphs->setObjectName("GraphsMenu");
    struct Linked {
        const char* text;
        const char* name;
        const char* cls;
    };
    const Linked linked[] = {{"Plots", "Plots1", "TPlot_Form"},
                             {"Histograms", "Histograms1", "THistForm"},
                             {"Frequency Plots", "FrequencyPlots1", "TFrequencyPlotForm"},
                             {"Variables Control Charts", "VariablesControlCharts1", "TForm_VARsetup"}};
    for (const Linked& l : linked) {
        QAction* a = AddMenuItem(this, graphs, l.text, l.name);
        // Windows not in the program yet stay disabled.
        a->setEnabled(WindowRegistry::HasClass(l.cls));
        const QString cls = l.cls;
        connect(a, &QAction::triggered, this, [this, cls] { OpenLinked(cls); });
    }
}

void TWNormal_Form::OpenLinked(const QString& className) {
    if (!HasSelection()) {
        Beep(session());
        return;
    }
    QWidget* w = App().registry.Ensure(className);
    if (!w) return;
    if (w->metaObject()->indexOfMethod("ShowFromCaller(QWidget*,QString)") >= 0) {
        QMetaObject::invokeMethod(w, "ShowFromCaller", Q_ARG(QWidget*, this), Q_ARG(QString, kFormName));
        App().registry.MarkActivated(w);
        return;
    }
    App().registry.ShowWindow(w);
}

void TWNormal_Form::MoveItems(QListWidget* from, QListWidget* to, bool all) {
    QList<QListWidgetItem*> items;
    if (all) {
        for (int i = 0; i < from->count(); ++i)
            if (from->item(i)->flags() & Qt::ItemIsEnabled) items << from->item(i);
    } else {
        items = from->selectedItems();
    }
    for (QListWidgetItem* item : items) InsertSorted(to, from->takeItem(from->row(item)));
    SelectionChanged();
}

void TWNormal_Form::RefreshVariables() {
    Session& s = session();
    // What was chosen stays chosen while its column is still there under the
    // same name: an edit in the data editor must not wipe the selection.
    using Kept = std::vector<std::pair<int, QString>>;
    auto kept = [](QListWidget* l) {
        Kept k;
        for (int i = 0; i < l->count(); ++i) k.push_back({l->item(i)->data(ColumnRole).toInt(), l->item(i)->text()});
        return k;
    };
    const Kept analysed = kept(analysisVar_), independent = kept(indVar_);
    const Kept measure = measureColumn_ > 0 ? Kept{{measureColumn_, measure_->text()}} : Kept{};
    EnsureDataCurrent(s);
    const int cols = MaxCol(s);
    for (QListWidget* l : {colVar_, analysisVar_, dataVar_, indVar_}) l->clear();
    measure_->clear();
    measureColumn_ = 0;
    const bool single = cols == 1 && s.worksheet.RowCount() >= 2 && HaveData(s);
    if (HaveData(s) && !single)
        for (int c = 1; c <= cols; ++c) {
            QListWidgetItem* item = ColumnItem(s, c);
            // Text columns hold level codes: no column analysis of those.
            if (s.DataList.StringVar[static_cast<std::size_t>(c)]) {
                item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
                item->setToolTip("A text column: its levels are no measurements");
            }
            colVar_->addItem(item);
            dataVar_->addItem(ColumnItem(s, c));
        }
    auto take = [](QListWidget* from, const std::pair<int, QString>& k) -> QListWidgetItem* {
        for (int i = 0; i < from->count(); ++i) {
            QListWidgetItem* it = from->item(i);
            if (it->data(ColumnRole).toInt() == k.first && it->text() == k.second && (it->flags() & Qt::ItemIsEnabled))
                return from->takeItem(i);
        }
        return nullptr;
    };
    for (const auto& k : analysed)
        if (QListWidgetItem* it = take(colVar_, k)) InsertSorted(analysisVar_, it);
    for (const auto& k : independent)
        if (QListWidgetItem* it = take(dataVar_, k)) InsertSorted(indVar_, it);
    for (const auto& k : measure)
        if (QListWidgetItem* it = take(dataVar_, k)) {
            measureColumn_ = k.first;
            measure_->setText(it->text());
            delete it;
        }
    singleName_->setText(single ? QString::fromStdString(ColumnName(s, 1)) : QString());
    selectStack_->setCurrentIndex(single ? 1 : 0);
    refRadio_->setEnabled(cols > 1);
    if (cols <= 1) colRadio_->setChecked(true);
    selectStack_->setEnabled(HaveData(s));
    setWindowTitle(s.DataFilename.empty()
                       ? QString("Explore")
                       : "Explore - " + QString::fromStdString(s.DataFilename));
    SelectionChanged();
}

bool TWNormal_Form::HasSelection() const {
    if (selectStack_->currentIndex() == 1) return true;
    if (colRadio_->isChecked()) return analysisVar_->count() > 0;
    return measureColumn_ > 0 && indVar_->count() > 0;
}

ExploreRequest TWNormal_Form::Request() const {
    ExploreRequest rq;
    if (selectStack_->currentIndex() == 1) {
        rq.mode = ExploreMode::SingleColumn;
    } else if (colRadio_->isChecked()) {
        rq.mode = ExploreMode::Columns;
        for (int i = 0; i < analysisVar_->count(); ++i) rq.columns.push_back(analysisVar_->item(i)->data(ColumnRole).toInt());
    } else {
        rq.mode = ExploreMode::Reference;
        rq.measure = measureColumn_;
        for (int i = 0; i < indVar_->count(); ++i) rq.references.push_back(indVar_->item(i)->data(ColumnRole).toInt());
    }
    rq.confText = conf_->currentText().trimmed().toStdString();
    rq.decimals = Decimals();
    rq.pool = pool_->isChecked();
    rq.poolNT = poolNT_->isChecked();
    for (int k = 0; k < custom_->count(); ++k)
        if (custom_->item(k)->checkState() == Qt::Checked) rq.custom.push_back(k);
    rq.title = title_->text().toStdString();
    for (int k = 0; k < ExplorePageCount; ++k)
        rq.outputSections[static_cast<size_t>(k)] = output_->item(k)->checkState() == Qt::Checked;
    return rq;
}

void TWNormal_Form::SelectionChanged() {
    // Graphs opened from here showed the old selection.
    for (const char* cls : {"THistForm", "TFrequencyPlotForm", "TPlot_Form"})
        if (QWidget* w = App().registry.Window(cls)) w->hide();
    UpdatePageVisibility();
    UpdateStatus();
}

void TWNormal_Form::UpdatePageVisibility() {
    const bool any = HasSelection();
    bool anyCustom = false;
    for (int k = 0; k < custom_->count(); ++k) anyCustom = anyCustom || custom_->item(k)->checkState() == Qt::Checked;
    for (int t = DescTab; t <= OutputTab; ++t) pages_->setTabVisible(t, any);
    pages_->setTabVisible(CustomTab, any && anyCustom);
}

void TWNormal_Form::UpdateStatus() {
    Session& s = session();
    statusAnalysis_->setText(HasSelection() ? QString::fromStdString(ExploreAnalysisText(s, Request())) : QString());
    statusFileMod_->setText(QString::fromStdString(ExploreFileModText(s)));
}

void TWNormal_Form::TabChanged(int index) {
    const bool result = index >= DescTab && index <= CustomTab && index != CustomSelTab;
    for (QAction* a : {saveAction_, printAction_, copyAction_}) a->setEnabled(result);
    // The report pane's own save and print belong to the Output page; on the
    // other pages they would stand beside the grid commands as a second
    // "Print" acting on a hidden pane.
    for (QAction* a : findChildren<QAction*>())
        if (a != printAction_ && (a->objectName() == "SaveAs1" || a->objectName() == "Print1"))
            a->setVisible(index == OutputTab);
    Pane()->setVisible(index == OutputTab);
    if (index == OutputTab && HasSelection()) WriteOutputReport();
    ComputeCurrentPage();
}

QTableView* TWNormal_Form::GridOf(int tab) const {
    if (tab >= DescTab && tab <= NatTolTab) return grids_[static_cast<size_t>(tab - DescTab)];
    if (tab == CustomTab) return grids_[static_cast<size_t>(ExplorePage::Custom)];
    return nullptr;
}

void TWNormal_Form::ComputeCurrentPage() {
    const int tab = pages_->currentIndex();
    QTableView* grid = GridOf(tab);
    if (!grid || computing_ || !HasSelection()) return;
    computing_ = true;
    const int page = tab == CustomTab ? static_cast<int>(ExplorePage::Custom) : tab - DescTab;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ExploreGrid g = ComputeExplorePage(session(), state_, Request(), static_cast<ExplorePage>(page));
    QApplication::restoreOverrideCursor();
    if (session().StatErrorCode == 0) {
        captions_[static_cast<size_t>(page)]->setText(QString::fromStdString(g.caption));
        models_[static_cast<size_t>(page)]->SetGrid(std::move(g));
        grid->resizeColumnsToContents();
        if (CornerTitle* corner = CornerOf(grid)) {
            grid->verticalHeader()->setMinimumWidth(grid->fontMetrics().horizontalAdvance(corner->Text()) + 16);
            corner->Update();
        }
    }
    UpdateStatus();
    computing_ = false;
}

void TWNormal_Form::WriteOutputReport() {
    if (!HasSelection()) {
        Beep(session());
        return;
    }
    ReportDocument doc;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WriteExploreReport(session(), state_, Request(), doc);
    QApplication::restoreOverrideCursor();
    Pane()->ShowDocument(doc);
}

void TWNormal_Form::OutputPrintClick() {
    WriteOutputReport();
    if (session().StatErrorCode != 0) return;
    PrintOutput(*Pane(), "Ambrolux", this, *session().messages);
}

void TWNormal_Form::SaveOutputTextClick() {
    if (QTableView* g = GridOf(pages_->currentIndex())) TGridDataModule::SaveGridTextDialog(this, g);
}

void TWNormal_Form::PrintClick() {
    const int tab = pages_->currentIndex();
    QTableView* g = GridOf(tab);
    if (!g) return;
    if (tab == CustomTab && Request().custom.empty()) return;
    const auto* m = static_cast<ExploreGridModel*>(g->model());
    TGridDataModule::PrintGrid(g, "Explore", QString::fromStdString(m->Grid().printTitle));
}

void TWNormal_Form::CopyGridClick() {
    QTableView* g = GridOf(pages_->currentIndex());
    if (!g) return;
    TGridDataModule::SelectAllCells(g);
    TGridDataModule::CopySelection(g);
}

bool TWNormal_Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QTableView*>(watched)) {
            ComputeCurrentPage();
            return true;
        }
    }
    return TProcedureForm::eventFilter(watched, event);
}

// The results follow the worksheet: rebuilt on the page shown, as the other
// pages are when they are next shown.
void TWNormal_Form::RebuildResults() {
    ComputeCurrentPage();
    if (pages_->currentIndex() == OutputTab && HasSelection()) WriteOutputReport();
}

void TWNormal_Form::VariablesVersionChanged() {
    RefreshVariables();
    RebuildResults();
}

void TWNormal_Form::DataVersionChanged() { RebuildResults(); }

void TWNormal_Form::showEvent(QShowEvent* event) {
    TProcedureForm::showEvent(event);
    CheckWorksheetVersions();
}

static WindowClassRegistration kExploreRegistration("TWNormal_Form",
                                                    [] { return new TWNormal_Form(App().session); });

}  // namespace amx::gui
