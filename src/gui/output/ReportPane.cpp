#include "output/ReportPane.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>
#include <cmath>

namespace amx::gui {
namespace {

// Block property that types a page mark.
constexpr int PageMarkProperty = QTextFormat::UserProperty + 1;

QColor ToQColor(TextColor c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

TextColor FromQColor(const QColor& c) {
    return (TextColor(c.red()) << 16) | (TextColor(c.green()) << 8) | TextColor(c.blue());
}

std::string FragmentText(QString s) {
    // Soft line breaks and embedded objects have no place in a report line.
    s.replace(QChar::LineSeparator, QLatin1Char(' '));
    s.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    s.remove(QChar::ObjectReplacementCharacter);
    return s.toStdString();
}

}  // namespace

QTextCharFormat CharFormatOf(const TextFont& font) {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{QString::fromStdString(font.face)});
    f.setFontPointSize(font.size);
    f.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic);
    f.setFontUnderline(font.underline);
    f.setForeground(ToQColor(font.color));
    return f;
}

TextFont TextFontOf(const QTextCharFormat& format, const TextFont& fallback) {
    TextFont t = fallback;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty()) t.face = families.front().toStdString();
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        t.size = static_cast<int>(std::lround(format.fontPointSize()));
    t.bold = format.fontWeight() >= QFont::DemiBold;
    t.italic = format.fontItalic();
    t.underline = format.fontUnderline();
    t.color = format.hasProperty(QTextFormat::ForegroundBrush) ? FromQColor(format.foreground().color())
                                                                : ColorBlack;
    return t;
}

ReportPane::ReportPane(QWidget* parent) : QTextEdit(parent) {
    setObjectName("OutputPane");
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    // Tab stops every eight average Courier characters, as the reports are
    // laid out.
    QFont courier(QString::fromStdString(FaceCourier), 9);
    setTabStopDistance(QFontMetricsF(courier).horizontalAdvance(QLatin1Char(' ')) * 8);
    document()->setDefaultFont(courier);
    setCurrentCharFormat(CharFormatOf(defaultFont));
}

bool ReportPane::IsPageMarkBlock(const QTextBlock& block) {
    return block.blockFormat().boolProperty(PageMarkProperty) &&
           block.text() == QString::fromStdString(PageMarkText);
}

ReportDocument ReportPane::ToDocument() const {
    ReportDocument doc;
    doc.defaultFont = defaultFont;
    const QTextDocument* d = document();
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next()) {
        const bool last = !b.next().isValid();
        TextFont endFont = TextFontOf(b.charFormat(), defaultFont);
        if (!last && IsPageMarkBlock(b)) {
            TextFont markFont = endFont;
            auto it = b.begin();
            if (!it.atEnd()) markFont = TextFontOf(it.fragment().charFormat(), defaultFont);
            doc.AppendPageMark(markFont);
            continue;
        }
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            const TextFont f = TextFontOf(frag.charFormat(), defaultFont);
            doc.AppendText(FragmentText(frag.text()), f);
            endFont = f;
        }
        if (!last) doc.EndLine(endFont);
    }
    return doc;
}

void ReportPane::AppendParagraphs(QTextCursor& cursor, const std::vector<Paragraph>& paras, size_t from,
                                  bool) {
    for (size_t i = from; i < paras.size(); ++i) {
        const Paragraph& p = paras[i];
        QTextBlockFormat bf;
        if (p.kind == ParagraphKind::PageMark) bf.setProperty(PageMarkProperty, true);
        cursor.setBlockFormat(bf);
        cursor.setBlockCharFormat(CharFormatOf(p.endFont));
        for (const auto& r : p.runs) cursor.insertText(QString::fromStdString(r.text), CharFormatOf(r.font));
        // A plain block format, so the next line never inherits the page mark.
        cursor.insertBlock(QTextBlockFormat(), CharFormatOf(p.endFont));
    }
}

void ReportPane::InsertCurrentLine(QTextCursor& cursor, const Paragraph& current) {
    for (const auto& r : current.runs) cursor.insertText(QString::fromStdString(r.text), CharFormatOf(r.font));
}

void ReportPane::ShowDocument(const ReportDocument& doc) {
    defaultFont = doc.defaultFont;
    clear();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    AppendParagraphs(cursor, doc.Paragraphs(), 0, true);
    InsertCurrentLine(cursor, doc.Current());
    cursor.endEditBlock();
    setCurrentCharFormat(CharFormatOf(doc.Current().runs.empty() ? doc.defaultFont
                                                                 : doc.Current().runs.back().font));
}

void ReportPane::ShowAppended(const ReportDocument& before, const ReportDocument& doc) {
    const auto& old = before.Paragraphs();
    const auto& now = doc.Paragraphs();
    bool prefix = before.Current().runs.empty() && old.size() <= now.size() &&
                  document()->blockCount() == static_cast<int>(old.size()) + 1 &&
                  document()->lastBlock().text().isEmpty();
    for (size_t i = 0; prefix && i < old.size(); ++i) prefix = old[i] == now[i];
    if (!prefix) {
        ShowDocument(doc);
        return;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    AppendParagraphs(cursor, now, old.size(), false);
    InsertCurrentLine(cursor, doc.Current());
    cursor.endEditBlock();
}

void ReportPane::ScaleFonts(int delta) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int firstVisible = cursorForPosition(QPoint(0, 0)).blockNumber();
    const int caret = textCursor().position();
    ReportDocument doc = ToDocument();
    doc.ScaleFonts(delta);
    setUpdatesEnabled(false);
    ShowDocument(doc);
    QTextCursor c(document());
    c.setPosition(std::min(caret, document()->characterCount() - 1));
    setTextCursor(c);
    const QTextBlock top = document()->findBlockByNumber(firstVisible);
    if (top.isValid()) {
        const int y = static_cast<int>(document()->documentLayout()->blockBoundingRect(top).top());
        verticalScrollBar()->setValue(y);
    }
    setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}

void ReportPane::ScrollToEnd() {
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    setTextCursor(c);
    ensureCursorVisible();
}

QMenu* ReportPane::BuildEditMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("OutputPopupMenu");
    const bool sel = HasSelection();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    const bool clipText = mime && mime->hasText();
    auto add = [&](const char* name, const QString& caption, bool enabled, auto slot) {
        QAction* a = menu->addAction(caption, this, slot);
        a->setObjectName(name);
        a->setEnabled(enabled);
    };
    add("Undo1", "&Undo", document()->isUndoAvailable(), [this] { undo(); });
    menu->addSeparator();
    add("Cut1", "Cu&t", sel, [this] { cut(); });
    add("Copy1", "&Copy", sel, [this] { copy(); });
    add("Paste1", "&Paste", clipText, [this] { paste(); });
    add("Delete1", "&Delete", sel, [this] { textCursor().removeSelectedText(); });
    menu->addSeparator();
    add("Select1", "Select &All", true, [this] { selectAll(); });
    return menu;
}

void ReportPane::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int dy = event->angleDelta().y();
        if (dy != 0) emit fontStepRequested(dy > 0 ? 1 : -1);
        event->accept();
        return;
    }
    QTextEdit::wheelEvent(event);
}

void ReportPane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = BuildEditMenu(this);
    menu->exec(event->globalPos());
    delete menu;
}

}  // namespace amx::gui
