#include "spc/VarSetupForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/KeyFilters.h"
#include "common/MessageHelpers.h"
#include "modifications/KeyFilterAdapter.h"
#include "procedure/EditCommands.h"
#include "procedure/FormScale.h"
#include "procedure/MenuItems.h"
#include "session/Session.h"
#include "shell/AppContext.h"
#include "shell/MainForm.h"
#include "shell/RecentFilesMenu.h"
#include "shell/ShellDefaults.h"
#include "shell/WindowRegistry.h"
#include "worksheet/DataForm.h"
#include "worksheet/DataList.h"

namespace amx::gui {
namespace {

const QString FormName = "Variables Chart Setup Form";
constexpr int HelpTopicNumber = 3400;

QToolButton* Arrow(const QString& text, const char* name) {
    auto* b = new QToolButton;
    b->setText(text);
    b->setObjectName(name);
    return b;
}

void SetItems(QComboBox* box, const std::vector<std::string>& items, int current) {
    QStringList list;
    for (const auto& i : items) list << QString::fromStdString(i);
    bool same = box->count() == list.size();
    for (int i = 0; same && i < list.size(); ++i) same = box->itemText(i) == list[i];
    if (!same) {
        box->clear();
        box->addItems(list);
    }
    box->setCurrentIndex(std::clamp(current, 0, std::max(0, box->count() - 1)));
}

}  // namespace

VarChartHandoff::Show& VarChartHandoff::ShowHook() {
    static Show hook;
    return hook;
}

VarChartHandoff::Discard& VarChartHandoff::DiscardHook() {
    static Discard hook;
    return hook;
}

TForm_VARsetup::TForm_VARsetup(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName("Form_VARsetup");
    BuildControls();
    BuildMenus();
    FormActivate();
}

void TForm_VARsetup::BuildControls() {
    auto* central = new QWidget;
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);

    // Data: variables, measures, sample, sets, chart groups.
    auto* dataCol = new QVBoxLayout;
    dataCol->addWidget(new QLabel("Data Variables"));
    dataList_ = new QListWidget;
    dataList_->setObjectName("DataVariablesListBox");
    dataList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    dataCol->addWidget(dataList_);
    grid->addLayout(dataCol, 0, 0, 3, 1);

    auto* varCol = new QGridLayout;
    measureButtons_ = {Arrow(">", "MeasureAddButton"), Arrow("<", "MeasureRemoveButton"),
                       Arrow("<<", "MeasureClearButton")};
    auto* mb = new QVBoxLayout;
    for (auto* b : measureButtons_) mb->addWidget(b);
    varCol->addLayout(mb, 1, 0);
    measureCaption_ = new QLabel("     Chart Variables");
    varCol->addWidget(measureCaption_, 0, 1);
    measureList_ = new QListWidget;
    measureList_->setObjectName("MeasureListBox");
    measureList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    varCol->addWidget(measureList_, 1, 1);

    sampleCaption_ = new QLabel("Sample Variable");
    varCol->addWidget(sampleCaption_, 2, 1);
    sampleButton_ = Arrow(">", "SampleButton");
    varCol->addWidget(sampleButton_, 3, 0);
    sampleEdit_ = new QLineEdit;
    sampleEdit_->setObjectName("SampleEdit");
    sampleEdit_->setReadOnly(true);
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(sampleEdit_);
    sizeSpin_ = new QSpinBox;
    sizeSpin_->setObjectName("SampleSizeSpinEdit");
    sizeSpin_->setRange(2, 999);
    sizeSpin_->setValue(5);
    sampleRow->addWidget(sizeSpin_);
    varCol->addLayout(sampleRow, 3, 1);
    constantBox_ = new QCheckBox("Constant Sample Size");
    constantBox_->setObjectName("ConstantSampleSizeCheckBox");
    varCol->addWidget(constantBox_, 4, 1);

    setsCaption_ = new QLabel("Sets");
    varCol->addWidget(setsCaption_, 5, 1);
    setsButton_ = Arrow(">", "SetsButton");
    varCol->addWidget(setsButton_, 6, 0);
    setsEdit_ = new QLineEdit;
    setsEdit_->setObjectName("SetsEdit");
    setsEdit_->setReadOnly(true);
    varCol->addWidget(setsEdit_, 6, 1);

    groupsCaption_ = new QLabel("Chart Groups");
    varCol->addWidget(groupsCaption_, 7, 1);
    groupButtons_ = {Arrow(">", "GroupAddButton"), Arrow("<", "GroupRemoveButton"), Arrow("<<", "GroupClearButton")};
    auto* gb = new QVBoxLayout;
    for (auto* b : groupButtons_) gb->addWidget(b);
    varCol->addLayout(gb, 8, 0);
    groupList_ = new QListWidget;
    groupList_->setObjectName("ChartGroupsListBox");
    groupList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    varCol->addWidget(groupList_, 8, 1);

    layoutBox_ = new QGroupBox("Layout");
    layoutBox_->setObjectName("LayoutRadioGroup");
    auto* lb = new QVBoxLayout(layoutBox_);
    byColumns_ = new QRadioButton("Subgroups in Columns");
    byRows_ = new QRadioButton("Subgroups in Rows");
    byColumns_->setChecked(true);
    lb->addWidget(byColumns_);
    lb->addWidget(byRows_);
    varCol->addWidget(layoutBox_, 9, 1);
    grid->addLayout(varCol, 0, 1, 3, 1);

    // Charts and limits.
    auto* chartCol = new QGridLayout;
    int row = 0;
    auto combo = [&](const QString& caption, const char* name, QLabel** captionOut = nullptr) {
        auto* label = new QLabel(caption);
        auto* box = new QComboBox;
        box->setObjectName(name);
        label->setBuddy(box);
        chartCol->addWidget(label, row++, 0);
        chartCol->addWidget(box, row++, 0);
        if (captionOut) *captionOut = label;
        return box;
    };
    locType_ = combo("Location Chart &Type", "LocChartTypeComboBox");
    dispType_ = combo("Dispersion Chart &Type", "DispChartTypeComboBox");
    locLimit_ = combo("Location Limit Calculations", "LocLimitComboBox", &locLimitCaption_);
    locCenter_ = combo("Location Centerline", "LocCenterlineComboBox", &locCenterCaption_);
    dispLimit_ = combo("Dispersion Limit Calculations", "DispLimitComboBox", &dispLimitCaption_);
    dispCenter_ = combo("Dispersion Centerline", "DispCenterlineComboBox", &dispCenterCaption_);
    chartCol->setRowStretch(row, 1);  // the lists stay together at the top
    grid->addLayout(chartCol, 0, 2, 3, 1);

    auto userGroup = [&](const QString& title, const char* prefix, std::array<QCheckBox*, 3>& boxes,
                         std::array<QLineEdit*, 3>& edits) {
        auto* g = new QGroupBox(title);
        g->setObjectName(QString(prefix) + "UserLimitsGroupBox");
        auto* gl = new QGridLayout(g);
        const char* names[3] = {"UCL", "CL", "LCL"};
        for (int i = 0; i < 3; ++i) {
            boxes[i] = new QCheckBox(names[i]);
            boxes[i]->setObjectName(QString(prefix) + names[i] + "CheckBox");
            boxes[i]->setChecked(true);
            edits[i] = new QLineEdit;
            edits[i]->setObjectName(QString(prefix) + names[i] + "Edit");
            gl->addWidget(boxes[i], i, 0);
            gl->addWidget(edits[i], i, 1);
        }
        return g;
    };
    auto* limitsCol = new QVBoxLayout;
    locUser_ = userGroup("Location User Defined Limits", "Loc", locUserBox_, locUserEdit_);
    dispUser_ = userGroup("Dispersion User Defined Limits", "Disp", dispUserBox_, dispUserEdit_);
    limitsCol->addWidget(locUser_);
    limitsCol->addWidget(dispUser_);
    auto* fields = new QGridLayout;
    auto field = [&](const QString& caption, const char* name, int r, QLabel** captionOut, const QString& text = {}) {
        auto* label = new QLabel(caption);
        auto* edit = new QLineEdit(text);
        edit->setObjectName(name);
        label->setBuddy(edit);
        fields->addWidget(label, r, 0);
        fields->addWidget(edit, r, 1);
        *captionOut = label;
        return edit;
    };
    muEdit_ = field("Mu:", "MuEdit", 0, &muCaption_);
    sigmaEdit_ = field("Sigma:", "SigmaEdit", 1, &sigmaCaption_);
    mrEdit_ = field("MR Count:", "MRCountEdit", 2, &mrCaption_, "2");
    stdErrEdit_ = field("&Std Err:", "StdErrEdit", 3, &stdErrCaption_, "3");
    limitsCol->addLayout(fields);
    auto* axisLabel = new QLabel("&Axis Labels:");
    axisLabels_ = new QComboBox;
    axisLabels_->setObjectName("AxisLabelsComboBox");
    axisLabel->setBuddy(axisLabels_);
    limitsCol->addWidget(axisLabel);
    limitsCol->addWidget(axisLabels_);
    positiveBox_ = new QCheckBox("Positive Limits Only");
    positiveBox_->setObjectName("PositiveLimitsCheckBox");
    limitsCol->addWidget(positiveBox_);
    actionButton_ = new QPushButton("&Action");
    actionButton_->setObjectName("ActionButton");
    limitsCol->addWidget(actionButton_);
    limitsCol->addStretch(1);
    grid->addLayout(limitsCol, 0, 3, 3, 1);

    // Moving columns between the lists changes the selection.
    auto move = [this](QListWidget* from, QListWidget* to, bool all) {
        std::vector<int> moving = all ? ColumnsOf(from) : SelectedOf(from);
        if (moving.empty()) return;
        std::vector<int> target = ColumnsOf(to);
        target.insert(target.end(), moving.begin(), moving.end());
        std::sort(target.begin(), target.end());
        std::vector<int> rest;
        for (int c : ColumnsOf(from))
            if (std::find(moving.begin(), moving.end(), c) == moving.end()) rest.push_back(c);
        FillList(from, rest);
        FillList(to, target);
        SelectionChanged();
    };
    connect(measureButtons_[0], &QToolButton::clicked, this, [=, this] { move(dataList_, measureList_, false); });
    connect(measureButtons_[1], &QToolButton::clicked, this, [=, this] { move(measureList_, dataList_, false); });
    connect(measureButtons_[2], &QToolButton::clicked, this, [=, this] { move(measureList_, dataList_, true); });
    connect(groupButtons_[0], &QToolButton::clicked, this, [=, this] { move(dataList_, groupList_, false); });
    connect(groupButtons_[1], &QToolButton::clicked, this, [=, this] { move(groupList_, dataList_, false); });
    connect(groupButtons_[2], &QToolButton::clicked, this, [=, this] { move(groupList_, dataList_, true); });
    // ">" takes the selected data variable into a one-column field; "<" gives it back.
    auto single = [this](QToolButton* button, int& column) {
        if (column != 0) {
            std::vector<int> back = ColumnsOf(dataList_);
            back.push_back(column);
            std::sort(back.begin(), back.end());
            FillList(dataList_, back);
            column = 0;
        } else {
            auto sel = SelectedOf(dataList_);
            if (sel.empty()) return;
            column = sel.front();
            std::vector<int> rest;
            for (int c : ColumnsOf(dataList_))
                if (c != column) rest.push_back(c);
            FillList(dataList_, rest);
        }
        (void)button;
    };
    connect(sampleButton_, &QToolButton::clicked, this, [=, this] {
        int column = st_.sampleColumn;
        single(sampleButton_, column);
        SetSampleColumn(st_, column);
        SelectionChanged();
    });
    connect(setsButton_, &QToolButton::clicked, this, [=, this] {
        single(setsButton_, st_.setsColumn);
        SelectionChanged();
    });
    connect(constantBox_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_) return;
        if (on && st_.sampleColumn != 0) {
            std::vector<int> back = ColumnsOf(dataList_);
            back.push_back(st_.sampleColumn);
            std::sort(back.begin(), back.end());
            FillList(dataList_, back);
        }
        SetConstantSize(st_, on);
        SelectionChanged();
    });
    connect(byRows_, &QRadioButton::toggled, this, [this](bool rows) {
        if (updating_) return;
        SetLayoutRows(st_, rows);
        ShowState();
    });
    auto onCombo = [this](QComboBox* box, void (*choose)(VarSetupState&, int)) {
        connect(box, &QComboBox::activated, this, [this, choose](int pos) {
            if (updating_) return;
            ReadTexts();
            choose(st_, pos);
            ShowState();
        });
    };
    onCombo(locType_, &ChooseLocType);
    onCombo(dispType_, &ChooseDispType);
    onCombo(dispLimit_, &ChooseDispLimit);
    onCombo(locLimit_, &ChooseLocLimit);
    onCombo(locCenter_, [](VarSetupState& s, int p) { s.locCenter = p; });
    onCombo(dispCenter_, [](VarSetupState& s, int p) { s.dispCenter = p; });
    for (auto* b : locUserBox_) connect(b, &QCheckBox::toggled, this, [this] { if (!updating_) { ReadTexts(); ShowState(); } });
    for (auto* b : dispUserBox_) connect(b, &QCheckBox::toggled, this, [this] { if (!updating_) { ReadTexts(); ShowState(); } });
    connect(mrEdit_, &QLineEdit::editingFinished, this, [this] {
        if (mrEdit_->text().trimmed().isEmpty()) mrEdit_->setText("2");
    });
    // Entry filters: real numbers, positive reals, whole numbers.
    for (int i = 0; i < 3; ++i) {
        new KeyFilterAdapter(locUserEdit_[i], RealKey);
        new KeyFilterAdapter(dispUserEdit_[i], PositiveRealKey);
    }
    new KeyFilterAdapter(muEdit_, RealKey);
    new KeyFilterAdapter(sigmaEdit_, PositiveRealKey);
    new KeyFilterAdapter(stdErrEdit_, PositiveRealKey);
    new KeyFilterAdapter(mrEdit_, IntegerKey);
    connect(actionButton_, &QPushButton::clicked, this, &TForm_VARsetup::ActionClick);
}

void TForm_VARsetup::BuildMenus() {
    auto trigger = [](const char* name) {
        if (!App().mainForm) return;
        if (auto* a = App().mainForm->findChild<QAction*>(name)) a->trigger();
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("FileMenu");
    connect(AddMenuItem(this, file, "&New Data", "NewData1"), &QAction::triggered, this, [this, trigger] {
        trigger("NewItem");
        ResetForm();
        App().EnsureDataEditor()->ShowDataEditor(this, FormName);
    });
    connect(AddMenuItem(this, file, "&Open Data File", "OpenDataFile1"), &QAction::triggered, this, [this, trigger] {
        trigger("OpenItem");
        ResetForm();
    });
    connect(AddMenuItem(this, file, "&Data Editor", "DataEditor1", Qt::Key_F4), &QAction::triggered, this,
            [this] { App().EnsureDataEditor()->ShowDataEditor(this, FormName); });
    connect(AddMenuItem(this, file, "&Process If", "ProcessIf1", Qt::Key_F8), &QAction::triggered, this, [this, trigger] {
        trigger("ProcessIf1");
        RefreshCaption();
    });
    file->addSeparator();
    connect(AddMenuItem(this, file, "&Return to Main Form", "Return1"), &QAction::triggered, this, [this] {
        QWidget* target = caller_ ? caller_ : static_cast<QWidget*>(App().mainForm);
        caller_ = nullptr;
        if (auto* a = findChild<QAction*>("Return1")) a->setText("&Return to Main Form");
        if (target) App().registry.ShowWindow(target);
    });
    auto* recent = new RecentFilesMenu(file, [this](const QString& path) {
        if (App().mainForm) App().mainForm->OpenRecentFile(path);
        ResetForm();
    });
    connect(file, &QMenu::aboutToShow, recent, &RecentFilesMenu::Refresh);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("EditMenu");
    for (auto [text, name, key] : {std::tuple{"&Undo", "Undo1", QKeySequence::Undo},
                                   std::tuple{"Cu&t", "Cut1", QKeySequence::Cut},
                                   std::tuple{"&Copy", "Copy1", QKeySequence::Copy},
                                   std::tuple{"&Paste", "Paste1", QKeySequence::Paste}}) {
        QAction* a = AddMenuItem(this, edit, text, name, key);
        const QString itemName = name;
        connect(a, &QAction::triggered, this, [this, itemName] {
            if (auto* e = qobject_cast<QLineEdit*>(focusWidget())) ApplyEditCommand(e, nullptr, itemName);
        });
    }
    connect(edit, &QMenu::aboutToShow, this, &TForm_VARsetup::UpdateEditMenu);
    auto* tools = addToolBar("Tools");
    tools->setObjectName("ToolBar");
    for (const char* name : {"Copy1", "Paste1"}) tools->addAction(findChild<QAction*>(name));
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditMenu(); });

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("ViewMenu");
    connect(AddMenuItem(this, view, "&Form Resize", "FormResize1"), &QAction::triggered, this, [this] {
        EnlargeWindow(this, scale_, QRect());
    });
    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("HelpMenu");
    connect(AddMenuItem(this, help, "&Contents", "Contents1"), &QAction::triggered, this,
            [this] { HelpContents(session_, HelpBaseAddress, AppHelpFile); });
    connect(AddMenuItem(this, help, "&Help on Variables Chart Setup", "HelponVariablesChartSetup1", Qt::Key_F1),
            &QAction::triggered, this, [this] { HelpTopic(session_, HelpTopicNumber, HelpBaseAddress, AppHelpFile); });
    UpdateEditMenu();
}

void TForm_VARsetup::UpdateEditMenu() {
    // Edit and Copy/Paste only while a text field has the focus.
    QWidget* focused = focusWidget();
    UpdateEditActions(this, focused);
    if (qobject_cast<QLineEdit*>(focused)) return;
    for (const char* name : {"Undo1", "Cut1", "Copy1", "Paste1"})
        if (auto* a = findChild<QAction*>(name)) a->setEnabled(false);
}

QString TForm_VARsetup::ColumnItem(int column) const { return QString::fromStdString(ColumnName(session_, column)); }

std::vector<int> TForm_VARsetup::ColumnsOf(const QListWidget* list) const {
    std::vector<int> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->data(Qt::UserRole).toInt());
    return out;
}

std::vector<int> TForm_VARsetup::SelectedOf(const QListWidget* list) const {
    std::vector<int> out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) out.push_back(list->item(i)->data(Qt::UserRole).toInt());
    return out;
}

void TForm_VARsetup::FillList(QListWidget* list, const std::vector<int>& columns) {
    list->clear();
    for (int c : columns) {
        auto* it = new QListWidgetItem(ColumnItem(c));
        it->setData(Qt::UserRole, c);
        list->addItem(it);
    }
}

void TForm_VARsetup::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QMainWindow::changeEvent(event);
}

void TForm_VARsetup::FormActivate() {
    EnsureDataCurrent(session_);
    if (!everReset_ || !HaveData(session_) || session_.DataVersion != resetVersion_) ResetForm();
    RefreshCaption();
}

void TForm_VARsetup::ResetForm() {
    everReset_ = true;
    resetVersion_ = session_.DataVersion;
    const int columns = HaveData(session_) ? MaxCol(session_) : 0;
    VarSetupState fresh;
    fresh.columnCount = columns;
    // Texts the user typed stay; only the selection starts again.
    fresh.stdErrText = stdErrEdit_->text().toStdString();
    fresh.mrCountText = mrEdit_->text().toStdString();
    st_ = fresh;
    RefreshMode(st_);
    std::vector<int> all;
    for (int c = 1; c <= columns; ++c) all.push_back(c);
    FillList(dataList_, all);
    FillList(measureList_, {});
    FillList(groupList_, {});
    axisLabels_->clear();
    axisLabels_->addItem("        (Use Order Number)");
    for (int c = 1; c <= columns; ++c) axisLabels_->addItem(ColumnItem(c));
    selections_.clear();
    if (VarChartHandoff::DiscardHook()) VarChartHandoff::DiscardHook()();
    ShowState();
}

void TForm_VARsetup::SelectionChanged() {
    SetMeasures(st_, ColumnsOf(measureList_));
    st_.groupColumns = ColumnsOf(groupList_);
    selections_.clear();
    if (VarChartHandoff::DiscardHook()) VarChartHandoff::DiscardHook()();
    ShowState();
}

void TForm_VARsetup::ReadTexts() {
    for (int i = 0; i < 3; ++i) {
        st_.locUserBox[i] = locUserBox_[i]->isChecked();
        st_.locUserText[i] = locUserEdit_[i]->text().toStdString();
        st_.dispUserBox[i] = dispUserBox_[i]->isChecked();
        st_.dispUserText[i] = dispUserEdit_[i]->text().toStdString();
    }
    st_.muText = muEdit_->text().toStdString();
    st_.sigmaText = sigmaEdit_->text().toStdString();
    st_.mrCountText = mrEdit_->text().toStdString();
    st_.stdErrText = stdErrEdit_->text().toStdString();
    st_.sampleSize = sizeSpin_->value();
    st_.axisLabelColumn = std::max(0, axisLabels_->currentIndex());
    st_.positiveLimitsOnly = positiveBox_->isChecked();
}

void TForm_VARsetup::ShowState() {
    updating_ = true;
    RefreshMode(st_);
    const VarSetupLists l = ListsOf(st_);
    const VarSetupVisibility v = VisibilityOf(st_);
    SetItems(locType_, l.locType, st_.locType);
    SetItems(dispType_, l.dispType, st_.dispType);
    SetItems(locLimit_, l.locLimit, st_.locLimit);
    SetItems(locCenter_, l.locCenter, st_.locCenter);
    SetItems(dispLimit_, l.dispLimit, st_.dispLimit);
    SetItems(dispCenter_, l.dispCenter, st_.dispCenter);
    measureCaption_->setText(QString::fromStdString(v.measureCaption));
    sampleCaption_->setText(QString::fromStdString(v.sampleCaptionText));
    sampleCaption_->setVisible(v.sampleCaption);
    sampleButton_->setVisible(v.sampleButton);
    sampleButton_->setText(st_.sampleColumn ? "<" : ">");
    sampleEdit_->setVisible(v.sampleButton);
    sampleEdit_->setText(st_.sampleColumn ? ColumnItem(st_.sampleColumn) : QString());
    constantBox_->setVisible(v.constantBox);
    constantBox_->setChecked(st_.constantSize);
    sizeSpin_->setVisible(v.sampleSpin);
    for (QWidget* w : {static_cast<QWidget*>(setsCaption_), static_cast<QWidget*>(setsButton_),
                       static_cast<QWidget*>(setsEdit_)})
        w->setVisible(v.setsControls);
    setsButton_->setText(st_.setsColumn ? "<" : ">");
    setsEdit_->setText(st_.setsColumn ? ColumnItem(st_.setsColumn) : QString());
    groupsCaption_->setVisible(v.groupControls);
    groupList_->setVisible(v.groupControls);
    for (auto* b : groupButtons_) b->setVisible(v.groupControls);
    layoutBox_->setVisible(v.layoutBox);
    (RowsLayoutUsed(st_) ? byRows_ : byColumns_)->setChecked(true);
    locLimit_->setVisible(v.locLimits);
    locLimitCaption_->setVisible(v.locLimits);
    locCenter_->setVisible(v.locCenter);
    locCenterCaption_->setVisible(v.locCenter);
    positiveBox_->setVisible(v.positiveLimits);
    dispLimit_->setVisible(v.dispLimits);
    dispLimitCaption_->setVisible(v.dispLimits);
    dispCenter_->setVisible(v.dispCenter);
    dispCenterCaption_->setVisible(v.dispCenter);
    locUser_->setVisible(v.locUser);
    dispUser_->setVisible(v.dispUser);
    for (int i = 0; i < 3; ++i) {
        locUserEdit_[i]->setVisible(locUserBox_[i]->isChecked());
        dispUserEdit_[i]->setVisible(dispUserBox_[i]->isChecked());
    }
    muCaption_->setVisible(v.mu);
    muEdit_->setVisible(v.mu);
    sigmaCaption_->setVisible(v.sigma);
    sigmaEdit_->setVisible(v.sigma);
    stdErrCaption_->setVisible(v.stdErr);
    stdErrEdit_->setVisible(v.stdErr);
    mrCaption_->setVisible(v.mrCount);
    mrEdit_->setVisible(v.mrCount);
    actionButton_->setEnabled(v.action);
    updating_ = false;
}

void TForm_VARsetup::RefreshCaption() {
    const std::string name = session_.DataFilename;
    if (name.empty()) {
        setWindowTitle("Variables Chart Setup");
    } else {
        const auto slash = name.find_last_of("/\\");
        setWindowTitle(QString::fromStdString("Variables Chart Setup - " + name.substr(slash == std::string::npos ? 0 : slash + 1)));
    }
}

void TForm_VARsetup::ActionClick() {
    ReadTexts();
    VarChartSetup next;
    std::string error;
    if (!ValidateVarChartSetup(session_, st_, next, error)) {
        if (!error.empty()) session_.messages->Error(error);
        return;
    }
    committed_ = std::move(next);
    session_.DataList.IncludeCol = committed_.include;
    selections_ = BuildChartSelections(session_, committed_);
    if (VarChartHandoff::ShowHook()) VarChartHandoff::ShowHook()(this, committed_, selections_);
}

void TForm_VARsetup::ShowFromCaller(QWidget* caller, QString callerName) {
    caller_ = caller;
    callerName_ = callerName;
    if (auto* a = findChild<QAction*>("Return1")) a->setText("&Return to " + callerName);
    App().registry.ShowWindow(this);
}

}  // namespace amx::gui
