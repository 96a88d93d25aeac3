#include "help/HelpForm.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "help/HelpManual.h"
#include "shell/ShellDefaults.h"

namespace amx::gui {
namespace {

QPointer<THelpForm> g_help;

void DeleteHelpWindow() { delete g_help.data(); }

constexpr int kUrlRole = Qt::UserRole;

}  // namespace

THelpForm* THelpForm::Instance() {
    if (!g_help) {
        g_help = new THelpForm;
        // Torn down with the application, before the widgets' platform goes.
        qAddPostRoutine(DeleteHelpWindow);
    }
    return g_help;
}

void THelpForm::Open(int topic) {
    THelpForm* w = Instance();
    if (topic > 0) w->ShowTopic(topic);
    else w->ShowContents();
    // Asked from a modal dialog, the help window is modal on top of it, or it
    // could not be scrolled or searched until the dialog closed.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != w ? Qt::ApplicationModal : Qt::NonModal;
    if (w->windowModality() != wanted) {
        w->hide();
        w->setWindowModality(wanted);
    }
    w->show();
    w->raise();
    w->activateWindow();
}

THelpForm::THelpForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("HelpForm");
    setWindowTitle(QString::fromStdString(AppProductName) + " Help");
    resize(980, 680);

    browser_ = new QTextBrowser;
    browser_->setObjectName("HelpText");
    browser_->setOpenExternalLinks(true);
    notice_ = new QLabel;
    notice_->setObjectName("HelpNotice");
    notice_->setWordWrap(true);
    notice_->setStyleSheet("QLabel { background: #fff4c2; border: 1px solid #d9b44a; padding: 6px; }");
    notice_->hide();

    searchEdit_ = new QLineEdit;
    searchEdit_->setObjectName("SearchEdit");
    searchEdit_->setPlaceholderText("Search the help");
    searchEdit_->setClearButtonEnabled(true);
    searchStatus_ = new QLabel;
    searchStatus_->setObjectName("SearchStatus");
    list_ = new QListWidget;
    list_->setObjectName("TopicList");

    auto* left = new QWidget;
    auto* ll = new QVBoxLayout(left);
    ll->setContentsMargins(0, 0, 0, 0);
    ll->addWidget(searchEdit_);
    ll->addWidget(searchStatus_);
    ll->addWidget(list_, 1);
    auto* right = new QWidget;
    auto* rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(notice_);
    rl->addWidget(browser_, 1);
    auto* split = new QSplitter;
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 720});
    setCentralWidget(split);

    QToolBar* tools = addToolBar("Help");
    tools->setObjectName("HelpToolBar");
    tools->setMovable(false);
    back_ = tools->addAction(style()->standardIcon(QStyle::SP_ArrowBack), "&Back", browser_, &QTextBrowser::backward);
    back_->setObjectName("BackAction");
    back_->setShortcut(QKeySequence::Back);
    forward_ = tools->addAction(style()->standardIcon(QStyle::SP_ArrowForward), "&Forward", browser_,
                                &QTextBrowser::forward);
    forward_->setObjectName("ForwardAction");
    forward_->setShortcut(QKeySequence::Forward);
    QAction* contents = tools->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), "&Contents", this,
                                         &THelpForm::ShowContents);
    contents->setObjectName("ContentsAction");
    QAction* find = new QAction("&Search", this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, searchEdit_, [this] {
        searchEdit_->setFocus();
        searchEdit_->selectAll();
    });
    addAction(find);
    QAction* close = new QAction("Close", this);
    close->setShortcut(Qt::Key_Escape);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &THelpForm::SourceChanged);
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* i) { OpenListed(list_->row(i)); });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { OpenListed(list_->row(i)); });
    connect(searchEdit_, &QLineEdit::returnPressed, this, [this] { Search(searchEdit_->text()); });
    connect(searchEdit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (t.trimmed().isEmpty()) Search(QString());
    });
    FillPageList();
}

void THelpForm::FillPageList() {
    list_->clear();
    auto add = [this](const HelpPage& p) {
        auto* item = new QListWidgetItem(p.title, list_);
        item->setData(kUrlRole, p.url);
    };
    add(HelpManual::PageAt(HelpManual::ContentsUrl()));
    for (const HelpPage& p : HelpManual::Pages()) add(p);
    searchStatus_->hide();
}

void THelpForm::OpenListed(int row) {
    if (row < 0 || row >= list_->count()) return;
    browser_->setSource(list_->item(row)->data(kUrlRole).toUrl());
    MarkFirstHit();
}

void THelpForm::ShowContents() {
    browser_->setSource(HelpManual::ContentsUrl());
}

void THelpForm::ShowTopic(int topic) {
    const QUrl url = HelpManual::TopicUrl(topic);
    if (url.isEmpty()) {
        ShowContents();
        ShowNotice(QString("There is no help page for topic %1 yet; the contents are shown instead.").arg(topic));
        return;
    }
    browser_->setSource(url);
}

void THelpForm::ShowNotice(const QString& text) {
    notice_->setText(text);
    notice_->show();
}

void THelpForm::Search(const QString& words) {
    lastSearch_ = words.simplified();
    if (searchEdit_->text().simplified() != lastSearch_) {
        const QSignalBlocker block(searchEdit_);
        searchEdit_->setText(words);
    }
    if (lastSearch_.isEmpty()) {
        FillPageList();
        return;
    }
    list_->clear();
    const QList<HelpPage> hits = HelpManual::Search(lastSearch_);
    for (const HelpPage& p : hits) {
        auto* item = new QListWidgetItem(p.title, list_);
        item->setData(kUrlRole, p.url);
    }
    searchStatus_->setText(hits.isEmpty() ? QString("No page holds \"%1\".").arg(lastSearch_)
                                          : QString("%1 page(s) found.").arg(hits.size()));
    searchStatus_->show();
    if (!hits.isEmpty()) {
        list_->setCurrentRow(0);
        OpenListed(0);
    }
}

// Selects the first place the searched words occur on the shown page.
void THelpForm::MarkFirstHit() {
    if (lastSearch_.isEmpty()) return;
    const QString first = lastSearch_.section(' ', 0, 0);
    browser_->moveCursor(QTextCursor::Start);
    browser_->find(first);
}

void THelpForm::SourceChanged(const QUrl& url) {
    const HelpPage page = HelpManual::PageAt(url);
    setWindowTitle(QString::fromStdString(AppProductName) + " Help" +
                   (page.title.isEmpty() ? QString() : " - " + page.title));
    notice_->hide();
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->data(kUrlRole).toUrl() == page.url) {
            const QSignalBlocker block(list_);
            list_->setCurrentRow(i);
            break;
        }
    }
}

QUrl THelpForm::CurrentUrl() const { return browser_->source(); }

QString THelpForm::Notice() const { return notice_->isHidden() ? QString() : notice_->text(); }

}  // namespace amx::gui
