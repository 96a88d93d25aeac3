#pragma once
// "Missing Values": up to two conditions under which a value counts as missing.
#include <QDialog>

#include "worksheet/modifications/FileModState.h"

namespace amx {
struct Session;
}

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace amx::gui {

class TMissingForm : public QDialog {
    Q_OBJECT
public:
    explicit TMissingForm(Session& session, QWidget* parent = nullptr);
    // The status text the last OK produced.
    QString StatusText() const { return status_; }

private:
    void RelationChanged(int k, int sign);
    void OKButtonClick();

    Session& s_;
    MissingRec working_;
    QButtonGroup* signs_[2];
    QLabel* xLabels_[2];
    QLineEdit* values_[2];
    QString status_;
};

}  // namespace amx::gui
