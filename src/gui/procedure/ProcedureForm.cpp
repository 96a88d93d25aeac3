#include "procedure/ProcedureForm.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "common/Messages.h"
#include "output/ReportPane.h"
#include "procedure/FormScale.h"
#include "procedure/EditCommands.h"
#include "session/Session.h"
#include "worksheet/modifications/FileModText.h"
#include "shell/ShellDefaults.h"
#include "shell/WindowRegistry.h"
#include "common/MessageHelpers.h"

namespace amx::gui {
namespace {

const char* MainFormName = "AmbroluxMainForm";

QWidget* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == MainFormName) return w;
    return nullptr;
}

void ShowAndActivate(QWidget* w) {
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}

// A spin box that gives back its default when left empty.
class DecimalSpinBox : public QSpinBox {
public:
    int defaultValue = 3;
    using QSpinBox::QSpinBox;

protected:
    void focusOutEvent(QFocusEvent* e) override {
        if (cleanText().trimmed().isEmpty()) setValue(defaultValue);
        QSpinBox::focusOutEvent(e);
    }
    void fixup(QString& input) const override {
        if (input.trimmed().isEmpty()) input = QString::number(defaultValue);
        else QSpinBox::fixup(input);
    }
};

}  // namespace

TProcedureForm::TProcedureForm(Session& session, const ProcedureFormOptions& options, QWidget* parent)
    : QMainWindow(parent), session_(session), options_(options) {
    setWindowTitle(options.windowTitle);
    setAttribute(Qt::WA_DeleteOnClose, options.releaseOnClose);
    fontSizes_.heading = options.headingSize;
    fontSizes_.body = options.bodySize;
    seenVariablesVersion_ = session.VariablesVersion;
    seenDataVersion_ = session.DataVersion;

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(4, 4, 4, 4);
    auto* splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName("ProcedureSplitter");
    splitter->setChildrenCollapsible(false);

    auto* top = new QWidget(splitter);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    inputPanel_ = new QWidget(top);
    inputPanel_->setObjectName("InputPanel");
    inputLayout_ = new QVBoxLayout(inputPanel_);
    inputLayout_->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(inputPanel_, 1);

    auto* options_row = new QHBoxLayout;
    auto* decLabel = new QLabel("Decimals:", top);
    decimals_ = [&] {
        auto* spin = new DecimalSpinBox(top);
        spin->defaultValue = options.defaultDecimals;
        return spin;
    }();
    decimals_->setObjectName("DecimalSpinEdit");
    decimals_->setRange(options.minDecimals, options.maxDecimals);
    decimals_->setValue(options.defaultDecimals);
    decLabel->setBuddy(decimals_);
    clearBox_ = new QCheckBox("Clear Before Display", top);
    clearBox_->setObjectName("ClearCheckBox");
    clearBox_->setChecked(options.clearBeforeDisplay);
    options_row->addWidget(decLabel);
    options_row->addWidget(decimals_);
    options_row->addSpacing(16);
    options_row->addWidget(clearBox_);
    options_row->addStretch(1);
    topLayout->addLayout(options_row);

    pane_ = new ReportPane(splitter);
    pane_->defaultFont.size = options.bodySize;
    pane_->setMinimumHeight(120);
    connect(pane_, &ReportPane::fontStepRequested, this, [this](int d) { d > 0 ? IncreaseFont() : DecreaseFont(); });
    splitter->addWidget(top);
    splitter->addWidget(pane_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    outer->addWidget(splitter);
    setCentralWidget(central);

    BuildMenusAndTools();
    resize(760, 620);
}

void TProcedureForm::BuildMenusAndTools() {
    auto action = [this](const char* name, const QString& caption, auto slot) {
        auto* a = new QAction(caption, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QAction* save = action("SaveAs1", "Save &As...", [this] { SaveOutputClick(); });
    save->setShortcut(QKeySequence("Ctrl+Shift+S"));
    save->setShortcutContext(Qt::WindowShortcut);
    save->setToolTip("Save Output");
    QAction* print = action("Print1", "&Print...", [this] { PrintOutputClick(); });
    print->setToolTip("Print Output");
    printSketchAction_ = action("PrintWithSketch1", "Print With &Sketch...", [this] { PrintWithSketchClick(); });
    printSketchAction_->setVisible(false);
    QAction* hide = action("HideForm1", "&Hide Form", [this] { close(); });
    hide->setToolTip("Hide Form");
    copyGraphAction_ = action("CopyGraph1", "&Copy Graph", [this] { CopySketch(); });
    copyGraphAction_->setVisible(false);

    QAction* up = action("IncreaseFont1", "&Increase Font", [this] { IncreaseFont(); });
    up->setToolTip("Increase Font");
    QAction* down = action("DecreaseFont1", "&Decrease Font", [this] { DecreaseFont(); });
    down->setToolTip("Decrease Font");
    resizeAction_ = action("FormResize1", "&Form Resize", [this] { FormResize(); });
    returnAction_ = action("Return1", "&Return to Main Form", [this] { ReturnClick(); });
    returnAction_->setToolTip("Return to Main Form");
    QAction* mainForm = action("MainForm1", "&Main Form", [] {
        if (QWidget* m = MainWindow()) ShowAndActivate(m);
    });

    fileMenu_ = menuBar()->addMenu("&File");
    fileMenu_->setObjectName("FileMenu");
    fileMenu_->addAction(save);
    fileMenu_->addAction(print);
    fileMenu_->addAction(printSketchAction_);
    fileMenu_->addSeparator();
    fileMenu_->addAction(hide);

    editMenu_ = menuBar()->addMenu("&Edit");
    editMenu_->setObjectName("EditMenu");
    const std::pair<const char*, const char*> items[] = {{"Undo1", "&Undo"},   {"Cut1", "Cu&t"},
                                                         {"Copy1", "&Copy"},   {"Paste1", "&Paste"},
                                                         {"Delete1", "&Delete"}, {"Select1", "Select &All"}};
    for (const auto& [name, caption] : items) {
        QAction* a = action(name, caption, [this, n = QString(name)] { EditCommand(n); });
        if (QString(name) == "Undo1" || QString(name) == "Select1") editMenu_->addSeparator();
        editMenu_->addAction(a);
    }
    editMenu_->addSeparator();
    editMenu_->addAction(copyGraphAction_);
    connect(editMenu_, &QMenu::aboutToShow, this, &TProcedureForm::UpdateEditMenu);

    viewMenu_ = menuBar()->addMenu("&View");
    viewMenu_->setObjectName("ViewMenu");
    viewMenu_->addAction(up);
    viewMenu_->addAction(down);
    viewMenu_->addAction(resizeAction_);
    viewMenu_->addSeparator();
    viewMenu_->addAction(returnAction_);
    viewMenu_->addAction(mainForm);
    dataEditorAction_ = action("DataEditor1", "&Data Editor", [this] { DataEditorClick(); });
    viewMenu_->addAction(dataEditorAction_);
    connect(viewMenu_, &QMenu::aboutToShow, this,
            [this] { dataEditorAction_->setVisible(static_cast<bool>(DataEditorHook())); });

    QMenu* help = helpMenu_ = menuBar()->addMenu("&Help");
    help->setObjectName("HelpMenu");
    help->addAction(action("Contents1", "&Contents",
                           [this] { HelpContents(session_, HelpBaseAddress, AppHelpFile); }));
    if (options_.helpTopic > 0) {
        QAction* topic = action("Help1", "&Help", [this] {
            HelpTopic(session_, options_.helpTopic, HelpBaseAddress, AppHelpFile);
        });
        topic->setShortcut(Qt::Key_F1);
        topic->setShortcutContext(Qt::WindowShortcut);
        help->addAction(topic);
    }

    toolBar_ = addToolBar("Tools");
    toolBar_->setObjectName("ToolBar");
    toolBar_->setMovable(false);
    toolBar_->addAction(hide);
    toolBar_->addAction(returnAction_);
    toolBar_->addSeparator();
    toolBar_->addAction(save);
    toolBar_->addAction(print);
    toolBar_->addSeparator();
    // The tool buttons act on the active control like the menu items.
    QAction* copyTool = action("CopyButton", "Copy", [this] { EditCommand("Copy1"); });
    QAction* pasteTool = action("PasteButton", "Paste", [this] { EditCommand("Paste1"); });
    toolBar_->addAction(copyTool);
    toolBar_->addAction(pasteTool);
    toolBar_->addSeparator();
    toolBar_->addAction(up);
    toolBar_->addAction(down);
    toolBar_->addAction(resizeAction_);
    UpdateResizeButton();
}

int TProcedureForm::Decimals() const {
    if (decimals_->cleanText().trimmed().isEmpty()) return options_.defaultDecimals;
    return decimals_->value();
}

bool TProcedureForm::ClearBeforeDisplay() const { return clearBox_->isChecked(); }

OutputWriter& TProcedureForm::BeginReport(const std::string& title, const std::vector<std::string>& selectionLines,
                                          const std::string& fileModText, bool fromWorksheet) {
    before_ = pane_->ToDocument();
    doc_ = before_;
    doc_.defaultFont.size = fontSizes_.body;
    writer_.SetOutputPane(&doc_);
    pane_->ScrollToEnd();
    ReportPreamble p;
    p.title = title;
    p.headingSize = fontSizes_.heading;
    p.bodySize = fontSizes_.body;
    p.clearBeforeDisplay = ClearBeforeDisplay();
    p.fromWorksheet = fromWorksheet;
    p.fileName = session_.DataFilename;
    p.selectionLines = selectionLines;
    p.fileModText = fileModText;
    // Every report from worksheet data states the rules that changed what it saw.
    if (fromWorksheet && p.fileModText.empty() && GetFileModString(session_)) p.fileModText = session_.FileModString;
    WriteReportPreamble(writer_, p);
    return writer_;
}

void TProcedureForm::EndReport() {
    pane_->ShowAppended(before_, doc_);
    pane_->ScrollToEnd();
    before_ = ReportDocument{};
}

bool TProcedureForm::IncreaseFont() {
    if (!fontSizes_.Increase()) return false;
    pane_->ScaleFonts(+1);
    return true;
}

bool TProcedureForm::DecreaseFont() {
    if (!fontSizes_.Decrease()) return false;
    pane_->ScaleFonts(-1);
    return true;
}

void TProcedureForm::FormResize(QRect workArea) {
    if (EnlargeWindow(this, scale_, workArea) == 0) return;
    UpdateResizeButton();
}

void TProcedureForm::UpdateResizeButton() {
    const QString text = scale_ > 1.0 ? "Minimize Form Size" : "Maximize Form Size";
    resizeAction_->setToolTip(text);
    resizeAction_->setIconText(text);
}

void TProcedureForm::SetCaller(QWidget* caller, const QString& callerName) {
    caller_ = caller;
    callerName_ = callerName;
    returnAction_->setText("&Return to " + callerName);
    returnAction_->setToolTip("Return to " + callerName);
}

void TProcedureForm::ReturnClick() {
    QWidget* target = caller_ ? caller_.data() : MainWindow();
    caller_ = nullptr;
    callerName_.clear();
    returnAction_->setText("&Return to Main Form");
    returnAction_->setToolTip("Return to Main Form");
    if (target) ShowAndActivate(target);
}

TProcedureForm::DataEditorOpener& TProcedureForm::DataEditorHook() {
    static DataEditorOpener hook;
    return hook;
}

void TProcedureForm::DataEditorClick() {
    if (DataEditorHook()) DataEditorHook()(this, windowTitle());
}

void TProcedureForm::SetSketch(SketchPainter sketch) {
    sketch_ = std::move(sketch);
    printSketchAction_->setVisible(static_cast<bool>(sketch_));
    copyGraphAction_->setVisible(static_cast<bool>(sketch_));
}

void TProcedureForm::CopySketch(QSize size) {
    if (!sketch_) return;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        sketch_(painter, QRect(QPoint(0, 0), size));
    }
    QApplication::clipboard()->setImage(image);
    session_.messages->TimedNotice("Graph Copied to Clipboard!", 2);
}

QWidget* TProcedureForm::ActiveEditControl() const {
    QWidget* w = focusWidget();
    if (!w || w == pane_) return nullptr;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return w;
    return nullptr;
}

void TProcedureForm::EditCommand(const QString& itemName) {
    ApplyEditCommand(ActiveEditControl(), pane_, itemName);
}

void TProcedureForm::UpdateEditMenu() {
    UpdateEditActions(this, focusWidget());
}

void TProcedureForm::showEvent(QShowEvent* event) {
    // Placed when first shown, after the window's own menus: Help stays the
    // last menu, and a window that made its own Process If item keeps it (one
    // F8, one item).
    if (!placedOnShow_) {
        placedOnShow_ = true;
        menuBar()->removeAction(helpMenu_->menuAction());
        menuBar()->addAction(helpMenu_->menuAction());
    }
    if (options_.processIfItem && !findChild<QAction*>("ProcessIf1")) {
        auto* a = new QAction("&Process If", this);
        a->setObjectName("ProcessIf1");
        a->setShortcut(Qt::Key_F8);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, &TProcedureForm::ProcessIfClick);
        QAction* hide = findChild<QAction*>("HideForm1");
        fileMenu_->insertAction(hide, a);
        fileMenu_->insertSeparator(hide);
    }
    QMainWindow::showEvent(event);
}

void TProcedureForm::ProcessIfClick() {
    std::unique_ptr<QWidget> w(WindowRegistry::Create("TProcessIFForm"));
    auto* dialog = qobject_cast<QDialog*>(w.get());
    if (!dialog) return;
    dialog->exec();
    CheckWorksheetVersions();
}

void TProcedureForm::SaveOutputClick() { SaveOutput(*pane_, this, *session_.messages); }

void TProcedureForm::PrintOutputClick() {
    PrintOutput(*pane_, QString::fromStdString(AppProductName), this, *session_.messages);
}

void TProcedureForm::PrintWithSketchClick() {
    PrintOutputWithSketch(*pane_, QString::fromStdString(AppProductName), sketch_, this, *session_.messages);
}

void TProcedureForm::CheckWorksheetVersions() {
    if (session_.VariablesVersion != seenVariablesVersion_) {
        seenVariablesVersion_ = session_.VariablesVersion;
        VariablesVersionChanged();
    }
    if (session_.DataVersion != seenDataVersion_) {
        seenDataVersion_ = session_.DataVersion;
        DataVersionChanged();
    }
}

void TProcedureForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) CheckWorksheetVersions();
    QMainWindow::changeEvent(event);
}

void TProcedureForm::closeEvent(QCloseEvent* event) {
    // Hidden, not destroyed: inputs and results stay until the program ends.
    event->accept();
    QMainWindow::closeEvent(event);
}

}  // namespace amx::gui
