#include "modifications/MissingValuesDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/MessageHelpers.h"
#include "modifications/KeyFilterAdapter.h"
#include "session/Session.h"
#include "shell/ShellDefaults.h"
#include "worksheet/modifications/MissingRule.h"

namespace amx::gui {

namespace {
const char* const kRelationItems[] = {"none", "=", ">", ">=", "<", "<="};
}  // namespace

TMissingForm::TMissingForm(Session& session, QWidget* parent)
    : QDialog(parent), s_(session), working_(session.Missing) {
    setObjectName("MissingValuesDialog");
    setWindowTitle("Missing Values");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Set Missing When:", this));
    auto* conditions = new QHBoxLayout;
    for (int k = 0; k < 2; ++k) {
        if (k == 1) conditions->addWidget(new QLabel("OR", this));
        auto* box = new QGroupBox(this);
        box->setObjectName(QString("SignGroup%1").arg(k + 1));
        auto* col = new QVBoxLayout(box);
        signs_[k] = new QButtonGroup(box);
        for (int sign = 0; sign <= 5; ++sign) {
            auto* radio = new QRadioButton(kRelationItems[sign], box);
            radio->setObjectName(QString("Sign%1Radio%2").arg(k + 1).arg(sign));
            signs_[k]->addButton(radio, sign);
            col->addWidget(radio);
        }
        auto* row = new QHBoxLayout;
        xLabels_[k] = new QLabel(box);
        xLabels_[k]->setObjectName(QString("XLabel%1").arg(k + 1));
        values_[k] = new QLineEdit(box);
        values_[k]->setObjectName(QString("ValueEdit%1").arg(k + 1));
        new KeyFilterAdapter(values_[k], &RealKey, s_.messages);
        row->addWidget(xLabels_[k]);
        row->addWidget(values_[k]);
        col->addLayout(row);
        conditions->addWidget(box);
        const int sign = k == 0 ? working_.Sign1 : working_.Sign2;
        values_[k]->setText(QString::fromStdString(k == 0 ? working_.Xstr1 : working_.Xstr2));
        signs_[k]->button(sign <= 5 ? sign : 0)->setChecked(true);
        RelationChanged(k, sign <= 5 ? sign : 0);
        connect(signs_[k], &QButtonGroup::idClicked, this, [this, k](int id) { RelationChanged(k, id); });
    }
    layout->addLayout(conditions);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    auto* help = new QPushButton("&Help", this);
    help->setObjectName("HelpButton");
    help->setShortcut(Qt::Key_F1);
    buttons->addStretch();
    for (auto* b : {ok, cancel, help}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TMissingForm::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpTopic(s_, 7300, HelpBaseAddress, AppHelpFile); });
}

void TMissingForm::RelationChanged(int k, int sign) {
    (k == 0 ? working_.Sign1 : working_.Sign2) = static_cast<std::uint8_t>(sign);
    (k == 0 ? working_.Signtext1 : working_.Signtext2) = MissingRelationText(sign);
    xLabels_[k]->setText(sign == 0 ? QString("X") : QString("X ") + kRelationItems[sign]);
    values_[k]->setVisible(sign != 0);
}

void TMissingForm::OKButtonClick() {
    status_ = QString::fromStdString(ApplyMissingDialog(s_, working_, values_[0]->text().toStdString(),
                                                        values_[1]->text().toStdString()));
    accept();
}

}  // namespace amx::gui
