#pragma once
// The registry of the program's windows: every procedure window class
// registers a factory; its window is created the first time it is needed, one
// per class, and closing it only hides it. The registry also keeps the list of
// open windows in activation order, most recent first, for the Forms menu and
// the next-window commands.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "shell/WindowOrder.h"

namespace amx::gui {

using WindowFactory = std::function<QWidget*()>;

// A window class registers itself from its own source file:
//   static WindowClassRegistration reg("TT_testForm", [] { return new TT_testForm; });
// The main window enables a menu item only when its class is registered.
struct WindowClassRegistration {
    WindowClassRegistration(const QString& className, WindowFactory factory);
};

class WindowRegistry : public QObject {
    Q_OBJECT
public:
    explicit WindowRegistry(QObject* parent = nullptr);

    static bool HasClass(const QString& className);
    // A new object of a class that is created for each use (modal dialogs);
    // the caller owns it. Null when no such class.
    static QWidget* Create(const QString& className);
    // The existing window of a class, or null.
    QWidget* Window(const QString& className) const;
    // The window of a class, created on first use (null when no such class).
    QWidget* Ensure(const QString& className);

    // Adds a window made elsewhere (the main window, the data editor).
    void Track(QWidget* w);
    // Restores from minimised, shows, raises and activates; the window moves to
    // the front of the activation order.
    void ShowWindow(QWidget* w);
    void MarkActivated(QWidget* w);

    // Existing windows, most recently activated first.
    std::vector<QWidget*> InActivationOrder() const;
    std::vector<WindowInfo> InfoInActivationOrder() const;
    QWidget* ById(int id) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IdOf(QWidget* w) const;
    std::map<QString, QPointer<QWidget>> byClass_;
    std::map<int, QPointer<QWidget>> byId_;
    WindowOrder order_;
    int nextId_ = 1;
};

}  // namespace amx::gui
