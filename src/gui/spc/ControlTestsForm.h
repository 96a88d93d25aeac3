#pragma once
// "Tests for Statistical Control": which tests run on ordinary and on
// moving-range charts, and their counts. Modal; edits the session's settings.
#include <QDialog>
#include <array>

#include "spc/ControlTestSettings.h"

class QCheckBox;
class QSpinBox;

namespace amx {
struct Session;
}

namespace amx::gui {

class TForm_ControlTests : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ControlTests(Session& session, QWidget* parent = nullptr);

    // The fields as settings, and back.
    ControlTestSettings Fields() const;
    void ShowSettings(const ControlTestSettings& t);

private:
    void OKClick();
    void SaveDefaultClick();
    void RestoreDefaultClick();

    Session& session_;
    std::array<QCheckBox*, ControlTestCount + 1> std_{};
    std::array<QCheckBox*, ControlTestCount + 1> mr_{};
    // Spin of each editable count entry (null for the others).
    std::array<QSpinBox*, ControlTestValueCount> spins_{};
};

}  // namespace amx::gui
