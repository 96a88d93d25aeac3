#pragma once
// The help browser: the bundled manual's pages in a text browser, with the
// list of pages (or the search hits) beside it, back and forward, the contents
// and a search over every page. One window for the whole program; it opens at
// the topic asked for, or at the contents with a notice when the manual has no
// page for that topic.
#include <QMainWindow>
#include <QUrl>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace amx::gui {

class THelpForm : public QMainWindow {
    Q_OBJECT
public:
    // The program's help window, created on first use.
    static THelpForm* Instance();
    // Shows the window at a topic (0: the contents) and brings it to the front.
    static void Open(int topic);

    void ShowTopic(int topic);
    void ShowContents();
    // Lists the pages holding every word and opens the first of them.
    void Search(const QString& words);

    QUrl CurrentUrl() const;
    QString Notice() const;  // empty while no notice is shown

private:
    explicit THelpForm(QWidget* parent = nullptr);
    void FillPageList();
    void SourceChanged(const QUrl& url);
    void OpenListed(int row);
    void ShowNotice(const QString& text);
    void MarkFirstHit();

    QTextBrowser* browser_;
    QListWidget* list_;
    QLineEdit* searchEdit_;
    QLabel* searchStatus_;
    QLabel* notice_;
    QAction* back_;
    QAction* forward_;
    QString lastSearch_;
};

}  // namespace amx::gui
