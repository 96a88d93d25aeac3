#pragma once
// The rich-text pane that shows a window's report. The pane's text is what the
// user sees and edits, so it is the report: before a run the window reads it
// back as a ReportDocument, the writer appends to that, and the pane shows the
// new lines. Page marks are typed blocks, never recognised by their text.
#include <QTextEdit>

#include "report/ReportDocument.h"

class QMenu;

namespace amx::gui {

QTextCharFormat CharFormatOf(const TextFont& font);
TextFont TextFontOf(const QTextCharFormat& format, const TextFont& fallback);

class ReportPane : public QTextEdit {
    Q_OBJECT
public:
    explicit ReportPane(QWidget* parent = nullptr);

    // The attributes a fresh pane starts with.
    TextFont defaultFont;

    // The pane's content read back: one paragraph per block, page marks
    // where a page-mark block still reads "-Page-".
    ReportDocument ToDocument() const;
    // Replaces the content with the document.
    void ShowDocument(const ReportDocument& doc);
    // Shows `doc`, which was `before` plus lines written at its end: only the
    // new lines are appended (the edit history and the user's edits stay);
    // anything else redraws the whole pane.
    void ShowAppended(const ReportDocument& before, const ReportDocument& doc);

    // Every font size changes by delta points; the first visible line and the
    // caret stay where they were.
    void ScaleFonts(int delta);
    void ScrollToEnd();

    bool HasSelection() const { return textCursor().hasSelection(); }
    // Plain text of the pane, lines joined by "\n", page marks included.
    QString Text() const { return toPlainText(); }
    static bool IsPageMarkBlock(const QTextBlock& block);

    // The pop-up menu with its items enabled as the pane allows.
    QMenu* BuildEditMenu(QWidget* parent);

signals:
    // Ctrl + mouse wheel: +1 (away from the user) or -1.
    void fontStepRequested(int delta);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void AppendParagraphs(QTextCursor& cursor, const std::vector<Paragraph>& paras, size_t from,
                          bool firstInExistingBlock);
    void InsertCurrentLine(QTextCursor& cursor, const Paragraph& current);
};

}  // namespace amx::gui
