#include "shell/MainForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QStyle>
#include <QUrl>

#include "shell/AboutBox.h"
#include "shell/AppContext.h"
#include "shell/CommandLine.h"
#include "shell/InstanceTitle.h"
#include "shell/MainPosition.h"
#include "shell/RecentFilesMenu.h"
#include "shell/ScreenFit.h"
#include "shell/ShellDefaults.h"
#include "common/UnsavedWorksheet.h"
#include "common/MessageHelpers.h"
#include "common/Settings.h"
#include "shell/WindowOrder.h"
#include "procedure/ProcedureForm.h"
#include "worksheet/DataForm.h"

namespace amx::gui {
namespace {

const QString kMainFormName = QString::fromStdString(MainFormName);

std::vector<std::string> ToStd(const QStringList& l) {
    std::vector<std::string> out;
    for (const auto& s : l) out.push_back(s.toStdString());
    return out;
}

}  // namespace

TAmbroluxMainForm::TAmbroluxMainForm(const QStringList& args, const QString& lockFolder)
    : QMainWindow(nullptr), args_(args), instanceLock_(lockFolder) {
    setObjectName("AmbroluxMainForm");
    // Title: "Ambrolux", or "Ambrolux (n)" while other copies run.
    const QString title = QString::fromStdString(InstanceTitleFor(instanceLock_.Acquire()));
    setWindowTitle(title);
    QApplication::setApplicationDisplayName(title);

    setAcceptDrops(true);
    BuildMenus();
    App().mainForm = this;
    App().registry.Track(this);
    App().registry.MarkActivated(this);
    // Every procedure window's "&Data Editor" shows the data editor with that
    // window as its caller.
    TProcedureForm::DataEditorHook() = [](QWidget* caller, const QString& callerName) {
        App().EnsureDataEditor()->ShowDataEditor(caller, callerName);
    };

    const QStyle* st = style();
    cascadeOffset_ = st->pixelMetric(QStyle::PM_TitleBarHeight) + st->pixelMetric(QStyle::PM_DefaultFrameWidth);
    ComputeMinimumSize();
    resize(std::max(minFormWidth_, 722), minFormHeight_);

    // The stored place may be from another screen layout, or any number at all.
    const WindowPosition p = ReadMainPosition(App().session, {y(), x()});
    move(PlaceInsideScreen(p.left, p.top, this));
    qApp->installEventFilter(this);
}

TAmbroluxMainForm::~TAmbroluxMainForm() {
    qApp->removeEventFilter(this);
    if (App().mainForm == this) App().mainForm = nullptr;
}

// A function key pressed in another window that no shortcut of that window
// took (shortcuts are matched before the key reaches any filter) works this
// window's menu, unless a modal dialog or a pop-up menu is open.
bool TAmbroluxMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() == this || k->modifiers() != Qt::NoModifier) return false;
    if (k->key() < Qt::Key_F2 || k->key() > Qt::Key_F12) return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    UpdateNextWindowItems();  // F11 and F12 follow the windows open now
    const QKeySequence key(k->key());
    for (QAction* a : keyed_) {
        if (a->shortcut() != key) continue;
        if (a->isEnabled()) a->trigger();
        return true;
    }
    return false;
}

QAction* TAmbroluxMainForm::AddItem(QMenu* menu, const char* caption, const char* name, const QKeySequence& key) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    if (!key.isEmpty()) {
        // The function keys work from every window, but a window's own use of
        // a key (F1 for its help, F4 and F8 in procedure windows) comes first.
        // As application-wide shortcuts they would clash with those and do
        // nothing in either window, so they are window shortcuts here and
        // eventFilter() hands the keys other windows leave unused to this menu.
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        if (key != QKeySequence(Qt::Key_F1)) keyed_.push_back(a);
    }
    return a;
}

QAction* TAmbroluxMainForm::AddWindowItem(QMenu* menu, const char* caption, const char* name,
                                          const char* windowClass, const QKeySequence& key) {
    QAction* a = AddItem(menu, caption, name, key);
    const QString cls = windowClass;
    // Windows that are not part of the program yet are shown disabled.
    a->setEnabled(WindowRegistry::HasClass(cls));
    connect(a, &QAction::triggered, this, [this, cls] { OpenWindowOfClass(cls); });
    return a;
}

void TAmbroluxMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    bar->setNativeMenuBar(false);

    formsMenu_ = new QMenu(bar);
    formsMenu_->setObjectName("FormsMenu");
    formsMenu_->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    formsMenu_->setToolTip("View Open Forms");
    formsMenu_->menuAction()->setToolTip("View Open Forms");
    formsMenu_->menuAction()->setObjectName("FormsMenuAction");
    formsMenu_->addAction("(No Open Forms)")->setObjectName("NoOpenForms");
    bar->addMenu(formsMenu_);
    connect(formsMenu_, &QMenu::aboutToShow, this, &TAmbroluxMainForm::FormsMenuClick);

    // File
    fileMenu_ = bar->addMenu("&File");
    fileMenu_->setObjectName("FileMenu");
    connect(AddItem(fileMenu_, "&New", "New1"), &QAction::triggered, this, [this] {
        TDataForm* d = App().EnsureDataEditor();
        if (d->New()) d->ShowDataEditor(this, kMainFormName);
        HideChartWindows();
    });
    QAction* open = AddItem(fileMenu_, "&Open...", "OpenItem", Qt::Key_F3);
    open->setShortcuts({QKeySequence(Qt::Key_F3), QKeySequence("Ctrl+O")});
    connect(open, &QAction::triggered, this, [this] {
        TDataForm* d = App().EnsureDataEditor();
        const QString f = App().dialogs->OpenFileName(this, QString::fromStdString(App().mru.LastPath()),
                                                      TDataForm::OpenFilter());
        if (!f.isEmpty()) {
            d->FileToDataGrid(f);
            d->ShowDataEditor(this, kMainFormName);
        }
        HideChartWindows();
    });
    fileMenu_->addSeparator();
    QAction* onTop = AddItem(fileMenu_, "Stay on &Top", "StayonTop1");
    onTop->setCheckable(true);
    connect(onTop, &QAction::toggled, this, [this](bool on) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (shown) show();
    });
    fileMenu_->addSeparator();
    connect(AddItem(fileMenu_, "&Data Editor", "ViewData1", Qt::Key_F4), &QAction::triggered, this,
            [this] { App().EnsureDataEditor()->ShowDataEditor(this, kMainFormName); });
    QAction* processIf = AddItem(fileMenu_, "Process &If", "ProcessIf1", Qt::Key_F8);
    processIf->setEnabled(WindowRegistry::HasClass("TProcessIFForm"));
    connect(processIf, &QAction::triggered, this, [] {
        App().EnsureDataEditor();
        std::unique_ptr<QWidget> w(WindowRegistry::Create("TProcessIFForm"));
        if (auto* dlg = qobject_cast<QDialog*>(w.get())) dlg->exec();
    });
    QMenu* nf = fileMenu_->addMenu("Number Format");
    nf->menuAction()->setObjectName("NumberFormat1");
    nf->setObjectName("NumberFormat1Menu");
    menuItemCommas_ = AddItem(nf, "Use Commas (123,123.11)", "MenuItemCommas");
    menuItemNoCommas_ = AddItem(nf, "No Commas (123123.11)", "MenuItemNoCommas");
    for (QAction* a : {menuItemCommas_, menuItemNoCommas_}) a->setCheckable(true);
    connect(nf, &QMenu::aboutToShow, this, &TAmbroluxMainForm::NumberFormat1Click);
    connect(menuItemCommas_, &QAction::triggered, this, [this] { SetNumberFormatKind(true); });
    connect(menuItemNoCommas_, &QAction::triggered, this, [this] { SetNumberFormatKind(false); });
    fileMenu_->addSeparator();
    connect(AddItem(fileMenu_, "View Main Form", "ViewMainForm1", Qt::Key_F6), &QAction::triggered, this,
            [this] { App().registry.ShowWindow(this); });
    viewNextVisible_ = AddItem(fileMenu_, "View Next Visible Form", "ViewNextVisibleForm1", Qt::Key_F11);
    connect(viewNextVisible_, &QAction::triggered, this, [this] { ViewNextForm(true); });
    viewForms_ = AddItem(fileMenu_, "View Next Open Form", "ViewForms", Qt::Key_F12);
    connect(viewForms_, &QAction::triggered, this, [this] { ViewNextForm(false); });
    fileMenu_->addSeparator();
    // Ctrl+Q ends the program from any of its windows.
    QAction* exit = AddItem(fileMenu_, "E&xit", "ExitItem");
    exit->setShortcut(QKeySequence("Ctrl+Q"));
    exit->setShortcutContext(Qt::ApplicationShortcut);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    recent_ = new RecentFilesMenu(fileMenu_, [this](const QString& p) { OpenRecentFile(p); });
    connect(fileMenu_, &QMenu::aboutToShow, this, &TAmbroluxMainForm::FileMenuClick);
    FileMenuClick();

    // Tests
    QMenu* tests = bar->addMenu("&Tests");
    tests->setObjectName("TestsMenu");
    AddWindowItem(tests, "&Mean/Dispersion Tests", "tTests1", "TT_testForm");
    AddWindowItem(tests, "&Proportion Tests", "ProportionTests1", "TProportionForm");
    AddWindowItem(tests, "McNemar's Test", "DepProportionTests1", "TMcNemarForm");
    AddWindowItem(tests, "Poisson &Rate Tests", "N2SamplePoisson1", "TPoissonForm");
    AddWindowItem(tests, "&Nonparametric Tests", "Nonparametrics1", "TNPForm");
    AddWindowItem(tests, "Cross&tabs", "Crosstabs1", "TForm_Crosstabs");
    tests->addSeparator();
    AddWindowItem(tests, "&Oneway ANOVA", "Oneway1", "TOnewayForm");
    AddWindowItem(tests, "Omega-Squared", "OmegaSquared1", "TOmega2form");
    AddWindowItem(tests, "Critical Mean &Difference", "CriticalMeanDifference1", "TCMD_Form");
    tests->addSeparator();
    AddWindowItem(tests, "&Correlation Tests", "CorrelationTests1", "TCorrelationForm");
    AddWindowItem(tests, "Correlation Matrix", "CorrelationMatrix1", "TForm_CorrMatrix");
    AddWindowItem(tests, "&Scatter Plot", "ScatterPlot1", "TForm_ScatterPlot");
    tests->addSeparator();
    AddWindowItem(tests, "&Explore", "Explore1", "TWNormal_Form", Qt::Key_F5);

    QMenu* design = bar->addMenu("D&esign");
    design->setObjectName("DesignMenu");
    AddWindowItem(design, "&Random Sequences", "RandomNumbers1", "TRandomForm");
    AddWindowItem(design, "&Sample Size", "SampleSize1", "TSampleSizeForm");
    AddWindowItem(design, "&Power Curves", "PowerCurves1", "TPowerForm");
    AddWindowItem(design, "&Expected Mean Squares", "EMS1", "TEMS_form");

    QMenu* dist = bar->addMenu("&Distributions");
    dist->setObjectName("DistributionsMenu");
    AddWindowItem(dist, "&Binomial", "Binomial1", "TBinomialDist");
    AddWindowItem(dist, "&Poisson", "PoissonDist1", "TPoissonDistForm");
    AddWindowItem(dist, "&Hypergeometric", "Hypergeometric1", "THypergeometricForm");
    AddWindowItem(dist, "&Geometric", "GeometricDist1", "TGeoDistForm");
    AddWindowItem(dist, "&Exponential", "ExponentialDist1", "TExponentialForm");
    AddWindowItem(dist, "&Test Statistics", "TestStatistics1", "TTestStatForm");
    AddWindowItem(dist, "&z Score (Normal)", "zScore1", "TZscoreForm");

    QMenu* spc = bar->addMenu("&SPC");
    spc->setObjectName("SPCMenu");
    AddWindowItem(spc, "&Variables Control Charts", "VariablesControlCharts1", "TForm_VARsetup");
    AddWindowItem(spc, "&Attributes Control Charts", "AttributesControlCharts1", "TForm_AttrSetup");
    AddWindowItem(spc, "A&utocorrelation", "Autocorrelation1", "TForm_AutoCorrelation");
    spc->addSeparator();
    QAction* ct = AddItem(spc, "Control &Test Selection", "ControlTestSelection1");
    ct->setEnabled(WindowRegistry::HasClass("TForm_ControlTests"));
    connect(ct, &QAction::triggered, this, [] {
        std::unique_ptr<QWidget> w(WindowRegistry::Create("TForm_ControlTests"));
        if (auto* dlg = qobject_cast<QDialog*>(w.get())) dlg->exec();
    });
    spc->addSeparator();
    AddWindowItem(spc, "Control &Limit Calculations", "ControlLimits1", "TControl_Limit_Form");
    AddWindowItem(spc, "Capability/Performance && Distribution Analysis", "CapabilityDistributionAnalysis1",
                  "TForm_CapabilitySetup");
    AddWindowItem(spc, "&Capability", "Capability1", "TCapabilityForm");
    spc->addSeparator();
    AddWindowItem(spc, "&Measurement Systems Analysis", "MeasurementSystemsAnalysis1", "TForm_MSA");

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("HelpMenu");
    connect(AddItem(help, "&Contents", "Contents1"), &QAction::triggered, this,
            [] { HelpContents(App().session, HelpBaseAddress, AppHelpFile); });
    connect(AddItem(help, "&Introduction", "HelponMainForm1", Qt::Key_F1), &QAction::triggered, this,
            [] { HelpTopic(App().session, 100, HelpBaseAddress, AppHelpFile); });
    connect(AddItem(help, "&Main Form", "MainForm1"), &QAction::triggered, this,
            [] { HelpTopic(App().session, 500, HelpBaseAddress, AppHelpFile); });
    help->addSeparator();
    connect(AddItem(help, "Helmridge &WEB Site", "HelmridgeWEBSite1"), &QAction::triggered, this,
            [] { OpenWebPage(App().session, MakerHomePage); });
    connect(AddItem(help, "Check for Ambrolux &Updates", "CheckforAmbroluxUpdates1"), &QAction::triggered, this,
            [] { OpenWebPage(App().session, UpdateCheckAddress()); });
    help->addSeparator();
    connect(AddItem(help, "&About...", "About1"), &QAction::triggered, this, [this] {
        TAboutbox box(this);
        box.exec();
    });
}

void TAmbroluxMainForm::ComputeMinimumSize() {
    QMenuBar* bar = menuBar();
    minFormHeight_ = bar->heightForWidth(722);
    if (minFormHeight_ <= 0) minFormHeight_ = bar->sizeHint().height();
    // The narrowest width that keeps the menu bar on one line: shrink in steps
    // of 100, 10 and 1 pixels until it wraps, then widen by one step.
    const int oneLine = minFormHeight_;
    int w = 722;
    for (int step : {100, 10, 1}) {
        while (w - step > 0 && bar->heightForWidth(w - step) <= oneLine) w -= step;
    }
    minFormWidth_ = w;
    setMinimumSize(minFormWidth_, minFormHeight_);
}

void TAmbroluxMainForm::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (height() < minFormHeight_ || width() < minFormWidth_)
        resize(std::max(width(), minFormWidth_), std::max(height(), minFormHeight_));
}

void TAmbroluxMainForm::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
        App().registry.MarkActivated(this);
        FormActivate();
        UpdateNextWindowItems();  // F11 and F12 follow the windows opened meanwhile
    }
}

void TAmbroluxMainForm::FormActivate() {
    if (!firstActivation_) return;
    firstActivation_ = false;
    if (splash_) {
        splash_->close();
        splash_->deleteLater();
    }
    ReadNumberFormat(App().session);
    App().mru.ReadList(App().session);
    const QString file = QString::fromStdString(CommandLineFile(ToStd(args_), App().mru));
    if (!file.isEmpty() && QFileInfo(file).isFile()) LoadAndShowDataEditor(file);
}

void TAmbroluxMainForm::LoadAndShowDataEditor(const QString& path) {
    TDataForm* d = App().EnsureDataEditor();
    d->FileToDataGrid(path);
    d->ShowDataEditor(this, kMainFormName);
}

void TAmbroluxMainForm::OpenRecentFile(const QString& path) {
    HideChartWindows();
    if (CheckRecentFile(App().session, path.toStdString()) != RecentFileAction::Load) return;
    LoadAndShowDataEditor(path);
}

void TAmbroluxMainForm::OpenWindowOfClass(const QString& className) {
    QWidget* w = App().registry.Ensure(className);
    if (!w) return;
    // Windows shown on behalf of another take the caller (the crosstabs window).
    if (w->metaObject()->indexOfMethod("ShowFromCaller(QWidget*,QString)") >= 0) {
        QMetaObject::invokeMethod(w, "ShowFromCaller", Q_ARG(QWidget*, this), Q_ARG(QString, kMainFormName));
        App().registry.MarkActivated(w);
        return;
    }
    App().registry.ShowWindow(w);
}

void TAmbroluxMainForm::HideChartWindows() {
    for (const char* cls : {"THistForm", "TFrequencyPlotForm", "TPlot_Form"})
        if (QWidget* w = App().registry.Window(cls)) w->hide();
}

void TAmbroluxMainForm::FileMenuClick() {
    if (recent_) recent_->Refresh();
    UpdateNextWindowItems();
}

void TAmbroluxMainForm::UpdateNextWindowItems() {
    const bool enable = NextWindowCommandsEnabled(static_cast<int>(App().registry.InActivationOrder().size()));
    viewForms_->setEnabled(enable);
    viewNextVisible_->setEnabled(enable);
}

void TAmbroluxMainForm::FormsMenuClick() {
    // The main window is in front whenever one of its menus is in use.
    App().registry.MarkActivated(this);
    const auto entries = FormsMenuEntries(App().registry.InfoInActivationOrder());
    formsMenu_->clear();
    if (entries.empty()) {
        formsMenu_->addAction("(No Open Forms)")->setObjectName("NoOpenForms");
        return;
    }
    int k = 0;
    for (const auto& e : entries) {
        QString caption = QString::fromStdString(e.caption);
        caption.replace("&", "&&");
        QAction* a = formsMenu_->addAction(caption);
        a->setObjectName(QString("FormsMenu%1").arg(k++));
        a->setCheckable(true);
        a->setChecked(e.checked);
        const int id = e.id;
        connect(a, &QAction::triggered, this, [id] {
            if (QWidget* w = App().registry.ById(id)) App().registry.ShowWindow(w);
        });
    }
    formsMenu_->addSeparator();
    connect(formsMenu_->addAction("&Hide All Forms"), &QAction::triggered, this, &TAmbroluxMainForm::HideAllForms);
    formsMenu_->actions().last()->setObjectName("HideAllForms1");
}

void TAmbroluxMainForm::HideAllForms() {
    for (QWidget* w : App().registry.InActivationOrder())
        if (w != this) w->hide();
}

void TAmbroluxMainForm::ViewNextForm(bool onlyVisible) {
    App().registry.MarkActivated(this);
    if (auto id = NextWindow(App().registry.InfoInActivationOrder(), onlyVisible))
        App().registry.ShowWindow(App().registry.ById(*id));
}

void TAmbroluxMainForm::NumberFormat1Click() {
    const bool commas = App().session.numberFormat == NumberFormatKind::WithCommas;
    menuItemCommas_->setChecked(commas);
    menuItemNoCommas_->setChecked(!commas);
}

void TAmbroluxMainForm::SetNumberFormatKind(bool commas) {
    SetNumberFormat(App().session, commas ? NumberFormatKind::WithCommas : NumberFormatKind::WithoutCommas);
    NumberFormat1Click();
}

void TAmbroluxMainForm::closeEvent(QCloseEvent* e) {
    if (TDataForm* d = App().dataForm) {
        if (!MayDiscardWorksheet(App().session, App().session.FileModified, [d] { return d->SaveAs(); })) {
            e->ignore();
            return;
        }
    }
    WriteMainPosition(App().session, {y(), x()});
    e->accept();
    emit programEnded();
}

void TAmbroluxMainForm::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TAmbroluxMainForm::dropEvent(QDropEvent* e) {
    if (GetDroppedFiles(e->mimeData()->urls())) e->acceptProposedAction();
}

bool TAmbroluxMainForm::GetDroppedFiles(const QList<QUrl>& urls) {
    App().registry.ShowWindow(this);
    for (const QUrl& u : urls) {
        if (!u.isLocalFile()) continue;
        LoadAndShowDataEditor(u.toLocalFile());  // the whole path, never shortened
        return true;
    }
    return false;
}

}  // namespace amx::gui
