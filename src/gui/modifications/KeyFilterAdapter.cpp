#include "modifications/KeyFilterAdapter.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>


namespace amx::gui {

KeyFilterAdapter::KeyFilterAdapter(QLineEdit* edit, Filter filter, Messages* messages)
    : QObject(edit), edit_(edit), filter_(std::move(filter)), messages_(messages) {
    edit->installEventFilter(this);
}

KeyBox KeyFilterAdapter::CurrentBox() const {
    KeyBox box;
    box.text = edit_->text().toStdString();
    if (edit_->hasSelectedText()) {
        box.selStart = edit_->selectionStart();
        box.selLength = static_cast<int>(edit_->selectedText().size());
    } else {
        box.selStart = edit_->cursorPosition();
    }
    return box;
}

// A pasted text goes in as it is or not at all: typed through the filter it
// must come out unchanged, else one refused character would silently turn
// "2.5" into "25".
bool KeyFilterAdapter::Paste(const KeyBox& box) {
    const QString pasted = QApplication::clipboard()->text();
    KeyBox typed = box;
    for (char32_t c : pasted.toUcs4()) {
        const KeyResult step = filter_(typed, c);
        if (step.action == KeyAction::Reject) return Refuse();
        if (step.action == KeyAction::Apply) {
            typed = step.box;
            continue;
        }
        const std::string ch = QString::fromUcs4(&c, 1).toStdString();
        typed.text.replace(static_cast<std::size_t>(typed.selStart), static_cast<std::size_t>(typed.selLength), ch);
        typed.selStart += static_cast<int>(ch.size());
        typed.selLength = 0;
    }
    std::string plain = box.text;
    plain.replace(static_cast<std::size_t>(box.selStart), static_cast<std::size_t>(box.selLength),
                  pasted.toStdString());
    if (typed.text != plain) return Refuse();
    return false;  // the box pastes it
}

bool KeyFilterAdapter::Refuse() {
    // The program's own beep, which a quiet desktop may still show.
    if (messages_) messages_->Beep();
    else QApplication::beep();
    return true;
}

bool KeyFilterAdapter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_ || event->type() != QEvent::KeyPress || !filter_) return false;
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (keyEvent->matches(QKeySequence::Paste)) return Paste(CurrentBox());
    const QString text = keyEvent->text();
    if (text.isEmpty()) return false;  // arrows, Home, End and the like
    const char32_t key = text.at(0).unicode();
    const bool clipboardKey = key == KeyCtrlC || key == KeyCtrlV || key == KeyCtrlX;
    if ((key < 0x20 && key != KeyBackspace && !clipboardKey) || key == 0x7f) return false;
    const KeyBox box = CurrentBox();
    if (key == KeyCtrlV) return Paste(box);
    const KeyResult r = filter_(box, key);
    switch (r.action) {
    case KeyAction::Reject: return Refuse();
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
