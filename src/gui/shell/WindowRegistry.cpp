#include "shell/WindowRegistry.h"

#include <QDialog>
#include <QEvent>

namespace amx::gui {
namespace {

std::map<QString, WindowFactory>& Factories() {
    static std::map<QString, WindowFactory> f;
    return f;
}

}  // namespace

WindowClassRegistration::WindowClassRegistration(const QString& className, WindowFactory factory) {
    Factories()[className] = std::move(factory);
}

WindowRegistry::WindowRegistry(QObject* parent) : QObject(parent) {}

bool WindowRegistry::HasClass(const QString& className) { return Factories().count(className) > 0; }

QWidget* WindowRegistry::Create(const QString& className) {
    auto f = Factories().find(className);
    return f == Factories().end() ? nullptr : f->second();
}

QWidget* WindowRegistry::Window(const QString& className) const {
    auto it = byClass_.find(className);
    return it == byClass_.end() ? nullptr : it->second.data();
}

QWidget* WindowRegistry::Ensure(const QString& className) {
    if (QWidget* w = Window(className)) return w;
    auto f = Factories().find(className);
    if (f == Factories().end()) return nullptr;
    QWidget* w = f->second();
    if (!w) return nullptr;
    byClass_[className] = w;
    Track(w);
    return w;
}

void WindowRegistry::Track(QWidget* w) {
    if (!w || IdOf(w)) return;
    const int id = nextId_++;
    byId_[id] = w;
    order_.AddLast(id);
    w->installEventFilter(this);
    connect(w, &QObject::destroyed, this, [this, id] {
        order_.Remove(id);
        byId_.erase(id);
    });
}

void WindowRegistry::ShowWindow(QWidget* w) {
    if (!w) return;
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    MarkActivated(w);
}

void WindowRegistry::MarkActivated(QWidget* w) {
    if (int id = IdOf(w)) order_.Activate(id);
}

std::vector<QWidget*> WindowRegistry::InActivationOrder() const {
    std::vector<QWidget*> out;
    for (int id : order_.Ids())
        if (QWidget* w = ById(id)) out.push_back(w);
    return out;
}

std::vector<WindowInfo> WindowRegistry::InfoInActivationOrder() const {
    std::vector<WindowInfo> out;
    for (int id : order_.Ids()) {
        QWidget* w = ById(id);
        if (!w) continue;
        out.push_back({id, w->windowTitle().toStdString(), w->isVisible(), qobject_cast<QDialog*>(w) != nullptr});
    }
    return out;
}

QWidget* WindowRegistry::ById(int id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second.data();
}

int WindowRegistry::IdOf(QWidget* w) const {
    for (const auto& [id, p] : byId_)
        if (p == w) return id;
    return 0;
}

bool WindowRegistry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        if (auto* w = qobject_cast<QWidget*>(watched)) MarkActivated(w);
    return QObject::eventFilter(watched, event);
}

}  // namespace amx::gui
