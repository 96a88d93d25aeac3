#pragma once
// The recent-file items of a File menu: the separator MenuLineMRU and the
// items MRFile1..MRFile9, refreshed from the settings store each time the
// menu opens. Each item keeps its path in its data, so the caption's
// accelerator and any "&" in a path never change the file opened.
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace amx::gui {

class RecentFilesMenu : public QObject {
    Q_OBJECT
public:
    // Appends the items to `fileMenu`; `open` gets the chosen path.
    RecentFilesMenu(QMenu* fileMenu, std::function<void(const QString&)> open);
    void Refresh();

private:
    QMenu* menu_;
    QAction* separator_;
    QAction* items_[9];
    std::function<void(const QString&)> open_;
};

}  // namespace amx::gui
