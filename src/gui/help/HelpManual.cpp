#include "help/HelpManual.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>

namespace amx::gui {
namespace {

const QString kRoot = QStringLiteral(":/help");

QString ReadText(const QString& resourcePath) {
    QFile f(resourcePath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// "# Title" on the first line; the file name when the line is missing.
QString TitleOf(const QString& text, const QString& fallback) {
    const QString first = text.section('\n', 0, 0).trimmed();
    if (first.startsWith('#')) {
        QString t = first;
        while (t.startsWith('#')) t.remove(0, 1);
        return t.trimmed();
    }
    return fallback;
}

QUrl UrlOf(const QString& fileName) { return QUrl("qrc" + kRoot + '/' + fileName); }

QString ResourcePathOf(const QUrl& url) {
    if (url.scheme() != "qrc") return {};
    return ':' + url.path();
}

// The pages never change while the program runs: read them once.
const QList<HelpPage>& AllPages() {
    static const QList<HelpPage> pages = [] {
        QList<HelpPage> out;
        static const QRegularExpression name(QStringLiteral("^topic-(\\d+)\\.md$"));
        for (const QString& f : QDir(kRoot).entryList(QDir::Files)) {
            const QRegularExpressionMatch m = name.match(f);
            if (!m.hasMatch()) continue;
            bool ok = false;
            const int topic = m.captured(1).toInt(&ok);
            if (!ok || topic <= 0) continue;
            out.push_back({topic, TitleOf(ReadText(kRoot + '/' + f), f), UrlOf(f)});
        }
        std::sort(out.begin(), out.end(), [](const HelpPage& a, const HelpPage& b) { return a.topic < b.topic; });
        return out;
    }();
    return pages;
}

}  // namespace

bool HelpManual::Available() { return QFile::exists(kRoot + "/contents.md"); }

QUrl HelpManual::ContentsUrl() { return UrlOf("contents.md"); }

QUrl HelpManual::TopicUrl(int topic) {
    for (const HelpPage& p : AllPages())
        if (p.topic == topic) return p.url;
    return {};
}

QList<HelpPage> HelpManual::Pages() { return AllPages(); }

HelpPage HelpManual::PageAt(const QUrl& url) {
    const QUrl bare = url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery);
    if (bare == ContentsUrl()) return {0, TitleOf(ReadText(ResourcePathOf(bare)), "Contents"), bare};
    for (const HelpPage& p : AllPages())
        if (p.url == bare) return p;
    return {};
}

QString HelpManual::PlainText(const QUrl& url) {
    static QHash<QString, QString> cache;
    const QString path = ResourcePathOf(url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery));
    auto it = cache.constFind(path);
    if (it != cache.constEnd()) return *it;
    QTextDocument doc;
    doc.setMarkdown(ReadText(path));
    return *cache.insert(path, doc.toPlainText());
}

QList<HelpPage> HelpManual::Search(const QString& query) {
    const QStringList words = query.simplified().split(' ', Qt::SkipEmptyParts);
    QList<HelpPage> hits;
    if (words.isEmpty()) return hits;
    QList<HelpPage> candidates{PageAt(ContentsUrl())};
    candidates += AllPages();
    for (const HelpPage& p : candidates) {
        const QString text = p.title + '\n' + PlainText(p.url);
        const bool all = std::all_of(words.begin(), words.end(),
                                     [&](const QString& w) { return text.contains(w, Qt::CaseInsensitive); });
        if (all) hits.push_back(p);
    }
    return hits;
}

}  // namespace amx::gui
