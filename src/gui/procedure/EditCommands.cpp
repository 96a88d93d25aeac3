#include "procedure/EditCommands.h"

#include <QLineEdit>
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

}  // namespace amx::gui
