#include "worksheet/DataForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolBar>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

#include "common/MessageHelpers.h"
#include "procedure/MenuItems.h"
#include "shell/AppContext.h"
#include "shell/MainForm.h"
#include "shell/RecentFilesMenu.h"
#include "shell/ShellDefaults.h"
#include "common/UnsavedWorksheet.h"
#include "worksheet/DataFile.h"
#include "worksheet/LoadingProgress.h"
#include "worksheet/modifications/MissingRule.h"
#include "worksheet/modifications/ProcessIf.h"
#include "worksheet/modifications/Transform.h"
#include "worksheet/xlsx/Xlsx.h"
#include "worksheet/DataList.h"
#include "worksheet/GridDataModule.h"
#include "worksheet/WorksheetModels.h"

namespace amx::gui {
namespace {

Session& S() { return App().session; }

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// "Desc|pattern|Desc|pattern" as Qt name filters.
QString QtFilter(const QString& pairs) {
    const QStringList parts = pairs.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        const int paren = desc.indexOf(" (");
        if (paren >= 0) desc = desc.left(paren);
        QString pattern = parts[i + 1];
        pattern.replace(';', ' ');
        if (pattern == "*.*") pattern = "*";
        out << desc + " (" + pattern + ")";
    }
    return out.join(";;");
}

// Rows "USL:", "Target:" and "LSL:" take only the characters of a number.
class LimitKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            const QString t = k->text();
            if (t.size() == 1 && t[0].isPrint() && !(k->modifiers() & Qt::ControlModifier)) {
                const QChar c = t[0];
                if (!(c.isDigit() || c == '-' || c == '.' || c == 'E' || c == 'e')) {
                    App().session.messages->Beep();
                    return true;
                }
            }
        }
        return QObject::eventFilter(o, e);
    }
};

class DescDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        QWidget* ed = QStyledItemDelegate::createEditor(parent, opt, index);
        if (index.row() >= 1 && ed) ed->installEventFilter(new LimitKeyFilter(ed));
        return ed;
    }
};

// Keeps a typed key in a limit row from opening the editor with a letter.
bool LimitRowRejects(const QModelIndex& cur, QKeyEvent* e) {
    const QString t = e->text();
    if (!cur.isValid() || cur.row() < 1 || t.size() != 1 || !t[0].isPrint()) return false;
    if (e->modifiers() & Qt::ControlModifier) return false;
    const QChar c = t[0];
    return !(c.isDigit() || c == '-' || c == '.' || c == 'E' || c == 'e');
}

// One change to the worksheet. It is made before it is pushed, so the first
// redo (QUndoStack::push) has nothing to do. The row or column that Enter or
// Tab adds after typing joins the typing, so one undo takes back both.
class WorksheetCommand : public QUndoCommand {
public:
    enum Kind { Other = -1, Typing = 1, Growth = 1 };
    WorksheetCommand(TDataForm* form, WorksheetUndo u, const QString& name, bool growth)
        : QUndoCommand(name), form_(form), growth_(growth) {
        records_.push_back(std::move(u));
    }
    int id() const override { return text() == "Typing" || growth_ ? Typing : Other; }
    bool mergeWith(const QUndoCommand* other) override {
        auto* o = static_cast<const WorksheetCommand*>(other);
        if (growth_ || grown_ || !o->growth_) return false;
        grown_ = true;
        records_.push_back(std::move(const_cast<WorksheetCommand*>(o)->records_.front()));
        return true;
    }
    void undo() override {
        for (auto it = records_.rbegin(); it != records_.rend(); ++it) it->Apply(S().worksheet);
        Applied();
    }
    void redo() override {
        if (done_) {
            for (WorksheetUndo& u : records_) u.Apply(S().worksheet);
            Applied();
        }
        done_ = true;
    }

private:
    void Applied() {
        bool moves = false;
        for (const WorksheetUndo& u : records_) moves = moves || u.MovesColumns();
        form_->UndoApplied(moves);
    }
    TDataForm* form_;
    std::vector<WorksheetUndo> records_;
    bool growth_;
    bool grown_ = false;
    bool done_ = false;
};

}  // namespace

// ---------------------------------------------------------------------------
TWorksheetView::TWorksheetView(TDataForm* form, bool descriptions, QWidget* parent)
    : QTableView(parent), form_(form), descriptions_(descriptions) {
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultSectionSize(50);
    horizontalHeader()->setMinimumSectionSize(5);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette pal = palette();
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    setPalette(pal);
    setStyleSheet(
        "QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, "
        "stop:1 #c0c0c0); color: black; border: 0px; border-right: 1px solid #a0a0a0; "
        "border-bottom: 1px solid #a0a0a0; padding: 0px 5px; }"
        "QTableCornerButton::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, "
        "stop:1 #c0c0c0); border: 0px; border-right: 1px solid #a0a0a0; border-bottom: 1px solid #a0a0a0; }");
    if (descriptions_) setItemDelegate(new DescDelegate(this));
}

void TWorksheetView::keyPressEvent(QKeyEvent* e) {
    if (!form_) return QTableView::keyPressEvent(e);
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const int key = e->key();
    if (ctrl && (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)) {
        form_->JumpKey(this, key, shift);
        return;
    }
    if (key == Qt::Key_Tab && !shift && !ctrl && form_->TabAtLastColumn(this)) return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // With a cell editor open the key is the delegate's: it commits the
        // text and closes the editor, and closeEditor moves down. Moving (or
        // growing the sheet) here too would run before the commit and lose
        // the value, and move twice.
        if (!Editing()) form_->EnterKey(this);
        return;
    }
    if (key == Qt::Key_Delete && !Editing()) {
        form_->Clear();
        return;
    }
    if (descriptions_ && !Editing() && LimitRowRejects(currentIndex(), e)) {
        App().session.messages->Beep();
        return;
    }
    QTableView::keyPressEvent(e);
}

void TWorksheetView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (!form_) return QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (hint == QAbstractItemDelegate::SubmitModelCache) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        form_->EnterKey(this);
        return;
    }
    if (hint == QAbstractItemDelegate::EditNextItem && currentIndex().column() == model()->columnCount() - 1) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        form_->TabAtLastColumn(this);
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void TWorksheetView::mousePressEvent(QMouseEvent* e) {
    if (!form_) return QTableView::mousePressEvent(e);
    const QModelIndex i = indexAt(e->pos());
    form_->SetLastPress(false, false, i.isValid() ? i.column() + 1 : 0);
    QTableView::mousePressEvent(e);
}

// ---------------------------------------------------------------------------
TDataForm::TDataForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("DataForm");
    setWindowTitle("Data");
    resize(760, 480);
    undo_ = new QUndoStack(this);
    // With "View Text Variable Levels" ticked the level numbers follow the
    // edits: the sheet is parsed again once typing pauses.
    levelsTimer_ = new QTimer(this);
    levelsTimer_->setSingleShot(true);
    levelsTimer_->setInterval(250);
    connect(levelsTimer_, &QTimer::timeout, this, [this] {
        if (!dataModel_->showLevels || !S().DataDirty) return;
        UpdateData(S());
        dataGrid_->viewport()->update();
    });
    // Undoing back to the last save: the worksheet is as it was saved.
    connect(undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { SetFileModified(!clean); });
    BuildGrids();
    BuildMenusAndTools();
    ResetReturn();
    // Creation makes an empty worksheet.
    S().FileModified = false;
    NewWorksheet(S());
    RefreshGrids();
    UpdateCaption();
}

TDataForm::~TDataForm() {
    if (App().dataForm == this) App().dataForm = nullptr;
    // The grids and an open cell editor die after this body, as children;
    // what they do then (commit, close, focus) must not call into a form
    // that is gone.
    for (TWorksheetView* g : {dataGrid_, descGrid_}) g->Detach();
    dataModel_->writeCell = nullptr;
    descModel_->writeCell = nullptr;
    disconnect(dataModel_, nullptr, this, nullptr);
    disconnect(descModel_, nullptr, this, nullptr);
    disconnect(undo_, nullptr, this, nullptr);
    nameEditor_ = nullptr;
}

QString TDataForm::OpenFilter() { return QtFilter(OpenDialogFilter); }

QString TDataForm::SaveFilter() { return QtFilter(SaveDialogFilter); }

void TDataForm::BuildGrids() {
    dataModel_ = new DataGridModel(S(), this);
    descModel_ = new DescGridModel(S(), this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl");
    dataGrid_ = new TWorksheetView(this, false, pages_);
    dataGrid_->setObjectName("DataGrid");
    dataGrid_->setModel(dataModel_);
    descGrid_ = new TWorksheetView(this, true, pages_);
    descGrid_->setObjectName("DescGrid");
    descGrid_->setModel(descModel_);
    pages_->addTab(dataGrid_, "Data");
    pages_->addTab(descGrid_, "Descriptions");
    pages_->widget(0)->setProperty("pageName", "DataPage");
    setCentralWidget(pages_);
    connect(pages_, &QTabWidget::currentChanged, this, [this] { UpdateStatusBarInfo(); });

    dataModel_->writeCell = [this](int c, int r, const std::string& text) {
        WorksheetUndo before = WorksheetUndo::ForBlock(S().worksheet, GridRect::At({c, r}));
        S().worksheet.SetCell(c, r, text);
        Record(std::move(before), "Typing");
    };
    descModel_->writeCell = [this](int c, int r, const std::string& text) {
        WorksheetUndo before = WorksheetUndo::ForHeaders(S().worksheet);
        S().worksheet.SetDescription(r, c, text);
        Record(std::move(before), "Typing");
    };
    connect(dataModel_, &DataGridModel::cellEdited, this, [this](int c, int r) { CellEdited(false, c, r); });
    connect(descModel_, &DescGridModel::cellEdited, this, [this](int c, int r) { CellEdited(true, c, r); });

    for (TWorksheetView* g : {dataGrid_, descGrid_}) {
        connect(g->horizontalHeader(), &QHeaderView::sectionPressed, this,
                [this](int s) { SetLastPress(true, false, s + 1); });
        connect(g->verticalHeader(), &QHeaderView::sectionPressed, this,
                [this](int) { SetLastPress(false, true, 0); });
        connect(g, &QWidget::customContextMenuRequested, this, [this, g](const QPoint& p) {
            const QModelIndex i = g->indexAt(p);
            if (i.isValid()) ShowContextMenu(g, g->viewport()->mapToGlobal(p), i.column() + 1, i.row() + 1, 0);
        });
        for (QHeaderView* h : {g->horizontalHeader(), g->verticalHeader()}) {
            h->setContextMenuPolicy(Qt::CustomContextMenu);
            const bool names = h->orientation() == Qt::Horizontal;
            connect(h, &QWidget::customContextMenuRequested, this, [this, g, h, names](const QPoint& p) {
                const int s = h->logicalIndexAt(p);
                if (s < 0) return;
                SetLastPress(names, !names, names ? s + 1 : 0);
                ShowContextMenu(g, h->mapToGlobal(p), names ? s + 1 : 1, names ? 0 : s + 1, names ? 1 : 2);
            });
        }
        connect(g->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, g](const QModelIndex& cur) {
            if (g == dataGrid_ && nameEditor_ && cur.isValid()) EndNamesEditing(true, 0);
            UpdateStatusBarInfo();
        });
    }
    connect(dataGrid_->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int s) {
                // The empty area right of the last column is no column.
                if (s >= 0) StartNamesEditing(s + 1);
            });

    auto* sb = statusBar();
    sb->setObjectName("StatusBar");
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sb->addWidget(panels_[i]);
    }
}

void TDataForm::BuildMenusAndTools() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);

    QMenu* file = bar->addMenu("&File");
    file->setObjectName("FileMenu");
    connect(AddMenuItem(this, file, "&New", "New1", QKeySequence("Ctrl+N")), &QAction::triggered, this, [this] { New(); });
    QAction* open = AddMenuItem(this, file, "&Open", "Open1", QKeySequence("Ctrl+O"));
    connect(open, &QAction::triggered, this, [this] {
        const QString f =
            App().dialogs->OpenFileName(this, QString::fromStdString(App().mru.LastPath()), OpenFilter());
        if (!f.isEmpty()) FileToDataGrid(f);
    });
    QAction* save = AddMenuItem(this, file, "&Save", "Save1", QKeySequence("Ctrl+S"));
    connect(save, &QAction::triggered, this, [this] { Save(); });
    connect(AddMenuItem(this, file, "Save &As", "SaveAs1", QKeySequence("Ctrl+Shift+S")), &QAction::triggered, this,
            [this] { SaveAs(); });
    file->addSeparator();
    QAction* hide = AddMenuItem(this, file, "&Hide Form", "HideForm1");
    connect(hide, &QAction::triggered, this, [this] {
        this->hide();
        ReturnToCaller();
    });
    return1_ = AddMenuItem(this, file, "&Return", "Return1");
    connect(return1_, &QAction::triggered, this, &TDataForm::ReturnToCaller);
    recent_ = new RecentFilesMenu(file, [this](const QString& path) {
        if (CheckRecentFile(S(), path.toStdString()) == RecentFileAction::Load) FileToDataGrid(path);
    });

    QMenu* edit = bar->addMenu("&Edit");
    edit->setObjectName("EditMenu");
    // An open cell editor takes these keys for its own text first.
    QAction* undo = undo_->createUndoAction(this, "&Undo");
    undo->setObjectName("Undo1");
    undo->setShortcuts({QKeySequence("Ctrl+Z")});
    undo->setShortcutContext(Qt::WindowShortcut);
    edit->addAction(undo);
    QAction* redo = undo_->createRedoAction(this, "&Redo");
    redo->setObjectName("Redo1");
    redo->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    redo->setShortcutContext(Qt::WindowShortcut);
    edit->addAction(redo);
    edit->addSeparator();
    connect(AddMenuItem(this, edit, "Cu&t", "Cut1", QKeySequence("Ctrl+X")), &QAction::triggered, this, &TDataForm::Cut);
    QAction* copy = AddMenuItem(this, edit, "&Copy", "Copy1", QKeySequence("Ctrl+C"));
    connect(copy, &QAction::triggered, this, &TDataForm::Copy);
    paste1_ = AddMenuItem(this, edit, "&Paste", "Paste1", QKeySequence("Ctrl+V"));
    connect(paste1_, &QAction::triggered, this, &TDataForm::Paste);
    // Del clears the selection; an open cell editor takes the key for itself.
    connect(AddMenuItem(this, edit, "C&lear", "Clear1", QKeySequence(Qt::Key_Delete)), &QAction::triggered, this,
            &TDataForm::Clear);
    edit->addSeparator();
    QAction* find = AddMenuItem(this, edit, "&Find && Replace", "FindReplace1", QKeySequence("Ctrl+F"));
    find->setEnabled(false);
    edit->addSeparator();
    deleteColumns1_ = AddMenuItem(this, edit, "&Delete Column(s)", "DeleteColumns1");
    connect(deleteColumns1_, &QAction::triggered, this, &TDataForm::DeleteColumns);
    insertColumns1_ = AddMenuItem(this, edit, "&Insert Column(s)", "InsertColumns1");
    connect(insertColumns1_, &QAction::triggered, this, &TDataForm::InsertColumns);
    deleteRows1_ = AddMenuItem(this, edit, "&Delete &Row(s)", "DeleteRows1");
    connect(deleteRows1_, &QAction::triggered, this, &TDataForm::DeleteRows);
    insertRows1_ = AddMenuItem(this, edit, "Insert Ro&w(s)", "InsertRows1");
    connect(insertRows1_, &QAction::triggered, this, &TDataForm::InsertRows);
    edit->addSeparator();
    connect(AddMenuItem(this, edit, "C&opy Column Names", "CopyColumnNames1"), &QAction::triggered, this,
            &TDataForm::CopyColumnNames);
    connect(AddMenuItem(this, edit, "Copy Names and &All Data", "CopyNamesandAllData1"), &QAction::triggered, this,
            &TDataForm::CopyNamesAndAllData);
    connect(AddMenuItem(this, edit, "Change Column &Names", "ChangeColumnNames1"), &QAction::triggered, this,
            &TDataForm::ChangeColumnNames);
    connect(edit, &QMenu::aboutToShow, this, &TDataForm::UpdateEditMenu);

    QMenu* view = bar->addMenu("&View");
    view->setObjectName("ViewMenu");
    QAction* sizeCols = AddMenuItem(this, view, "&Size Column Widths", "SizeColumnWidths1");
    connect(sizeCols, &QAction::triggered, this, &TDataForm::SizeColumnWidths);
    viewLevels1_ = AddMenuItem(this, view, "&View Text Variable Levels", "ViewTextVariableLevels1");
    viewLevels1_->setCheckable(true);
    viewLevels1_->setChecked(true);
    connect(viewLevels1_, &QAction::toggled, this, [this](bool on) {
        dataModel_->showLevels = on;
        UpdateData(S());
        dataGrid_->viewport()->update();
    });

    QMenu* data = bar->addMenu("&Data");
    data->setObjectName("DataMenu");
    auto windowItem = [&](const char* caption, const char* name, const char* cls) {
        QAction* a = AddMenuItem(this, data, caption, name);
        a->setEnabled(WindowRegistry::HasClass(cls));
        connect(a, &QAction::triggered, this, [this, cls] {
            std::unique_ptr<QWidget> w(WindowRegistry::Create(cls));
            if (auto* dlg = qobject_cast<QDialog*>(w.get())) dlg->exec();
            UpdateStatusBarInfo();
            dataGrid_->viewport()->update();
        });
        return a;
    };
    windowItem("&Missing Values...", "MissingValues1", "TMissingForm");
    QAction* processIf = windowItem("&Process If...", "ProcessIf1", "TProcessIFForm");
    QAction* transform = windowItem("&Transform...", "Transform1", "TTransformForm");
    data->addSeparator();
    connect(AddMenuItem(this, data, "Transpose Rows/Columns", "TransposeRowsColumns1"), &QAction::triggered, this,
            &TDataForm::Transpose);
    AddMenuItem(this, data, "Generate &Run Numbers...", "GenerateRunNumbers1")->setEnabled(false);
    AddMenuItem(this, data, "&Auto Recode Variables...", "AutoRecodeVariables1")->setEnabled(false);
    AddMenuItem(this, data, "&Compute Variables from Sample Data...", "ComputeVariables1")->setEnabled(false);
    connect(AddMenuItem(this, data, "Insert &Case Numbers", "InsertCaseNumbers1"), &QAction::triggered, this,
            &TDataForm::InsertCaseNumbers);
    AddMenuItem(this, data, "&Weight Cases...", "WeightCases1")->setEnabled(false);

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("HelpMenu");
    connect(AddMenuItem(this, help, "&Contents", "Contents1"), &QAction::triggered, this,
            [] { HelpContents(S(), HelpBaseAddress, AppHelpFile); });
    QAction* helpTopic = AddMenuItem(this, help, "Data Editor &Help", "DataEditorHelp1", Qt::Key_F1);
    connect(helpTopic, &QAction::triggered, this, [] { HelpTopic(S(), 7000, HelpBaseAddress, AppHelpFile); });

    // Tool buttons with their hints.
    QToolBar* tools = addToolBar("Tools");
    tools->setObjectName("ToolBar");
    tools->setMovable(false);
    tools->setIconSize(QSize(18, 18));
    auto button = [&](QStyle::StandardPixmap icon, const char* hint, const char* name, QAction* like) {
        QAction* a = tools->addAction(style()->standardIcon(icon), hint);
        a->setObjectName(name);
        a->setToolTip(hint);
        if (like) {
            connect(a, &QAction::triggered, like, &QAction::trigger);
            a->setEnabled(like->isEnabled());
        }
        return a;
    };
    button(QStyle::SP_DialogOpenButton, "Open File", "OpenButton", open);
    button(QStyle::SP_DialogSaveButton, "Save File", "SaveButton", save);
    tools->addSeparator();
    button(QStyle::SP_TitleBarMinButton, "Hide Form", "HideButton", hide);
    returnButton_ = button(QStyle::SP_ArrowBack, "Return to Main Form", "ReturnButton", return1_);
    tools->addSeparator();
    button(QStyle::SP_FileDialogDetailedView, "Copy to Clipboard", "CopyButton", copy);
    QAction* pasteButton = button(QStyle::SP_FileDialogContentsView, "Paste from Clipboard", "PasteButton", paste1_);
    tools->addSeparator();
    button(QStyle::SP_ToolBarHorizontalExtensionButton, "Adjust Column Widths", "SizeColumnsButton", sizeCols);
    button(QStyle::SP_FileDialogListView, "Process If", "ProcessIfButton", processIf);
    button(QStyle::SP_BrowserReload, "Transform Values", "TransformButton", transform);
    tools->addSeparator();
    button(QStyle::SP_DialogHelpButton, "Help", "HelpButton", helpTopic);
    // Paste (item, key and button) follows the clipboard as it changes; set
    // only when the Edit menu opened, Ctrl+V would stay dead after text was
    // copied elsewhere.
    auto followClipboard = [this, pasteButton] {
        const QMimeData* md = QApplication::clipboard()->mimeData();
        const bool text = md && md->hasText();
        paste1_->setEnabled(text);
        pasteButton->setEnabled(text);
    };
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, followClipboard);
    followClipboard();
    QAction* main = button(QStyle::SP_ComputerIcon, "Main Form", "MainFormButton", nullptr);
    connect(main, &QAction::triggered, this, [] {
        if (App().mainForm) App().registry.ShowWindow(App().mainForm);
    });
}

// ---- calling protocol ------------------------------------------------------
void TDataForm::ShowDataEditor(QWidget* caller, const QString& callingName) {
    callingForm_ = caller;
    callingName_ = callingName;
    returnButton_->setToolTip("Return to " + callingName);
    returnButton_->setText("Return to " + callingName);
    return1_->setText("&Return to " + callingName);
    if (!placed_ && App().mainForm) {
        // First showing: just below the main window's strip.
        const QRect m = App().mainForm->frameGeometry();
        move(m.left(), m.bottom() + 1 + App().mainForm->CascadeOffset());
        placed_ = true;
    }
    App().registry.ShowWindow(this);
    ShownGrid()->setFocus();
    UpdateStatusBarInfo();
}

void TDataForm::ResetReturn() {
    returnButton_->setToolTip("Return to Main Form");
    returnButton_->setText("Return to Main Form");
    return1_->setText("&Return to Main Form");
}

void TDataForm::ReturnToCaller() {
    QWidget* target = callingForm_ ? callingForm_.data() : static_cast<QWidget*>(App().mainForm);
    if (target) App().registry.ShowWindow(target);
    ResetReturn();
    callingForm_ = nullptr;
    callingName_.clear();
}

// ---- file commands ---------------------------------------------------------
bool TDataForm::New() {
    const std::uint64_t revision = S().worksheet.Revision();
    const bool ok = NewWorksheet(S(), [this] { return SaveAs(); });
    if (S().worksheet.Revision() != revision) undo_->clear();
    RefreshGrids();
    UpdateCaption();
    return ok;
}

// A workbook with several sheets asks which one; every other file loads at once.
bool TDataForm::LoadFile(const QString& fileName, const std::function<void(int)>& progress) {
    const std::string path = fileName.toStdString();
    std::vector<std::string> sheets;
    if (IsWorkbookFile(path) && WorkbookSheetNames(path, sheets) && sheets.size() > 1) {
        QStringList names;
        for (const auto& n : sheets) names << QString::fromStdString(n);
        const auto sheet = App().dialogs->ChooseSheet(this, fileName, names);
        if (!sheet) return false;
        return WorkbookToDataGrid(S(), path, sheet->toStdString(), progress, [this] { return SaveAs(); });
    }
    return amx::FileToDataGrid(S(), path, progress, [this] { return SaveAs(); });
}

bool TDataForm::FileToDataGrid(const QString& name) {
    // Kept absolute, so the recent-files list and "@LAST" work from any folder.
    const QString fileName = QFileInfo(name).absoluteFilePath();
    const std::uint64_t revision = S().worksheet.Revision();
    // The question comes before the loading window, which exists only while
    // the file is read.
    const bool wasModified = S().FileModified;
    if (!MayDiscardWorksheet(S(), wasModified, [this] { return SaveAs(); })) return false;
    S().FileModified = false;
    bool ok = false;
    {
        TLoadingProgress progress(this);
        ok = LoadFile(fileName, progress.Callback());
    }
    if (S().worksheet.Revision() != revision) undo_->clear();
    else if (!ok && wasModified) SetFileModified(true);  // refused and left as it was
    if (ok) App().mru.UpdateList(S(), fileName.toStdString());
    RefreshGrids();
    ShowDataPage(true);
    UpdateCaption();
    return ok;
}

bool TDataForm::Save() {
    const bool ok = SaveWorksheet(S(), [this] { return SaveAs(); });
    if (ok) App().mru.UpdateList(S(), S().DataFilename);
    if (ok && !S().FileModified) undo_->setClean();
    UpdateCaption();
    return ok;
}

bool TDataForm::SaveAs() {
    const GridRect sel = TGridDataModule::Selection(dataGrid_);
    const SaveChoices enabled = ConfigureSaveChoices(S().worksheet, 1LL * sel.Width() * sel.Height());
    SaveChoices choice;
    if (enabled.any()) {
        auto c = App().dialogs->ConfigureSave(this, enabled);
        if (!c) return false;
        choice = *c;
    }
    QString initial = QString::fromStdString(S().DataFilename);
    if (initial.isEmpty()) initial = QString::fromStdString(App().mru.LastPath());
    const QString f = App().dialogs->SaveFileName(this, initial, SaveFilter());
    if (f.isEmpty()) return false;
    if (S().TruncatedFileColumns > 0 && SameFile(f.toStdString(), S().DataFilename) &&
        S().messages->Ask(TruncatedSaveQuestion(S()), QuestionButtons::YesNo) != Answer::Yes)
        return false;
    const bool wasModified = S().FileModified;
    const bool ok = SaveFile(S(), f.toStdString(), choice.variableNames, choice.selectionOnly, choice.descriptions,
                             CellBlock{sel.left, sel.top, sel.right, sel.bottom});
    // A block written on its own does not save the rest of an edited
    // worksheet: it stays modified, so closing, a new worksheet or another
    // file still asks, and such a save does not let them drop it.
    if (ok && choice.selectionOnly && wasModified) amx::SetFileModified(S(), true);
    if (ok) App().mru.UpdateList(S(), f.toStdString());
    if (ok && !S().FileModified) undo_->setClean();
    // The worksheet's own file now holds only a block: no undo makes the
    // worksheet match it again.
    else if (ok && S().FileModified && !wasModified) undo_->resetClean();
    UpdateCaption();
    return ok && !S().FileModified;
}

void TDataForm::SetFileModified(bool modified) {
    amx::SetFileModified(S(), modified);
    UpdateCaption();
}

void TDataForm::UpdateCaption() { setWindowTitle(QString::fromStdString(DataWindowCaption(S()))); }

// ---- grids -----------------------------------------------------------------
TWorksheetView* TDataForm::ShownGrid() const { return DataPageActive() ? dataGrid_ : descGrid_; }

bool TDataForm::DataPageActive() const { return pages_->currentIndex() == 0; }

void TDataForm::ShowDataPage(bool data) { pages_->setCurrentIndex(data ? 0 : 1); }

void TDataForm::SetLastPress(bool onNames, bool onRowNumbers, int column) {
    pressOnNames_ = onNames;
    pressOnRowNumbers_ = onRowNumbers;
    if (column > 0) lastClickedColumn_ = column;
}

void TDataForm::RefreshGrids() {
    const QModelIndex cur = dataGrid_->currentIndex();
    dataModel_->Refresh();
    descModel_->Refresh();
    FitColumnWidths();
    if (cur.isValid()) SetCurrent(dataGrid_, {cur.column() + 1, cur.row() + 1}, true);
    else SetCurrent(dataGrid_, {1, 1}, true);
    UpdateStatusBarInfo();
}

void TDataForm::SetCurrent(TWorksheetView* grid, GridCell cell, bool select) {
    QAbstractItemModel* m = grid->model();
    cell.col = std::clamp(cell.col, 1, std::max(1, m->columnCount()));
    cell.row = std::clamp(cell.row, 1, std::max(1, m->rowCount()));
    const QModelIndex i = m->index(cell.row - 1, cell.col - 1);
    grid->selectionModel()->setCurrentIndex(
        i, select ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate);
    grid->scrollTo(i);
}

void TDataForm::FitColumnWidths() {
    for (TWorksheetView* g : {dataGrid_, descGrid_}) g->horizontalHeader()->setDefaultSectionSize(defaultColumnWidth_);
    for (int c = 1; c <= S().worksheet.ColumnCount(); ++c) FitColumnWidth(c);
}

// A column is at least as wide as its widest text + 10 pixels. The texts of
// the first rows and the names are measured; an edit widens its own column.
void TDataForm::FitColumnWidth(int c) {
    const Worksheet& ws = S().worksheet;
    const QFontMetrics fm(dataGrid_->font());
    const QFontMetrics hm(dataGrid_->horizontalHeader()->font());
    int w = std::max(defaultColumnWidth_, hm.horizontalAdvance(QString::fromStdString(ws.ColumnName(c))) + 12);
    const int rows = std::min(ws.RowCount(), 200);
    for (int r = 1; r <= rows; ++r) {
        if (ws.CellEmpty(c, r)) continue;
        // As shown, level numbers included.
        const QString shown = dataModel_->data(dataModel_->index(r - 1, c - 1), Qt::DisplayRole).toString();
        w = std::max(w, fm.horizontalAdvance(shown) + 12);
    }
    int dw = w;
    for (int r = 1; r <= Worksheet::DescriptionRows; ++r)
        dw = std::max(dw, fm.horizontalAdvance(QString::fromStdString(ws.Description(r, c))) + 12);
    dataGrid_->setColumnWidth(c - 1, w);
    descGrid_->setColumnWidth(c - 1, dw);
}

void TDataForm::SizeColumnWidths() {
    defaultColumnWidth_ = defaultColumnWidth_ == 50 ? 5 : 50;
    FitColumnWidths();
}

void TDataForm::CellEdited(bool descriptions, int col, int row) {
    if (!descriptions) SetRowModifiedTrue(S(), row);
    else S().DataDirty = true;
    SetFileModified(true);
    FitColumnWidth(col);
    if (dataModel_->showLevels) levelsTimer_->start();
}

void TDataForm::ApplyOutcome(const EditOutcome& o, TWorksheetView* grid) {
    if (o.needsNew) {
        New();
        return;
    }
    if (!o.changed) return;
    Session& s = S();
    if (o.allRowsTouched) SetAllRowsModified(s);
    else if (o.touchedFirst > 0) SetRowsModified(s, o.touchedFirst, o.touchedLast);
    if (o.dataDirty) s.DataDirty = true;
    if (o.variablesChanged) s.VariablesChanged = true;
    if (o.dataChanged) s.DataChanged = true;
    if (o.resetProcessIf) ResetProcessIf(s);
    RefreshGrids();
    if (o.moveCurrent) {
        SetCurrent(dataGrid_, o.current, true);
        if (grid == dataGrid_ && (o.columnsChanged)) SetCurrent(descGrid_, {o.current.col, 1}, true);
    }
    SetFileModified(true);
    UpdateStatusBarInfo();
    if (dataModel_->showLevels) levelsTimer_->start();
}

// ---- clipboard -------------------------------------------------------------
// The editor copies cells only; names go with "C&opy Column Names".
void TDataForm::Copy() {
    WaitCursor wait;
    QApplication::clipboard()->setText(TGridDataModule::SelectionText(ShownGrid(), false));
}

void TDataForm::Cut() {
    Copy();
    Clear();
}

void TDataForm::Clear() {
    TWorksheetView* g = ShownGrid();
    if (g->Editing()) return;
    const GridRect sel = TGridDataModule::Selection(g);
    WorksheetUndo before =
        g == dataGrid_ ? WorksheetUndo::ForBlock(S().worksheet, sel) : WorksheetUndo::ForHeaders(S().worksheet);
    const EditOutcome o = g == dataGrid_ ? FillSelection(S().worksheet, sel, "")
                                         : FillDescriptionSelection(S().worksheet, sel, "");
    if (o.changed) Record(std::move(before), "Clear");
    ApplyOutcome(o, g);
    TGridDataModule::SelectBlock(g, sel);
}

void TDataForm::Paste() {
    const QMimeData* md = QApplication::clipboard()->mimeData();
    PasteFromText(md && md->hasText() ? md->text() : QString());
}

bool TDataForm::PasteFromText(const QString& text) {
    TWorksheetView* g = ShownGrid();
    WaitCursor wait;
    const GridRect sel = TGridDataModule::Selection(g);
    const std::string utf8 = text.toStdString();
    WorksheetUndo before = g == dataGrid_
                               ? WorksheetUndo::ForBlock(S().worksheet, WorksheetUndo::PasteBlock(utf8, sel))
                               : WorksheetUndo::ForHeaders(S().worksheet);
    const EditOutcome o = g == dataGrid_ ? PasteText(S(), S().worksheet, utf8, sel)
                                         : PasteDescriptionText(S(), S().worksheet, utf8, sel);
    if (o.changed) Record(std::move(before), "Paste");
    ApplyOutcome(o, g);
    if (o.changed) TGridDataModule::SelectBlock(g, sel);
    return o.changed;
}

void TDataForm::CopyColumnNames() {
    const Worksheet& ws = S().worksheet;
    QStringList names;
    for (int c = 1; c <= ws.ColumnCount(); ++c) names << QString::fromStdString(ws.ColumnName(c));
    QApplication::clipboard()->setText(names.join('\t') + "\r\n");
}

void TDataForm::CopyNamesAndAllData() {
    WaitCursor wait;
    TGridDataModule::SelectBlock(dataGrid_, {1, 1, S().worksheet.ColumnCount(), S().worksheet.RowCount()});
    const QString text = TGridDataModule::SelectionText(dataGrid_, false);
    QStringList names;
    for (int c = 1; c <= S().worksheet.ColumnCount(); ++c) names << QString::fromStdString(S().worksheet.ColumnName(c));
    QApplication::clipboard()->setText(names.join('\t') + "\r\n" + text);
}

// ---- rows and columns ------------------------------------------------------
void TDataForm::DeleteRows() {
    if (!DataPageActive()) return;
    WaitCursor wait;
    const GridRect sel = TGridDataModule::Selection(dataGrid_);
    WorksheetUndo before = WorksheetUndo::ForRowsDeleted(S().worksheet, sel.top, sel.Height());
    const EditOutcome o = amx::DeleteRows(S().worksheet, sel);
    if (o.changed) Record(std::move(before), "Delete Rows");
    ApplyOutcome(o, dataGrid_);
}

void TDataForm::InsertRows() {
    if (!DataPageActive()) return;
    WaitCursor wait;
    const GridRect sel = TGridDataModule::Selection(dataGrid_);
    WorksheetUndo before = WorksheetUndo::ForRowsInserted(S().worksheet, sel.top, sel.Height());
    const EditOutcome o = amx::InsertRows(S().worksheet, sel);
    if (o.changed) Record(std::move(before), "Insert Rows");
    ApplyOutcome(o, dataGrid_);
}

void TDataForm::DeleteColumns() {
    if (!DataPageActive()) return;
    WaitCursor wait;
    const GridRect sel = TGridDataModule::Selection(dataGrid_);
    WorksheetUndo before = WorksheetUndo::ForColumnsDeleted(S().worksheet, sel.left, sel.Width());
    const EditOutcome o = amx::DeleteColumns(S().worksheet, sel);
    if (o.changed) Record(std::move(before), "Delete Columns");
    ApplyOutcome(o, dataGrid_);
}

void TDataForm::InsertColumns() {
    if (!DataPageActive()) return;
    WaitCursor wait;
    const GridRect sel = TGridDataModule::Selection(dataGrid_);
    WorksheetUndo before = WorksheetUndo::ForColumnsInserted(S().worksheet, sel.left, sel.Width());
    const EditOutcome o = amx::InsertColumns(S(), S().worksheet, sel);
    if (o.changed) Record(std::move(before), "Insert Columns");
    ApplyOutcome(o, dataGrid_);
}

void TDataForm::InsertCaseNumbers() {
    WaitCursor wait;
    WorksheetUndo before = WorksheetUndo::ForColumnsInserted(S().worksheet, 1, 1);
    const EditOutcome o = amx::InsertCaseNumbers(S(), S().worksheet);
    if (o.changed) Record(std::move(before), "Insert Case Numbers");
    ApplyOutcome(o, dataGrid_);
}

void TDataForm::Transpose() {
    WaitCursor wait;
    WorksheetUndo before = WorksheetUndo::ForTranspose(S().worksheet);
    const EditOutcome o = TransposeWorksheet(S(), S().worksheet);
    if (o.changed) Record(std::move(before), "Transpose");
    ApplyOutcome(o, dataGrid_);
}

void TDataForm::Record(WorksheetUndo before, const QString& name, bool growth) {
    undo_->push(new WorksheetCommand(this, std::move(before), name, growth));
}

void TDataForm::UndoApplied(bool columnsMoved) {
    Session& s = S();
    if (nameEditor_) EndNamesEditing(false, -1);
    SetAllRowsModified(s);
    s.DataDirty = s.DataChanged = s.VariablesChanged = true;
    if (columnsMoved) ResetProcessIf(s);
    RefreshGrids();
    UpdateCaption();
    if (dataModel_->showLevels) levelsTimer_->start();
}

// ---- names editing ---------------------------------------------------------
void TDataForm::ChangeColumnNames() {
    ShowDataPage(true);
    S().VariablesChanged = S().DataChanged = true;
    SetFileModified(true);
    StartNamesEditing(lastClickedColumn_);
}

void TDataForm::StartNamesEditing(int column) {
    if (nameEditor_) EndNamesEditing(true, -1);
    column = std::clamp(column, 1, S().worksheet.ColumnCount());
    QHeaderView* h = dataGrid_->horizontalHeader();
    dataGrid_->scrollTo(dataModel_->index(std::max(0, dataGrid_->currentIndex().row()), column - 1));
    nameColumn_ = column;
    nameEditor_ = new QLineEdit(h);
    nameEditor_->setObjectName("NameEditor");
    nameEditor_->setText(QString::fromStdString(S().worksheet.ColumnName(column)));
    nameEditor_->setGeometry(h->sectionViewportPosition(column - 1), 0, h->sectionSize(column - 1), h->height());
    nameEditor_->selectAll();
    nameEditor_->show();
    nameEditor_->setFocus();
    nameEditor_->installEventFilter(this);
    QLineEdit* ed = nameEditor_;
    connect(ed, &QLineEdit::editingFinished, this, [this, ed] {
        if (nameEditor_ == ed && !ed->hasFocus()) EndNamesEditing(true, 0);
    });
    SetStatusBarInfo(0, QString("Col = %1,  Row = 0").arg(column));
}

// moveTo: 0 = down to row 1 (names repaired), 1 = the next name, -1 = stay.
void TDataForm::EndNamesEditing(bool commit, int moveTo) {
    if (!nameEditor_) return;
    QLineEdit* ed = nameEditor_;
    nameEditor_ = nullptr;
    const int col = nameColumn_;
    if (commit) {
        const std::string name = ed->text().toStdString();
        if (name != S().worksheet.ColumnName(col)) {
            WorksheetUndo before = WorksheetUndo::ForHeaders(S().worksheet);
            S().worksheet.SetColumnName(col, name);
            Record(std::move(before), "Rename Column");
            S().VariablesChanged = S().DataChanged = true;
            SetFileModified(true);
            descGrid_->horizontalHeader()->viewport()->update();  // the names row of both pages
        }
    }
    ed->setObjectName(QString());
    ed->hide();
    ed->deleteLater();
    if (moveTo == 1 && col < S().worksheet.ColumnCount()) {
        StartNamesEditing(col + 1);
        return;
    }
    if (moveTo == 0) {
        S().worksheet.RepairColumnNames();
        dataModel_->NamesChanged();
        descModel_->Refresh();
        FitColumnWidth(col);
        SetCurrent(dataGrid_, {col, 1}, true);
        dataGrid_->setFocus();
    }
    dataModel_->NamesChanged();
}

// ---- keys ------------------------------------------------------------------
void TDataForm::JumpKey(TWorksheetView* grid, int key, bool extend) {
    const QModelIndex cur = grid->currentIndex();
    if (!cur.isValid()) return;
    const JumpDirection dir = key == Qt::Key_Up     ? JumpDirection::Up
                              : key == Qt::Key_Down ? JumpDirection::Down
                              : key == Qt::Key_Left ? JumpDirection::Left
                                                    : JumpDirection::Right;
    GridCell from{cur.column() + 1, cur.row() + 1};
    GridCell to;
    if (grid == dataGrid_) {
        to = JumpTarget(S().worksheet, from, dir);
    } else {
        // The description page: the four rows as a small sheet.
        Worksheet rows;
        rows.SetColumnCount(S().worksheet.ColumnCount());
        rows.SetRowCount(Worksheet::DescriptionRows);
        for (int r = 1; r <= Worksheet::DescriptionRows; ++r)
            for (int c = 1; c <= rows.ColumnCount(); ++c) rows.SetCell(c, r, S().worksheet.Description(r, c));
        to = JumpTarget(rows, from, dir);
    }
    if (extend) {
        // The anchor is the selection's corner opposite the current cell.
        const GridRect sel = TGridDataModule::Selection(grid);
        const int anchorCol = from.col == sel.left ? sel.right : sel.left;
        const int anchorRow = from.row == sel.top ? sel.bottom : sel.top;
        QAbstractItemModel* m = grid->model();
        const QModelIndex target = m->index(to.row - 1, to.col - 1);
        grid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
        grid->selectionModel()->select(QItemSelection(m->index(std::min(anchorRow, to.row) - 1,
                                                               std::min(anchorCol, to.col) - 1),
                                                      m->index(std::max(anchorRow, to.row) - 1,
                                                               std::max(anchorCol, to.col) - 1)),
                                       QItemSelectionModel::ClearAndSelect);
        grid->scrollTo(target);
    } else {
        SetCurrent(grid, to, true);
    }
    grid->viewport()->update();
    UpdateStatusBarInfo();
}

bool TDataForm::TabAtLastColumn(TWorksheetView* grid) {
    const QModelIndex cur = grid->currentIndex();
    if (!cur.isValid() || cur.column() != grid->model()->columnCount() - 1) return false;
    if (grid != dataGrid_) return false;
    S().messages->Beep();
    WorksheetUndo before = WorksheetUndo::ForHeaders(S().worksheet);
    if (GrowForTab(S().worksheet)) {
        Record(std::move(before), "Add Column", true);
        S().DataDirty = S().DataChanged = true;
        const int row = cur.row() + 1;
        RefreshGrids();
        SetCurrent(dataGrid_, {S().worksheet.ColumnCount(), row}, true);
        SetFileModified(true);
    }
    return true;
}

void TDataForm::EnterKey(TWorksheetView* grid) {
    const QModelIndex cur = grid->currentIndex();
    if (!cur.isValid()) return;
    int row = cur.row() + 1;
    WorksheetUndo before = WorksheetUndo::ForHeaders(S().worksheet);
    if (grid == dataGrid_ && GrowForEnter(S().worksheet, row)) {
        Record(std::move(before), "Add Row", true);
        S().DataDirty = true;
        dataModel_->Refresh();
        UpdateStatusBarInfo();
    }
    if (row < grid->model()->rowCount()) ++row;
    SetCurrent(grid, {cur.column() + 1, row}, true);
}

// ---- menus and status ------------------------------------------------------
void TDataForm::UpdateEditMenu() {
    const bool data = DataPageActive();
    deleteColumns1_->setEnabled(data && pressOnNames_);
    insertColumns1_->setEnabled(data && pressOnNames_);
    deleteRows1_->setEnabled(data && pressOnRowNumbers_);
    insertRows1_->setEnabled(data && pressOnRowNumbers_);
    const QMimeData* md = QApplication::clipboard()->mimeData();
    paste1_->setEnabled(md && md->hasText());
}

void TDataForm::ShowContextMenu(TWorksheetView* g, const QPoint& globalPos, int col, int row, int where) {
    // A click inside a selection of several cells keeps it; otherwise the
    // clicked cell, or the whole column or row when on the names or numbers.
    if (!(TGridDataModule::SelectionIsRange(g) && TGridDataModule::CellInSelection(g, col, std::max(row, 1)))) {
        const int cols = g->model()->columnCount(), rows = g->model()->rowCount();
        if (where == 1) TGridDataModule::SelectBlock(g, {col, 1, col, rows});
        else if (where == 2) TGridDataModule::SelectBlock(g, {1, row, cols, row});
        else TGridDataModule::SelectBlock(g, GridRect::At({col, row}));
    }
    const bool data = g == dataGrid_;
    QMenu menu(this);
    menu.setObjectName("GridPopupMenu");
    auto add = [&](const char* caption, const char* name, void (TDataForm::*fn)(), bool enabled) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(name);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, fn);
    };
    const QMimeData* md = QApplication::clipboard()->mimeData();
    add("Cu&t", "PopupCut", &TDataForm::Cut, true);
    add("&Copy", "PopupCopy", &TDataForm::Copy, true);
    add("&Paste", "PopupPaste", &TDataForm::Paste, md && md->hasText());
    add("C&lear Contents", "PopupClear", &TDataForm::Clear, true);
    menu.addSeparator();
    add("&Delete Column(s)", "PopupDeleteColumns", &TDataForm::DeleteColumns, data && pressOnNames_);
    add("Delete &Row(s)", "PopupDeleteRows", &TDataForm::DeleteRows, data && pressOnRowNumbers_);
    add("&Insert Column(s)", "PopupInsertColumns", &TDataForm::InsertColumns, data && pressOnNames_);
    add("Insert Ro&w(s)", "PopupInsertRows", &TDataForm::InsertRows, data && pressOnRowNumbers_);
    add("Change Column &Names", "PopupChangeColumnNames", &TDataForm::ChangeColumnNames, data && pressOnNames_);
    menu.exec(globalPos);
}

void TDataForm::SetStatusBarInfo(int panel, const QString& text) {
    if (panel < 0 || panel > 4) return;
    panels_[panel]->setText(text);
    // The label's own size hint counts its frame and margins, so the text
    // never runs under the next panel.
    panels_[panel]->setFixedWidth(panels_[panel]->sizeHint().width() + 10);
    panels_[panel]->setVisible(!text.isEmpty() || panel == 0 || panel == 4);
}

void TDataForm::UpdateStatusBarInfo() {
    const QModelIndex cur = dataGrid_->currentIndex();
    SetStatusBarInfo(0, QString("Col = %1,  Row = %2")
                            .arg(cur.isValid() ? cur.column() + 1 : 1)
                            .arg(cur.isValid() ? cur.row() + 1 : 1));
    const QString counts =
        QString("Cols = %1,  Rows = %2").arg(S().worksheet.ColumnCount()).arg(S().worksheet.RowCount());
    const Session& s = S();
    SetStatusBarInfo(1, QString::fromStdString(MissingStatusText(s)));
    SetStatusBarInfo(2, QString::fromStdString(TransformStatusText(s.Transform)));
    SetStatusBarInfo(3, QString::fromStdString(ProcessIfStatusText(s)));
    SetStatusBarInfo(4, counts);
    QString hint = "Status Bar";
    auto line = [&hint](const char* label, const std::string& text) {
        if (!text.empty()) hint += "\n  " + QString(label) + QString::fromStdString(text);
    };
    if (s.Missing.Active) {
        line("Missing When: ", s.MissingText1);
        line("Missing When: ", s.MissingText2);
    }
    if (s.ProcessIf.Active) {
        line("Process If: ", s.ProcessIfText1);
        line("Process If: ", s.ProcessIfText2);
    }
    const std::string transform = TransformStatusText(s.Transform);
    if (transform.rfind("Transform: ", 0) == 0) line("Transform: ", transform.substr(11));
    statusBar()->setToolTip(hint + "\n" + counts);
}

bool TDataForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == nameEditor_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Tab) {
            EndNamesEditing(true, 1);
            return true;
        }
        if (key == Qt::Key_Escape) {
            EndNamesEditing(false, 0);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Consumed here, or the grid would take it as Enter on a cell.
            EndNamesEditing(true, 0);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TDataForm::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::ActivationChange) return;
    if (isActiveWindow()) {
        App().registry.MarkActivated(this);
        UpdateStatusBarInfo();
    } else {
        // How procedure windows learn of edits.
        DataEditorDeactivated(S());
        dataGrid_->viewport()->update();
    }
}

void TDataForm::closeEvent(QCloseEvent* e) {
    // Closing only hides the editor; the worksheet lives on.
    e->accept();
}

}  // namespace amx::gui
