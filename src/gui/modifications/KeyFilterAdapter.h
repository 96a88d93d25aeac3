#pragma once
// Puts one of the core key filters (common/KeyFilters.h) on a line edit: a
// rejected key beeps (the session's Beep) and is dropped, a pasted text the
// filter would change is refused whole, an applied one replaces the box's text
// and selection, the rest reach the box as usual.
#include <QObject>
#include <functional>

#include "common/KeyFilters.h"
#include "common/Messages.h"

class QLineEdit;

namespace amx::gui {

class KeyFilterAdapter : public QObject {
    Q_OBJECT
public:
    using Filter = std::function<KeyResult(const KeyBox&, char32_t)>;
    // messages: where a refusal beeps (the system beep when none).
    KeyFilterAdapter(QLineEdit* edit, Filter filter, Messages* messages = nullptr);
    void SetFilter(Filter filter) { filter_ = std::move(filter); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyBox CurrentBox() const;
    bool Paste(const KeyBox& box);
    bool Refuse();
    QLineEdit* edit_;
    Filter filter_;
    Messages* messages_;
};

}  // namespace amx::gui
