#include "shell/ScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <climits>

namespace amx::gui {
namespace {

// The frame around the client area: the real one once the window manager has
// framed the window, else the style's title bar and border as an estimate.
QMargins FrameMargins(const QWidget* w) {
    const QRect frame = w->frameGeometry(), client = w->geometry();
    if (frame != client)
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    const QStyle* st = w->style();
    const int border = st->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return {border, st->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border};
}

QRect AvailableArea(const QWidget* w, QPoint at) {
    QScreen* s = QGuiApplication::screenAt(at);
    if (!s) s = w->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}

}  // namespace

QRect FitIntoArea(qint64 left, qint64 top, QSize size, const QRect& area) {
    const int w = std::clamp(size.width(), 1, std::max(1, area.width()));
    const int h = std::clamp(size.height(), 1, std::max(1, area.height()));
    const qint64 maxLeft = qint64(area.left()) + area.width() - w;
    const qint64 maxTop = qint64(area.top()) + area.height() - h;
    const qint64 x = std::clamp<qint64>(left, area.left(), maxLeft);
    const qint64 y = std::clamp<qint64>(top, area.top(), maxTop);
    return QRect(int(x), int(y), w, h);
}

int TitleWidth(const QWidget* window) {
    QFont f = QApplication::font("QMdiSubWindowTitleBar");
    f.setBold(true);
    const int text = QFontMetrics(f).horizontalAdvance(window->windowTitle());
    // Beside the title: the window icon and the close, maximise and minimise
    // buttons, each about a title bar's height wide.
    const int bar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return text + 4 * std::max(bar, 18) + 24;
}

QPoint PlaceInsideScreen(qint64 left, qint64 top, const QWidget* w) {
    const QPoint probe(int(std::clamp<qint64>(left, INT_MIN / 2, INT_MAX / 2)),
                       int(std::clamp<qint64>(top, INT_MIN / 2, INT_MAX / 2)));
    const QRect area = AvailableArea(w, probe);
    if (area.isEmpty()) return probe;
    return FitIntoArea(left, top, w->size().grownBy(FrameMargins(w)), area).topLeft();
}

void KeepInsideScreen(QWidget* w) {
    const QRect area = AvailableArea(w, w->pos() + w->rect().center());
    if (area.isEmpty()) return;
    if (qobject_cast<QDialog*>(w) && w->width() < TitleWidth(w))
        w->resize(std::min(TitleWidth(w), area.width()), w->height());
    const QMargins m = FrameMargins(w);
    const QSize frameSize = w->size().grownBy(m);
    qint64 left = w->pos().x(), top = w->pos().y();
    if (!w->testAttribute(Qt::WA_Moved)) {
        // Never placed: centred in the area.
        left = area.left() + (qint64(area.width()) - frameSize.width()) / 2;
        top = area.top() + (qint64(area.height()) - frameSize.height()) / 2;
    }
    const QRect frame = FitIntoArea(left, top, frameSize, area);
    const QSize client = frame.size().shrunkBy(m);
    if (client != w->size()) w->resize(client.expandedTo(QSize(1, 1)));
    if (frame.topLeft() != w->pos()) w->move(frame.topLeft());
}

void ScreenFitFilter::Install() {
    static ScreenFitFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new ScreenFitFilter(qApp);
    qApp->installEventFilter(filter);
}

bool ScreenFitFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        const Qt::WindowType type = w->windowType();
        if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog)) KeepInsideScreen(w);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace amx::gui
