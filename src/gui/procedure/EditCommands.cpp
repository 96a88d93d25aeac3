#include "procedure/EditCommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace amx::gui {

void ApplyEditCommand(QWidget* active, QTextEdit* pane, const QString& itemName) {
    if (auto* line = qobject_cast<QLineEdit*>(active)) {
        if (itemName == "Undo1") line->undo();
        else if (itemName == "Cut1") line->cut();
        else if (itemName == "Copy1") line->copy();
        else if (itemName == "Paste1") line->paste();
        else if (itemName == "Delete1") line->del();
        else if (itemName == "Select1") line->selectAll();
        return;
    }
    QTextEdit* text = qobject_cast<QTextEdit*>(active);
    if (!text) text = pane;
    if (!text) return;
    if (itemName == "Copy1") text->copy();
    else if (itemName == "Select1") text->selectAll();
    else if (text->isReadOnly()) return;  // the cursor would edit it regardless
    else if (itemName == "Undo1") text->undo();
    else if (itemName == "Cut1") text->cut();
    else if (itemName == "Paste1") text->paste();
    else if (itemName == "Delete1") text->textCursor().removeSelectedText();
}

void UpdateEditActions(QWidget* window, QWidget* focused) {
    bool isEdit = false, writable = false, canUndo = false, hasSel = false;
    if (auto* line = qobject_cast<QLineEdit*>(focused)) {
        isEdit = true;
        writable = !line->isReadOnly();
        canUndo = line->isUndoAvailable();
        hasSel = line->hasSelectedText();
    } else if (auto* text = qobject_cast<QTextEdit*>(focused)) {
        isEdit = true;
        writable = !text->isReadOnly();
        canUndo = text->document()->isUndoAvailable();
        hasSel = text->textCursor().hasSelection();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focused)) {
        isEdit = true;
        writable = !plain->isReadOnly();
        canUndo = plain->document()->isUndoAvailable();
        hasSel = plain->textCursor().hasSelection();
    }
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    const bool clipText = mime && mime->hasText();
    auto set = [window](const char* name, bool on) {
        if (auto* a = window->findChild<QAction*>(name)) a->setEnabled(on);
    };
    set("Undo1", writable && canUndo);
    set("Cut1", writable && hasSel);
    set("Copy1", isEdit && hasSel);
    set("Delete1", writable && hasSel);
    set("Select1", isEdit);
    set("Paste1", writable && clipText);
}

}  // namespace amx::gui
