#pragma once
// "Transform": chooses the transform every load applies, and writes it into
// the worksheet as new or modified columns. Changes show at once; Cancel
// puts the transform back as it was.
#include <QDialog>

#include "worksheet/editor/EditUndo.h"
#include "worksheet/modifications/FileModState.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace amx {
struct Session;
}

namespace amx::gui {

class TTransformForm : public QDialog {
    Q_OBJECT
public:
    explicit TTransformForm(Session& session, QWidget* parent = nullptr);

public slots:
    void reject() override;

signals:
    // Transformed variables were written into the worksheet; `before`
    // undoes that.
    void WorksheetChanged(const amx::WorksheetUndo& before);

private:
    void ShowTransform();
    void ControlsChanged();
    void UpdateControls();
    void OKButtonClick();
    void FillVariables();
    void AddButtonClick();

    Session& s_;
    TransformRec backup_;
    bool showing_ = false;
    QButtonGroup* transforms_;
    QGroupBox* constants_;
    QLineEdit* a_;
    QLineEdit* b_;
    QLineEdit* c_;
    QLabel* cLabel_;
    QCheckBox* normalFirst_;
    QLabel* text_;
    QPushButton* ok_;
    QListWidget* variables_;
    QRadioButton* addNew_;
    QRadioButton* modify_;
    QPushButton* addButton_;
    QCheckBox* turnOff_;
};

}  // namespace amx::gui
