#pragma once
// Keeps every top-level window inside the screen's available area (the work
// area without panels and docks): installed once on the application, it
// places each window as it is shown, so windows added later need nothing of
// their own. A window that was never placed is centred; one that was (by its
// own code or a stored position) keeps its place as far as the area allows.
// Dialogs are also made wide enough to show their whole title.
#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

namespace amx::gui {

// The frame rectangle of a window of `size` whose frame's top-left corner
// is asked at (left, top), moved and, where it is larger, shrunk to lie inside
// `area`. 64-bit inputs: a stored position of INT_MAX must not overflow.
QRect FitIntoArea(qint64 left, qint64 top, QSize size, const QRect& area);

// Where a window's frame goes when asked at (left, top): inside the
// available area of the screen there (or of the window's own screen).
QPoint PlaceInsideScreen(qint64 left, qint64 top, const QWidget* window);

// Places one top-level window now (also used before a window is shown).
void KeepInsideScreen(QWidget* window);

// The narrowest width at which a dialog's title bar shows its whole title.
int TitleWidth(const QWidget* window);

class ScreenFitFilter : public QObject {
    Q_OBJECT
public:
    // Installs the filter on the application once; later calls do nothing.
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

}  // namespace amx::gui
