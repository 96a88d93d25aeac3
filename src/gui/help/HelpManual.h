#pragma once
// The bundled manual: one Markdown page per help topic, compiled into the
// program as Qt resources under ":/help" (docs/help/topic-NNNN.md, first line
// "# Title"), plus the contents page docs/help/contents.md. Adding a page is
// dropping a file into docs/help; the build picks it up.
#include <QList>
#include <QString>
#include <QUrl>

namespace amx::gui {

struct HelpPage {
    int topic = 0;  // 0: the contents page
    QString title;
    QUrl url;
};

class HelpManual {
public:
    // True when the manual is part of the program (its contents page exists).
    static bool Available();
    static QUrl ContentsUrl();
    // The page of a topic, or an empty address when the manual has none.
    static QUrl TopicUrl(int topic);
    // Every topic page in topic order (the contents page not included).
    static QList<HelpPage> Pages();
    // The page at an address (topic 0 for the contents page); a page with an
    // empty title and address when the address is not part of the manual.
    static HelpPage PageAt(const QUrl& url);
    // Pages whose text holds every word of `query` (case-insensitive), in
    // topic order, the contents page first when it matches.
    static QList<HelpPage> Search(const QString& query);
    // The page's text without Markdown marks, as the search sees it.
    static QString PlainText(const QUrl& url);
};

}  // namespace amx::gui
