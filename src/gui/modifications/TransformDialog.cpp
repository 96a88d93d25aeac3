#include "modifications/TransformDialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/MessageHelpers.h"
#include "modifications/KeyFilterAdapter.h"
#include "session/Session.h"
#include "shell/ShellDefaults.h"
#include "worksheet/modifications/Transform.h"
#include "worksheet/modifications/TransformedVariables.h"

namespace amx::gui {

TTransformForm::TTransformForm(Session& session, QWidget* parent)
    : QDialog(parent), s_(session), backup_(session.Transform) {
    setObjectName("TransformDialog");
    setWindowTitle("Transform");
    auto* layout = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl");
    layout->addWidget(pages);

    // ---- the transform ----
    auto* page = new QWidget(pages);
    page->setObjectName("TransformPage");
    pages->addTab(page, "&Transform");
    auto* pageLayout = new QHBoxLayout(page);
    auto* group = new QGroupBox("&Transforms", page);
    group->setObjectName("TransformsGroup");
    auto* groupLayout = new QVBoxLayout(group);
    transforms_ = new QButtonGroup(group);
    for (int no = 0; no < TransformKind::Count; ++no) {
        auto* radio = new QRadioButton(TransformCaption(no), group);
        radio->setObjectName(QString("TransformRadio%1").arg(no));
        radio->setFont(QFont("Courier New", radio->font().pointSize()));
        transforms_->addButton(radio, no);
        groupLayout->addWidget(radio);
    }
    pageLayout->addWidget(group);

    auto* side = new QVBoxLayout;
    constants_ = new QGroupBox("&Constants", page);
    constants_->setObjectName("ConstantsGroup");
    auto* grid = new QGridLayout(constants_);
    auto makeBox = [&](const char* label, const char* name, int row) {
        auto* l = new QLabel(label, constants_);
        auto* e = new QLineEdit(constants_);
        e->setObjectName(name);
        new KeyFilterAdapter(e, &RealKey, s_.messages);
        grid->addWidget(l, row, 0);
        grid->addWidget(e, row, 1);
        connect(e, &QLineEdit::textChanged, this, &TTransformForm::ControlsChanged);
        return std::make_pair(l, e);
    };
    a_ = makeBox("A", "AEdit", 0).second;
    b_ = makeBox("B", "BEdit", 1).second;
    auto cPair = makeBox("C", "CEdit", 2);
    cLabel_ = cPair.first;
    c_ = cPair.second;
    side->addWidget(constants_);
    normalFirst_ = new QCheckBox("Apply Random Normal (10=mean,1=std) First", page);
    normalFirst_->setObjectName("NormalFirstCheck");
    side->addWidget(normalFirst_);
    text_ = new QLabel(page);
    text_->setObjectName("TransformLabel");
    side->addWidget(text_);
    side->addStretch();
    pageLayout->addLayout(side);
    connect(transforms_, &QButtonGroup::idClicked, this, &TTransformForm::ControlsChanged);
    connect(normalFirst_, &QCheckBox::toggled, this, &TTransformForm::ControlsChanged);

    // ---- add or modify transformed variables ----
    auto* addPage = new QWidget(pages);
    addPage->setObjectName("AddVariablePage");
    pages->addTab(addPage, "&Add Transformed Variable");
    auto* addLayout = new QVBoxLayout(addPage);
    addLayout->addWidget(new QLabel("Select Variables to Transform", addPage));
    variables_ = new QListWidget(addPage);
    variables_->setObjectName("VariablesCheckList");
    addLayout->addWidget(variables_);
    addNew_ = new QRadioButton("Add New Variable", addPage);
    addNew_->setObjectName("AddNewRadio");
    addNew_->setChecked(true);
    modify_ = new QRadioButton("Modify Existing Variable", addPage);
    modify_->setObjectName("ModifyRadio");
    turnOff_ = new QCheckBox("Turn off Transform when done", addPage);
    turnOff_->setObjectName("TurnOffCheck");
    addButton_ = new QPushButton("&Add", addPage);
    addButton_->setObjectName("AddButton");
    for (QWidget* w : std::initializer_list<QWidget*>{addNew_, modify_, turnOff_, addButton_}) addLayout->addWidget(w);
    connect(modify_, &QRadioButton::toggled, this,
            [this](bool on) { addButton_->setText(on ? "&Modify" : "&Add"); });
    connect(addButton_, &QPushButton::clicked, this, &TTransformForm::AddButtonClick);
    FillVariables();

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("OKButton");
    ok_->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    auto* help = new QPushButton("&Help", this);
    help->setObjectName("HelpButton");
    help->setShortcut(Qt::Key_F1);
    buttons->addStretch();
    for (auto* b : {ok_, cancel, help}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &TTransformForm::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TTransformForm::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpTopic(s_, 7400, HelpBaseAddress, AppHelpFile); });

    ShowTransform();
}

void TTransformForm::ShowTransform() {
    const TransformRec& t = s_.Transform;
    showing_ = true;
    transforms_->button(t.no < TransformKind::Count ? t.no : 0)->setChecked(true);
    a_->setText(QString::fromStdString(t.astr));
    b_->setText(QString::fromStdString(t.Bstr));
    c_->setText(QString::fromStdString(t.Cstr));
    normalFirst_->setChecked(t.NORMFirst);
    showing_ = false;
    UpdateControls();
}

void TTransformForm::ControlsChanged() {
    if (showing_) return;
    Session& s = s_;
    SetTransformFromDialog(s, s.Transform, transforms_->checkedId(), a_->text().toStdString(),
                           b_->text().toStdString(), c_->text().toStdString(), normalFirst_->isChecked());
    UpdateControls();
}

void TTransformForm::UpdateControls() {
    const TransformRec& t = s_.Transform;
    const bool any = t.no != TransformKind::None;
    constants_->setVisible(any);
    normalFirst_->setVisible(any);
    cLabel_->setVisible(TransformUsesC(t.no));
    c_->setVisible(TransformUsesC(t.no));
    text_->setText(QString::fromStdString("Transform: " + TransformText(t)));
    ok_->setEnabled(TransformOkEnabled(t.no, a_->text().toStdString(), b_->text().toStdString(),
                                       c_->text().toStdString()));
}

void TTransformForm::OKButtonClick() {
    Session& s = s_;
    std::string message;
    if (!ValidateTransformConstants(s, s.Transform, message)) {
        s.messages->Error(message);
        return;
    }
    accept();
}

void TTransformForm::reject() {
    s_.Transform = backup_;
    QDialog::reject();
}

void TTransformForm::FillVariables() {
    const Session& s = s_;
    variables_->clear();
    for (int c = 1; c <= s.worksheet.ColumnCount(); ++c) {
        auto* item = new QListWidgetItem(QString::fromStdString(s.worksheet.ColumnName(c)), variables_);
        item->setData(Qt::UserRole, c);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TTransformForm::AddButtonClick() {
    Session& s = s_;
    if (s.Transform.no == TransformKind::None) return;
    TransformedVariableRequest request;
    for (int i = 0; i < variables_->count(); ++i)
        if (variables_->item(i)->checkState() == Qt::Checked)
            request.columns.push_back(variables_->item(i)->data(Qt::UserRole).toInt());
    request.modify = modify_->isChecked();
    request.turnOffWhenDone = turnOff_->isChecked();
    // What the transform may write: the chosen columns in place, or as many
    // new columns after the last.
    GridRect block{s.worksheet.ColumnCount() + 1, 1, s.worksheet.ColumnCount() + static_cast<int>(request.columns.size()),
                   s.worksheet.RowCount()};
    if (request.modify && !request.columns.empty()) {
        block.left = *std::min_element(request.columns.begin(), request.columns.end());
        block.right = *std::max_element(request.columns.begin(), request.columns.end());
    }
    WorksheetUndo before = WorksheetUndo::ForBlock(s.worksheet, block);
    const std::uint64_t revision = s.worksheet.Revision();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    AddTransformedVariables(s, request);
    QGuiApplication::restoreOverrideCursor();
    if (s.worksheet.Revision() != revision) emit WorksheetChanged(before);
    FillVariables();
    // The transform may have been turned off, and what is written stays written.
    backup_ = s.Transform;
    ShowTransform();
}

}  // namespace amx::gui
