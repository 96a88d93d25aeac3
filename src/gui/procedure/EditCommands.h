#pragma once
// The Edit menu's commands ("Undo1", "Cut1", "Copy1", "Paste1", "Delete1",
// "Select1") as every window applies them: to the edit box that has the focus,
// else to the window's report pane. A read-only pane is never changed.
#include <QString>

class QTextEdit;
class QWidget;

namespace amx::gui {

// `active` is the focused edit box (a QLineEdit or QTextEdit) or null.
void ApplyEditCommand(QWidget* active, QTextEdit* pane, const QString& itemName);

// Enables the Edit menu's items (found by object name among `window`'s
// children) for the control that has the focus: Cut, Paste and Delete only
// where it can be written, Paste only with text on the clipboard.
void UpdateEditActions(QWidget* window, QWidget* focused);

}  // namespace amx::gui
