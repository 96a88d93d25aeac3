#pragma once
// The About box and the splash window.
#include <QDialog>
#include <QLabel>

namespace amx::gui {

// A label that opens the maker's home page when clicked.
class WebLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit WebLinkLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TAboutbox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutbox(QWidget* parent = nullptr);
};

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    TSplashForm();
    // Keeps the interface running for `seconds` (a monotonic clock, so the
    // wait ends even across midnight).
    void Hold(double seconds);
};

}  // namespace amx::gui
