#include "spc/ControlLimitForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "common/MessageHelpers.h"
#include "help/HelpTopics.h"
#include "modifications/KeyFilterAdapter.h"
#include "output/ReportOutput.h"
#include "output/ReportPane.h"
#include "procedure/FormScale.h"
#include "procedure/EditCommands.h"
#include "session/Session.h"
#include "shell/AppContext.h"
#include "shell/ShellDefaults.h"
#include "shell/WindowRegistry.h"

namespace amx::gui {
namespace {

WindowClassRegistration registration("TControl_Limit_Form",
                                     [] { return new TControl_Limit_Form(App().session); });

constexpr int DefaultDecimals = 4;
constexpr int BodyPoints = 8;
const char* MainFormName = "AmbroluxMainForm";

// Combining marks that draw the bar, double bar and tilde over a letter.
const QString Bar = QString(QChar(0x0304));
const QString DoubleBar = QString(QChar(0x033F));
const QString Tilde = QString(QChar(0x0303));

// "&X:" with the mark of the tab's centre: the grand mean, the median of
// medians or the mean of the values.
QString CentreCaption(int chartType) {
    const QString mark = chartType == ChartMean ? DoubleBar : chartType == ChartMedian ? Tilde : Bar;
    return "&X" + mark + ":";
}

// The attribute averages p, np, c and u carry a bar over their letters.
QString StatisticCaptionText(int chartType) {
    const QString plain = QString::fromStdString(StatisticCaption(chartType));
    if (chartType < ChartProportion) return plain;
    QString out;
    for (QChar c : plain) {
        out += c;
        if (c.isLetter()) out += Bar;
    }
    return out;
}

QWidget* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == MainFormName) return w;
    return nullptr;
}

// A decimals box that gives back 4 when left empty.
class DecimalsSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    void focusOutEvent(QFocusEvent* e) override {
        if (cleanText().trimmed().isEmpty()) setValue(DefaultDecimals);
        QSpinBox::focusOutEvent(e);
    }
    void fixup(QString& input) const override {
        if (input.trimmed().isEmpty()) input = QString::number(DefaultDecimals);
        else QSpinBox::fixup(input);
    }
};

QLineEdit* NumberEdit(QWidget* parent, const QString& name, const QString& text, KeyFilterAdapter::Filter filter,
                      Messages* messages) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(140);
    new KeyFilterAdapter(edit, std::move(filter), messages);
    return edit;
}

// The document with every font size multiplied by `ratio` (rounded, never
// below 1 point).
ReportDocument ScaledDocument(const ReportDocument& doc, double ratio) {
    auto scaled = [ratio](TextFont f) {
        f.size = std::max(1, static_cast<int>(std::lround(f.size * ratio)));
        return f;
    };
    ReportDocument out;
    out.defaultFont = scaled(doc.defaultFont);
    for (const Paragraph& p : doc.Lines()) {
        if (p.kind == ParagraphKind::PageMark) {
            out.AppendPageMark(scaled(p.endFont));
            continue;
        }
        for (const TextRun& r : p.runs) out.AppendText(r.text, scaled(r.font));
        out.EndLine(scaled(p.endFont));
    }
    return out;
}

}  // namespace

TControl_Limit_Form::TControl_Limit_Form(Session& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
    setObjectName("Control_Limit_Form");
    setWindowTitle("Control Limit Calculations");

    auto* central = new QWidget(this);
    auto* outer = new QHBoxLayout(central);
    outer->setContentsMargins(6, 6, 6, 6);

    pages_ = new QTabWidget(central);
    pages_->setObjectName("PageControl1");
    for (int chart = FirstChartCode; chart <= LastChartCode; ++chart) BuildTab(chart);
    outer->addWidget(pages_, 1);

    // The decimals and "&Action" serve every tab.
    auto* side = new QVBoxLayout;
    calcButton_ = new QPushButton("&Action", central);
    calcButton_->setObjectName("CalcButton");
    calcButton_->setToolTip("Display Results");
    calcButton_->setDefault(true);
    calcButton_->setAutoDefault(true);
    connect(calcButton_, &QPushButton::clicked, this, [this] { CalcButtonClick(); });
    auto* decLabel = new QLabel("&Decimals:", central);
    decimals_ = new DecimalsSpinBox(central);
    decimals_->setObjectName("DecimalSpinEdit");
    decimals_->setRange(0, 9);
    decimals_->setValue(DefaultDecimals);
    decLabel->setBuddy(decimals_);
    connect(decimals_, &QSpinBox::valueChanged, this, [this] { DecimalSpinEditChange(); });
    side->addSpacing(pages_->tabBar()->sizeHint().height());
    side->addWidget(calcButton_);
    side->addSpacing(12);
    side->addWidget(decLabel);
    side->addWidget(decimals_);
    side->addStretch(1);
    outer->addLayout(side);
    setCentralWidget(central);

    BuildMenusAndTools();
    resize(720, 560);
}

void TControl_Limit_Form::BuildTab(int chart) {
    Tab& tab = tabs_[static_cast<size_t>(chart - 1)];
    const QString k = QString::number(chart);
    tab.page = new QWidget(pages_);
    tab.page->setObjectName("TabSheet" + k);
    auto* layout = new QVBoxLayout(tab.page);

    auto* inputs = new QHBoxLayout;
    auto* fields = new QGridLayout;
    fields->setColumnMinimumWidth(0, 80);
    int row = 0;
    auto addRow = [&](QLabel* label, QLineEdit* edit) {
        label->setBuddy(edit);
        // Enter in a field calculates, as the default button of a dialog would.
        connect(edit, &QLineEdit::returnPressed, this, [this] { CalcButtonClick(); });
        fields->addWidget(label, row, 0, Qt::AlignRight);
        fields->addWidget(edit, row, 1);
        ++row;
    };
    if (CalculatorHasCentre(chart)) {
        tab.centreLabel = new QLabel(CentreCaption(chart), tab.page);
        tab.centreLabel->setObjectName("XLabel" + k);
        tab.centre = NumberEdit(tab.page, "XEdit" + k, "0", RealKey, session_.messages);
        addRow(tab.centreLabel, tab.centre);
    }
    tab.statisticLabel = new QLabel(StatisticCaptionText(chart), tab.page);
    tab.statisticLabel->setObjectName("StatisticLabel" + k);
    tab.statistic =
        NumberEdit(tab.page, "StatisticEdit" + k, "0", chart == ChartProportion ? ProbabilityKey : PositiveRealKey, session_.messages);
    addRow(tab.statisticLabel, tab.statistic);
    if (CalculatorHasN(chart)) {
        const QString caption =
            chart == ChartIndividuals ? QString::fromStdString(IndividualsNCaption(1)) : QString("&n:");
        tab.nLabel = new QLabel(caption, tab.page);
        tab.nLabel->setObjectName("NLabel" + k);
        tab.n = NumberEdit(tab.page, "NEdit" + k, "0", chart == ChartDefectsPerUnit ? PositiveRealKey : IntegerKey, session_.messages);
        addRow(tab.nLabel, tab.n);
    }
    auto* stdErrLabel = new QLabel("Std &Err:", tab.page);
    tab.stdErr = NumberEdit(tab.page, "StdErrEdit" + k, "3", PositiveRealKey, session_.messages);
    addRow(stdErrLabel, tab.stdErr);
    fields->setRowStretch(row, 1);
    inputs->addLayout(fields);
    inputs->addSpacing(16);

    tab.methodGroup = new QGroupBox(QString::fromStdString(MethodGroupCaption(chart)), tab.page);
    tab.methodGroup->setObjectName("MethodRadioGroup" + k);
    tab.methods = new QButtonGroup(tab.methodGroup);
    auto* groupLayout = new QGridLayout(tab.methodGroup);
    const int count = MethodCount(chart);
    const int perColumn = count > 5 ? (count + 1) / 2 : count;
    for (int m = 1; m <= count; ++m) {
        auto* radio = new QRadioButton(QString::fromStdString(MethodName(chart, m)), tab.methodGroup);
        radio->setObjectName(QString("MethodRadio%1_%2").arg(chart).arg(m));
        tab.methods->addButton(radio, m);
        groupLayout->addWidget(radio, (m - 1) % perColumn, (m - 1) / perColumn);
        if (m == 1) radio->setChecked(true);
    }
    connect(tab.methods, &QButtonGroup::idClicked, this, [this, chart](int m) { MethodClick(chart, m); });
    inputs->addWidget(tab.methodGroup, 0, Qt::AlignTop);
    inputs->addStretch(1);
    layout->addLayout(inputs);

    tab.pane = new ReportPane(tab.page);
    tab.pane->setObjectName("ReportPane" + k);
    tab.pane->setReadOnly(true);
    tab.pane->defaultFont.size = BodyPoints;
    tab.pane->setMinimumHeight(140);
    layout->addWidget(tab.pane, 1);

    pages_->addTab(tab.page, QString::fromStdString(ChartCaption(chart)));
}

void TControl_Limit_Form::BuildMenusAndTools() {
    auto action = [this](const char* name, const QString& caption, auto slot) {
        auto* a = new QAction(caption, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const QString title = QString::fromStdString(AppProductName);
    QAction* save = action("SaveAs1", "Save &As...", [this] { SaveOutput(*ActivePane(), this, *session_.messages); });
    save->setToolTip("Save Output");
    save->setShortcut(QKeySequence("Ctrl+Shift+S"));
    QAction* print = action("Print1", "&Print...", [this, title] {
        PrintOutput(*ActivePane(), title, this, *session_.messages);
    });
    print->setShortcut(QKeySequence::Print);
    print->setToolTip("Print Output");
    QAction* hide = action("HideForm1", "&Hide Form", [this] { close(); });
    hide->setToolTip("Hide Form");
    resizeAction_ = action("FormResize1", "&Form Resize", [this] { FormResize(); });
    resizeAction_->setToolTip("Maximize Form Size");
    QAction* ret = action("Return1", "&Return to Main Form", [this] { ReturnClick(); });
    ret->setToolTip("Return to Main Form");
    QAction* mainForm = action("MainForm1", "&Main Form", [this] { ReturnClick(); });
    QAction* contents = action("Contents1", "&Contents", [this] {
        HelpContents(session_, HelpBaseAddress, AppHelpFile);
    });
    contents->setToolTip("Help");

    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("FileMenu");
    file->addAction(save);
    file->addAction(print);
    file->addSeparator();
    file->addAction(hide);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("EditMenu");
    const std::pair<const char*, const char*> items[] = {
        {"Undo1", "&Undo"}, {"Cut1", "Cu&t"}, {"Copy1", "&Copy"}, {"Paste1", "&Paste"}, {"Select1", "Select &All"}};
    for (const auto& [name, caption] : items) {
        QAction* a = action(name, caption, [this, n = QString(name)] { EditCommand(n); });
        if (QString(name) == "Cut1" || QString(name) == "Select1") edit->addSeparator();
        edit->addAction(a);
    }
    connect(edit, &QMenu::aboutToShow, this, &TControl_Limit_Form::UpdateEditMenu);

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("ViewMenu");
    view->addAction(resizeAction_);
    view->addSeparator();
    view->addAction(ret);
    view->addAction(mainForm);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("HelpMenu");
    help->addAction(contents);
    QAction* topic = action("Help1", "&Help on Control Limit Calculations", [this] {
        HelpTopic(session_, help_topic::ControlLimits, HelpBaseAddress, AppHelpFile);
    });
    topic->setShortcut(Qt::Key_F1);
    topic->setShortcutContext(Qt::WindowShortcut);
    help->addAction(topic);

    QToolBar* tools = addToolBar("Tools");
    tools->setObjectName("ToolBar");
    tools->setMovable(false);
    tools->addAction(hide);
    tools->addAction(ret);
    tools->addSeparator();
    tools->addAction(save);
    tools->addAction(print);
    tools->addSeparator();
    tools->addAction(action("CopyButton", "Copy", [this] { EditCommand("Copy1"); }));
    tools->addAction(action("PasteButton", "Paste", [this] { EditCommand("Paste1"); }));
    tools->addSeparator();
    tools->addAction(resizeAction_);
    tools->addAction(contents);
}

int TControl_Limit_Form::ActiveChart() const { return pages_->currentIndex() + 1; }

void TControl_Limit_Form::SetActiveChart(int chartType) {
    if (chartType >= FirstChartCode && chartType <= LastChartCode) pages_->setCurrentIndex(chartType - 1);
}

ReportPane* TControl_Limit_Form::PaneOf(int chartType) const {
    if (chartType < FirstChartCode || chartType > LastChartCode) return nullptr;
    return TabOf(chartType).pane;
}

int TControl_Limit_Form::SelectedMethod(const Tab& tab) const {
    const int id = tab.methods->checkedId();
    return id > 0 ? id : 1;
}

void TControl_Limit_Form::MethodClick(int chart, int method) {
    if (chart != ChartIndividuals) return;
    const Tab& tab = TabOf(chart);
    tab.nLabel->setText(QString::fromStdString(IndividualsNCaption(method)));
    const bool visible = IndividualsNVisible(method);
    tab.nLabel->setVisible(visible);
    tab.n->setVisible(visible);
}

void TControl_Limit_Form::CalcButtonClick() {
    const int chart = ActiveChart();
    const Tab& tab = TabOf(chart);
    ControlLimitRequest req;
    req.chartType = chart;
    req.method = SelectedMethod(tab);
    if (tab.centre) req.centreText = tab.centre->text().toStdString();
    req.statisticText = tab.statistic->text().toStdString();
    if (tab.n) req.nText = tab.n->text().toStdString();
    req.stdErrText = tab.stdErr->text().toStdString();
    req.decimalsText = decimals_->cleanText().toStdString();
    req.fontScale = scale_;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    ReportDocument doc;
    doc.defaultFont = tab.pane->defaultFont;
    const ControlLimitResult result = CalculateControlLimits(session_, req, doc);
    QApplication::restoreOverrideCursor();

    if (result.Failed()) {
        QLineEdit* focus = nullptr;
        switch (result.focus) {
            case ControlLimitField::Centre: focus = tab.centre; break;
            case ControlLimitField::Statistic: focus = tab.statistic; break;
            case ControlLimitField::N: focus = tab.n; break;
            case ControlLimitField::StdErr: focus = tab.stdErr; break;
            case ControlLimitField::None: break;
        }
        if (focus) {
            focus->setFocus();
            focus->selectAll();
        }
        return;
    }
    tab.pane->ShowDocument(doc);
}

void TControl_Limit_Form::DecimalSpinEditChange() {
    // Re-formats the report on show; a tab never calculated stays quiet
    // instead of answering a decimals click with an error box.
    if (decimals_->cleanText().trimmed().isEmpty()) return;
    if (ActivePane()->document()->isEmpty()) return;
    CalcButtonClick();
}

void TControl_Limit_Form::FormResize(QRect workArea) {
    const double r = EnlargeWindow(this, scale_, workArea);
    if (r == 0) return;
    for (Tab& tab : tabs_) {
        tab.pane->defaultFont.size = std::max(1, static_cast<int>(std::lround(BodyPoints * scale_)));
        if (!tab.pane->document()->isEmpty()) tab.pane->ShowDocument(ScaledDocument(tab.pane->ToDocument(), r));
    }
    resizeAction_->setToolTip(scale_ > 1.0 ? "Minimize Form Size" : "Maximize Form Size");
}

void TControl_Limit_Form::ReturnClick() {
    if (QWidget* m = MainWindow()) {
        if (m->isMinimized()) m->showNormal();
        m->show();
        m->raise();
        m->activateWindow();
    }
}

QWidget* TControl_Limit_Form::ActiveEditControl() const {
    QWidget* w = focusWidget();
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w)) return w;
    return nullptr;
}

void TControl_Limit_Form::EditCommand(const QString& itemName) {
    ApplyEditCommand(ActiveEditControl(), ActivePane(), itemName);
}

void TControl_Limit_Form::UpdateEditMenu() {
    UpdateEditActions(this, focusWidget());
}

}  // namespace amx::gui
