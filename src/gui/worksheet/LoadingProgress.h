#pragma once
// The "Loading File..." window: a gauge that follows the reader, updated a few
// times a second; while it shows, the interface keeps painting but takes no
// input.
#include <QElapsedTimer>
#include <memory>

#include "worksheet/DataFile.h"

class QProgressDialog;
class QWidget;

namespace amx::gui {

class TLoadingProgress {
public:
    explicit TLoadingProgress(QWidget* parent);
    ~TLoadingProgress();
    LoadProgress Callback();

private:
    void Update(int percent);
    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceUpdate_;
};

}  // namespace amx::gui
