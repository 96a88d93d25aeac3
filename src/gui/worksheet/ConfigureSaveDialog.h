#pragma once
// The "Configure Save" dialog of Save As: what to write.
#include <QDialog>

#include "shell/AppContext.h"

class QCheckBox;

namespace amx::gui {

class TConfigureSaveForm : public QDialog {
    Q_OBJECT
public:
    // Each box is enabled, and starts checked, when its flag in `enabled` is set.
    explicit TConfigureSaveForm(const SaveChoices& enabled, QWidget* parent = nullptr);
    SaveChoices Choices() const;

private:
    QCheckBox* selectionOnly_;
    QCheckBox* names_;
    QCheckBox* descriptions_;
};

}  // namespace amx::gui
