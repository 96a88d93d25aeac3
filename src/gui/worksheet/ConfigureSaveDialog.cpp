#include "worksheet/ConfigureSaveDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/MessageHelpers.h"
#include "shell/ShellDefaults.h"

namespace amx::gui {

TConfigureSaveForm::TConfigureSaveForm(const SaveChoices& enabled, QWidget* parent) : QDialog(parent) {
    setObjectName("ConfigureSaveForm");
    setWindowTitle("Configure Save");
    auto* lay = new QVBoxLayout(this);
    auto box = [&](const char* caption, const char* name, bool on) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(name);
        b->setEnabled(on);
        b->setChecked(on);
        lay->addWidget(b);
        return b;
    };
    selectionOnly_ = box("Save Selection Only", "SaveSelectionOnly", enabled.selectionOnly);
    names_ = box("Save Variable Names", "SaveVariableNames", enabled.variableNames);
    descriptions_ = box("Save Descriptions", "SaveDescriptions", enabled.descriptions);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("CancelButton");
    buttons->button(QDialogButtonBox::Help)->setObjectName("HelpButton");
    buttons->button(QDialogButtonBox::Help)->setShortcut(Qt::Key_F1);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { HelpTopic(App().session, 7200, HelpBaseAddress, AppHelpFile); });
    lay->addWidget(buttons);
}

SaveChoices TConfigureSaveForm::Choices() const {
    return {selectionOnly_->isChecked(), names_->isChecked(), descriptions_->isChecked()};
}

}  // namespace amx::gui
