#include "shell/RecentFilesMenu.h"

#include <QAction>
#include <QMenu>

#include "shell/AppContext.h"

namespace amx::gui {

RecentFilesMenu::RecentFilesMenu(QMenu* fileMenu, std::function<void(const QString&)> open)
    : QObject(fileMenu), menu_(fileMenu), open_(std::move(open)) {
    separator_ = menu_->addSeparator();
    separator_->setObjectName("MenuLineMRU");
    for (int i = 0; i < 9; ++i) {
        items_[i] = menu_->addAction(QString());
        items_[i]->setObjectName(QString("MRFile%1").arg(i + 1));
        connect(items_[i], &QAction::triggered, this, [this, i] {
            const QString path = items_[i]->data().toString();
            if (!path.isEmpty() && open_) open_(path);
        });
    }
    connect(menu_, &QMenu::aboutToShow, this, &RecentFilesMenu::Refresh);
    Refresh();
}

void RecentFilesMenu::Refresh() {
    TMRUFiles& mru = App().mru;
    mru.ReadList(App().session);
    separator_->setVisible(!mru.Flist[0].empty());
    for (int i = 0; i < 9; ++i) {
        const std::string& f = mru.Flist[i];
        items_[i]->setVisible(!f.empty());
        items_[i]->setText(QString::fromStdString(RecentFileCaption(i + 1, f)));
        items_[i]->setData(QString::fromStdString(f));
    }
}

}  // namespace amx::gui
