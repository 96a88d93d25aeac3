#include "worksheet/LoadingProgress.h"

#include <QApplication>
#include <QProgressDialog>

namespace amx::gui {

TLoadingProgress::TLoadingProgress(QWidget* parent)
    : dialog_(std::make_unique<QProgressDialog>("Loading File...", QString(), 0, 100, parent)) {
    dialog_->setObjectName("LoadingForm");
    dialog_->setWindowTitle("Loading File...");
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(300);
    dialog_->setAutoClose(false);
    dialog_->setValue(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sinceUpdate_.start();
}

TLoadingProgress::~TLoadingProgress() {
    dialog_->close();
    QApplication::restoreOverrideCursor();
}

LoadProgress TLoadingProgress::Callback() {
    return [this](int percent) { Update(percent); };
}

void TLoadingProgress::Update(int percent) {
    // A few times a second is enough for the eye and keeps the reader fast.
    if (sinceUpdate_.elapsed() < 200 && percent < 100) return;
    sinceUpdate_.restart();
    dialog_->setValue(percent);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace amx::gui
