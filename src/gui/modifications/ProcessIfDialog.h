#pragma once
// "Process If...": up to two row conditions on worksheet columns.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace amx {
struct Session;
}

namespace amx::gui {

class KeyFilterAdapter;

class TProcessIFForm : public QDialog {
    Q_OBJECT
public:
    explicit TProcessIFForm(Session& session, QWidget* parent = nullptr);
    QString StatusText() const { return status_; }

private:
    void MoveButtonClick(int k);
    void RelationChanged(int k);
    void SetColumn(int k, int column, const QString& name);
    void ResetButtonClick();
    void OKButtonClick();

    Session& s_;
    QListWidget* variables_;
    QLineEdit* names_[2];
    QPushButton* moves_[2];
    QComboBox* relations_[2];
    QLineEdit* values_[2];
    KeyFilterAdapter* valueFilters_[2];
    int columns_[2] = {0, 0};
    bool textColumn_[2] = {false, false};
    QRadioButton* and_;
    QRadioButton* or_;
    QString status_;
};

}  // namespace amx::gui
