#include "modifications/KeyFilterAdapter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace amx::gui {

KeyFilterAdapter::KeyFilterAdapter(QLineEdit* edit, Filter filter)
    : QObject(edit), edit_(edit), filter_(std::move(filter)) {
    edit->installEventFilter(this);
}

bool KeyFilterAdapter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_ || event->type() != QEvent::KeyPress || !filter_) return false;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.isEmpty()) return false;  // arrows, Home, End and the like
    const char32_t key = text.at(0).unicode();
    const bool clipboardKey = key == KeyCtrlC || key == KeyCtrlV || key == KeyCtrlX;
    if ((key < 0x20 && key != KeyBackspace && !clipboardKey) || key == 0x7f) return false;
    KeyBox box;
    box.text = edit_->text().toStdString();
    if (edit_->hasSelectedText()) {
        box.selStart = edit_->selectionStart();
        box.selLength = static_cast<int>(edit_->selectedText().size());
    } else {
        box.selStart = edit_->cursorPosition();
    }
    const KeyResult r = filter_(box, key);
    switch (r.action) {
    case KeyAction::Reject: QApplication::beep(); return true;
    case KeyAction::PassToBox: return false;
    case KeyAction::Apply:
        edit_->setText(QString::fromStdString(r.box.text));
        if (r.box.selLength > 0)
            edit_->setSelection(r.box.selStart, r.box.selLength);
        else
            edit_->setCursorPosition(r.box.selStart);
        return true;
    }
    return false;
}

}  // namespace amx::gui
