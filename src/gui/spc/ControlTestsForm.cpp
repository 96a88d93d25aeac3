#include "spc/ControlTestsForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/MessageHelpers.h"
#include "session/Session.h"
#include "shell/AppContext.h"
#include "shell/ShellDefaults.h"
#include "shell/WindowRegistry.h"
#include "spc/ControlTests.h"

namespace amx::gui {
namespace {

WindowClassRegistration registration("TForm_ControlTests", [] { return new TForm_ControlTests(App().session); });

constexpr int HelpTopicNumber = 3450;

}  // namespace

TForm_ControlTests::TForm_ControlTests(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("Form_ControlTests");
    setWindowTitle("Tests for Statistical Control");
    auto* outer = new QVBoxLayout(this);
    auto* heading = new QLabel("Statistical Tests");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    outer->addWidget(heading);

    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    grid->addWidget(new QLabel("Standard"), 0, 0);
    grid->addWidget(new QLabel("Moving Range"), 0, 1);

    auto spin = [&](int entry, const char* name) {
        auto* s = new QSpinBox;
        s->setObjectName(name);
        s->setRange(ControlTestValueMin(entry), ControlTestValueMax(entry));
        s->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        // An emptied field takes its minimum when it loses the focus.
        s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        spins_[entry] = s;
        return s;
    };
    auto label = [](const QString& text, QWidget* buddy = nullptr) {
        auto* l = new QLabel(text);
        if (buddy) l->setBuddy(buddy);
        return l;
    };
    struct Row {
        QString before;
        int k = -1, m = -1;  // count entries shown, -1 none
        QString between, after;
    };
    const Row rows[ControlTestCount + 1] = {
        {"", -1, -1, "", ""},
        {"Points &Outside Control Limits", -1, -1, "", ""},
        {"&Run: ", TestValue::Run, -1, "", "Consecutive Points All Above or All Below the Centerline"},
        {"&Trend: ", TestValue::Trend, -1, "", "Consecutive Points All Increasing or All Decreasing"},
        {"&Excess Variability:", TestValue::Excess, -1, "", "Consecutive Points Outside One Standard Error"},
        {"&Lack of Variability:", TestValue::Lack, -1, "", "Consecutive Points Within One Standard Error"},
        {"&Alternating Values:", TestValue::Alternating, -1, "", "Consecutive Points Alternating direction"},
        {"Zone Rule &1:", TestValue::Zone1K, TestValue::Zone1M, "of", "Consecutive Points Outside One Standard Error"},
        {"Zone Rule &2:", TestValue::Zone2K, TestValue::Zone2M, "of", "Consecutive Points Outside Two Standard Errors"},
        {"Excessive &Moving Range between Two Points (3.6864 Standard Errors)", -1, -1, "", ""},
    };
    static const char* spinNames[ControlTestValueCount] = {
        nullptr,         "RunSpin",   "TrendSpin", "ExcessSpin", "LackSpin", "AlternatingSpin", "Zone1KSpin",
        "Zone2KSpin",    nullptr,     nullptr,     nullptr,      nullptr,    nullptr,           nullptr,
        nullptr,         "Zone1MSpin", "Zone2MSpin", nullptr};
    for (int i = 1; i <= ControlTestCount; ++i) {
        std_[i] = new QCheckBox;
        std_[i]->setObjectName(QString("StdCheck%1").arg(i));
        grid->addWidget(std_[i], i, 0, Qt::AlignHCenter);
        if (i < 9) {
            mr_[i] = new QCheckBox;
            mr_[i]->setObjectName(QString("MRCheck%1").arg(i));
            grid->addWidget(mr_[i], i, 1, Qt::AlignHCenter);
        }
        auto* line = new QHBoxLayout;
        QSpinBox* first = rows[i].k >= 0 ? spin(rows[i].k, spinNames[rows[i].k]) : nullptr;
        // The row's caption focuses its box, or its first count.
        auto* caption = label(rows[i].before, first ? static_cast<QWidget*>(first) : std_[i]);
        line->addWidget(caption);
        if (first) line->addWidget(first);
        if (rows[i].m >= 0) {
            line->addWidget(label(rows[i].between));
            line->addWidget(spin(rows[i].m, spinNames[rows[i].m]));
        }
        if (!rows[i].after.isEmpty()) line->addWidget(label(rows[i].after));
        line->addStretch(1);
        grid->addLayout(line, i, 2);
    }
    // The zone rules keep k < m.
    for (auto [k, m] : {std::pair{TestValue::Zone1K, TestValue::Zone1M}, std::pair{TestValue::Zone2K, TestValue::Zone2M}}) {
        QSpinBox* ks = spins_[k];
        QSpinBox* ms = spins_[m];
        connect(ks, &QSpinBox::valueChanged, this, [ks, ms](int) {
            int kv = ks->value(), mv = ms->value();
            CoupleZoneK(kv, mv);
            if (kv != ks->value()) ks->setValue(kv);
            if (mv != ms->value()) ms->setValue(mv);
        });
        connect(ms, &QSpinBox::valueChanged, this, [ks, ms](int) {
            int kv = ks->value(), mv = ms->value();
            CoupleZoneM(kv, mv);
            if (kv != ks->value()) ks->setValue(kv);
        });
    }

    auto* buttons = new QHBoxLayout;
    outer->addLayout(buttons);
    auto button = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* ok = button("O&K", "OKButton");
    ok->setDefault(true);
    QPushButton* cancel = button("&Cancel", "CancelButton");
    QPushButton* save = button("&Save as Default", "SaveDefaultButton");
    QPushButton* restore = button("Restore &Default", "RestoreDefaultButton");
    QPushButton* help = button("&Help", "HelpButton");
    help->setShortcut(Qt::Key_F1);
    connect(ok, &QPushButton::clicked, this, &TForm_ControlTests::OKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(save, &QPushButton::clicked, this, &TForm_ControlTests::SaveDefaultClick);
    connect(restore, &QPushButton::clicked, this, &TForm_ControlTests::RestoreDefaultClick);
    connect(help, &QPushButton::clicked, this,
            [this] { HelpTopic(session_, HelpTopicNumber, HelpBaseAddress, AppHelpFile); });

    ShowSettings(session_.ControlTests);
}

ControlTestSettings TForm_ControlTests::Fields() const {
    ControlTestSettings t = session_.ControlTests;
    for (int i = 1; i <= ControlTestCount; ++i) {
        t.Std[i] = std_[i]->isChecked();
        t.MR[i] = mr_[i] && mr_[i]->isChecked();
    }
    for (int e = 0; e < ControlTestValueCount; ++e)
        if (spins_[e]) t.Values[e] = static_cast<std::uint8_t>(spins_[e]->value());
    return t;
}

void TForm_ControlTests::ShowSettings(const ControlTestSettings& t) {
    for (int i = 1; i <= ControlTestCount; ++i) {
        std_[i]->setChecked(t.Std[i]);
        if (mr_[i]) mr_[i]->setChecked(t.MR[i]);
    }
    // Values first into m, then k, so the coupling never moves a shown value.
    for (int e : {TestValue::Zone1M, TestValue::Zone2M})
        spins_[e]->setValue(t.Values[e]);
    for (int e = 0; e < ControlTestValueCount; ++e)
        if (spins_[e] && e != TestValue::Zone1M && e != TestValue::Zone2M) spins_[e]->setValue(t.Values[e]);
}

void TForm_ControlTests::OKClick() {
    session_.ControlTests = Fields();
    accept();
}

void TForm_ControlTests::SaveDefaultClick() {
    session_.ControlTests = Fields();
    SaveControlTestSettings(session_, session_.ControlTests);
    session_.messages->Information("Settings Saved as Default");
}

void TForm_ControlTests::RestoreDefaultClick() {
    session_.ControlTests = LoadControlTestSettings(session_);
    ShowSettings(session_.ControlTests);
}

}  // namespace amx::gui
