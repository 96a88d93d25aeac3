#include "modifications/ProcessIfDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/MessageHelpers.h"
#include "modifications/KeyFilterAdapter.h"
#include "session/Session.h"
#include "shell/ShellDefaults.h"
#include "worksheet/modifications/ProcessIf.h"

namespace amx::gui {

TProcessIFForm::TProcessIFForm(Session& session, QWidget* parent) : QDialog(parent), s_(session) {
    setObjectName("ProcessIfDialog");
    setWindowTitle("Process If...");
    Session& s = s_;
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Data Variables", this));
    variables_ = new QListWidget(this);
    variables_->setObjectName("DataVariablesList");
    for (int c = 1; c <= s.worksheet.ColumnCount(); ++c) {
        auto* item = new QListWidgetItem(QString::fromStdString(s.worksheet.ColumnName(c)), variables_);
        item->setData(Qt::UserRole, c);
    }
    left->addWidget(variables_);
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* grid = new QGridLayout;
    for (int k = 0; k < 2; ++k) {
        const QString n = QString::number(k + 1);
        moves_[k] = new QPushButton(">", this);
        moves_[k]->setObjectName("MoveButton" + n);
        names_[k] = new QLineEdit(this);
        names_[k]->setObjectName("NameEdit" + n);
        names_[k]->setReadOnly(true);
        relations_[k] = new QComboBox(this);
        relations_[k]->setObjectName("RelationCombo" + n);
        for (int r = 0; r <= 8; ++r) relations_[k]->addItem(ProcessIfRelationItem(r));
        values_[k] = new QLineEdit(this);
        values_[k]->setObjectName("ValueEdit" + n);
        valueFilters_[k] = new KeyFilterAdapter(values_[k], &RealKey, s.messages);
        grid->addWidget(moves_[k], k, 0);
        grid->addWidget(names_[k], k, 1);
        grid->addWidget(relations_[k], k, 2);
        grid->addWidget(values_[k], k, 3);
        connect(moves_[k], &QPushButton::clicked, this, [this, k] { MoveButtonClick(k); });
        connect(relations_[k], &QComboBox::currentIndexChanged, this, [this, k] { RelationChanged(k); });
    }
    right->addLayout(grid);

    auto* andOr = new QGroupBox(this);
    andOr->setObjectName("AndOrGroup");
    auto* andOrLayout = new QHBoxLayout(andOr);
    and_ = new QRadioButton("And", andOr);
    and_->setObjectName("AndRadio");
    or_ = new QRadioButton("Or", andOr);
    or_->setObjectName("OrRadio");
    andOrLayout->addWidget(and_);
    andOrLayout->addWidget(or_);
    right->addWidget(andOr);

    auto* buttons = new QHBoxLayout;
    auto* reset = new QPushButton("&Reset", this);
    reset->setObjectName("ResetButton");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    auto* help = new QPushButton("&Help", this);
    help->setObjectName("HelpButton");
    help->setShortcut(Qt::Key_F1);
    for (auto* b : {reset, ok, cancel, help}) buttons->addWidget(b);
    right->addLayout(buttons);
    right->addStretch();
    layout->addLayout(right);
    connect(reset, &QPushButton::clicked, this, &TProcessIFForm::ResetButtonClick);
    connect(ok, &QPushButton::clicked, this, &TProcessIFForm::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpTopic(s_, 7600, HelpBaseAddress, AppHelpFile); });

    // Open on the live filter.
    const ProcessIfDialogInput live = CurrentProcessIfInput(s);
    for (int k = 0; k < 2; ++k) {
        const ProcessIfCondition& c = live.cond[k];
        SetColumn(k, c.column, QString::fromStdString(c.name));
        relations_[k]->setCurrentIndex(c.relation);
        values_[k]->setText(QString::fromStdString(c.value));
        RelationChanged(k);
    }
    (live.andOr == 1 ? or_ : and_)->setChecked(true);
}

void TProcessIFForm::SetColumn(int k, int column, const QString& name) {
    columns_[k] = column;
    names_[k]->setText(column ? name : QString());
    moves_[k]->setText(column ? "<" : ">");
    // A text column is compared by its levels: the box takes any text and
    // offers the column's levels as it is typed into.
    QStringList levels;
    if (column)
        for (const std::string& l : ProcessIfLevels(s_, column)) levels << QString::fromStdString(l);
    textColumn_[k] = !levels.isEmpty();
    auto* completer = new QCompleter(levels, values_[k]);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    delete values_[k]->completer();
    values_[k]->setCompleter(textColumn_[k] ? completer : nullptr);
    if (!textColumn_[k]) delete completer;
    values_[k]->setToolTip(textColumn_[k] ? "One of: " + levels.join(", ") : QString());
    RelationChanged(k);
}

void TProcessIFForm::MoveButtonClick(int k) {
    if (columns_[k] != 0) {
        SetColumn(k, 0, QString());
        return;
    }
    QListWidgetItem* item = variables_->currentItem();
    if (!item || !item->isSelected()) {
        QApplication::beep();
        return;
    }
    SetColumn(k, item->data(Qt::UserRole).toInt(), item->text());
}

void TProcessIFForm::RelationChanged(int k) {
    const int r = relations_[k]->currentIndex();
    values_[k]->setVisible(r != PiRelation::All);
    if (textColumn_[k])
        valueFilters_[k]->SetFilter(nullptr);
    else if (r == PiRelation::In || r == PiRelation::NotIn)
        valueFilters_[k]->SetFilter(&ProcessIfListKey);
    else
        valueFilters_[k]->SetFilter(&RealKey);
}

void TProcessIFForm::ResetButtonClick() {
    for (int k = 0; k < 2; ++k) {
        SetColumn(k, 0, QString());
        values_[k]->clear();
        relations_[k]->setCurrentIndex(0);
    }
    and_->setChecked(true);
}

void TProcessIFForm::OKButtonClick() {
    ProcessIfDialogInput input;
    for (int k = 0; k < 2; ++k)
        input.cond[k] = {columns_[k], names_[k]->text().toStdString(), relations_[k]->currentIndex(),
                         values_[k]->text().toStdString()};
    input.andOr = or_->isChecked() ? 1 : 0;
    const std::string error = ProcessIfInputError(s_, input);
    if (!error.empty()) {
        s_.messages->Warning(error);
        return;
    }
    status_ = QString::fromStdString(ApplyProcessIfDialog(s_, input));
    accept();
}

}  // namespace amx::gui
