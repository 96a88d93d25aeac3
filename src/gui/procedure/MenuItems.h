#pragma once
// One menu item with its object name (tests and the main window find items by
// it) and an optional key. The key is a window shortcut, so two windows can
// use the same key each for its own item.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>

namespace amx::gui {

inline QAction* AddMenuItem(QObject* owner, QMenu* menu, const QString& caption, const char* name,
                            const QKeySequence& key = {}) {
    auto* a = new QAction(caption, owner);
    a->setObjectName(name);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    menu->addAction(a);
    return a;
}

}  // namespace amx::gui
