#include "procedure/FormScale.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace amx::gui {

double EnlargeTarget(double current, QSize window, QSize workArea) {
    if (window.isEmpty() || workArea.isEmpty() || current <= 0) return current;
    const double w = window.width(), h = window.height();
    const double aw = workArea.width(), ah = workArea.height();
    double target = current == 1.0 ? std::max(ah / h, aw / w) : 1.0;
    if (target == current) return current;
    const bool fits = w <= aw && h <= ah;
    if (!fits && target > current) return current;
    // Lowered until both sides fit; sizes scale by target / current.
    target = std::min({target, aw * current / w, ah * current / h});
    return target;
}

double EnlargeWindow(QWidget* window, double& scale, QRect workArea) {
    if (workArea.isEmpty()) {
        QScreen* s = window->screen() ? window->screen() : QApplication::primaryScreen();
        if (!s) return 0;
        workArea = s->availableGeometry();
    }
    const QSize size = window->size();
    const double target = EnlargeTarget(scale, size, workArea.size());
    if (target == scale) return 0;
    const double r = target / scale;
    scale = target;
    const bool wasVisible = window->isVisible();
    window->hide();
    QFont f = window->font();
    f.setPointSizeF(f.pointSizeF() * r);
    window->setFont(f);
    const QSize newSize(static_cast<int>(std::lround(size.width() * r)),
                        static_cast<int>(std::lround(size.height() * r)));
    window->resize(newSize);
    QRect frame(QPoint(0, 0), newSize);
    frame.moveCenter(workArea.center());
    window->move(frame.topLeft());
    if (wasVisible) window->show();
    return r;
}

}  // namespace amx::gui
