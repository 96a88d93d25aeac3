#include "charts/ChartTitlesDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <qcustomplot.h>

#include "charts/ChartStyle.h"
#include "common/MessageHelpers.h"
#include "help/HelpTopics.h"
#include "shell/AppContext.h"
#include "shell/ShellDefaults.h"

namespace amx::gui {
namespace {

void SetPointSize(QFont& f, double size) {
    if (size > 0) f.setPointSizeF(size);
}

}  // namespace

ChartTitleMemory& ChartTitleMemory::Instance() {
    static ChartTitleMemory memory;
    return memory;
}

const QStringList& TForm_ChartTitles::SizeEntries() {
    static const QStringList entries = {"6",  "7",  "8",  "9",  "10", "11", "12", "14", "16", "18", "20", "22",
                                        "24", "26", "28", "30", "36", "40", "48", "54", "60", "66", "72"};
    return entries;
}

bool TForm_ChartTitles::HasY2() const { return hasY2_; }

TForm_ChartTitles::Saved TForm_ChartTitles::Capture() const {
    Saved s;
    s.title = ChartTitle(plot_);
    s.y = plot_->yAxis->label();
    s.x = plot_->xAxis->label();
    s.y2 = plot_->yAxis2->label();
    if (auto* t = ChartTitleElement(plot_)) s.titleSize = t->font().pointSizeF();
    s.yTitleSize = plot_->yAxis->labelFont().pointSizeF();
    s.xTitleSize = plot_->xAxis->labelFont().pointSizeF();
    s.yLabelSize = plot_->yAxis->tickLabelFont().pointSizeF();
    s.xLabelSize = plot_->xAxis->tickLabelFont().pointSizeF();
    return s;
}

void TForm_ChartTitles::Restore(const Saved& s) {
    if (ChartTitleElement(plot_) || !s.title.isEmpty()) SetChartTitle(plot_, s.title.split('\n'));
    plot_->yAxis->setLabel(s.y);
    plot_->xAxis->setLabel(s.x);
    plot_->yAxis2->setLabel(s.y2);
    ApplySize("title", QString::number(s.titleSize));
    ApplySize("ytitle", QString::number(s.yTitleSize));
    ApplySize("xtitle", QString::number(s.xTitleSize));
    ApplySize("ylabel", QString::number(s.yLabelSize));
    ApplySize("xlabel", QString::number(s.xLabelSize));
    plot_->replot();
}

QComboBox* TForm_ChartTitles::SizeBox(const char* name, double current) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setEditable(true);
    box->addItems(SizeEntries());
    box->setValidator(new QIntValidator(1, 999, box));
    box->setCurrentText(QString::number(qRound(current)));
    return box;
}

QToolButton* TForm_ChartTitles::LastButton(const char* name, const QString& last) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText("Last Text");
    b->setToolTip("Last Text:\r" + last);
    return b;
}

void TForm_ChartTitles::ApplySize(const QString& which, const QString& text) {
    bool ok = false;
    const double size = text.trimmed().toDouble(&ok);
    if (!ok || size <= 0) return;
    const double whole = std::round(size);
    QFont f;
    if (which == "title") {
        if (auto* t = ChartTitleElement(plot_)) {
            f = t->font();
            SetPointSize(f, whole);
            t->setFont(f);
        }
    } else if (which == "ytitle" || which == "xtitle") {
        QCPAxis* axis = which == "ytitle" ? plot_->yAxis : plot_->xAxis;
        f = axis->labelFont();
        SetPointSize(f, whole);
        axis->setLabelFont(f);
        if (which == "ytitle" && HasY2()) plot_->yAxis2->setLabelFont(f);
    } else {
        QCPAxis* axis = which == "ylabel" ? plot_->yAxis : plot_->xAxis;
        f = axis->tickLabelFont();
        SetPointSize(f, whole);
        axis->setTickLabelFont(f);
        if (which == "ylabel" && HasY2()) plot_->yAxis2->setTickLabelFont(f);
    }
    plot_->replot();
}

TForm_ChartTitles::TForm_ChartTitles(QCustomPlot* plot, QWidget* parent) : QDialog(parent), plot_(plot), hasY2_(!plot->yAxis2->label().isEmpty()) {
    setObjectName("TForm_ChartTitles");
    setWindowTitle("Titles");
    atOpening_ = Capture();
    const ChartTitleMemory& last = ChartTitleMemory::Instance();

    titleEdit_ = new QPlainTextEdit(atOpening_.title, this);
    titleEdit_->setObjectName("ChartEdit");
    titleEdit_->setMaximumHeight(70);
    yEdit_ = new QLineEdit(atOpening_.y, this);
    yEdit_->setObjectName("YEdit");
    xEdit_ = new QLineEdit(atOpening_.x, this);
    xEdit_->setObjectName("XEdit");
    y2Edit_ = new QLineEdit(atOpening_.y2, this);
    y2Edit_->setObjectName("Y2Edit");

    auto* grid = new QGridLayout(this);
    auto label = [this](const QString& text, QWidget* buddy, const char* name) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setBuddy(buddy);
        return l;
    };
    QToolButton* titleLast = LastButton("ChartLastButton", last.title);
    QToolButton* yLast = LastButton("YLastButton", last.yTitle);
    QToolButton* xLast = LastButton("XLastButton", last.xTitle);
    QToolButton* y2Last = LastButton("Y2LastButton", last.y2Title);
    QLabel* y2Label = label("Y&2:", y2Edit_, "Y2Label");
    grid->addWidget(label("Char&t:", titleEdit_, "ChartLabel"), 0, 0, Qt::AlignTop);
    grid->addWidget(titleEdit_, 0, 1);
    grid->addWidget(titleLast, 0, 2, Qt::AlignTop);
    grid->addWidget(label("&Y:", yEdit_, "YLabel"), 1, 0);
    grid->addWidget(yEdit_, 1, 1);
    grid->addWidget(yLast, 1, 2);
    grid->addWidget(label("&X:", xEdit_, "XLabel"), 2, 0);
    grid->addWidget(xEdit_, 2, 1);
    grid->addWidget(xLast, 2, 2);
    grid->addWidget(y2Label, 3, 0);
    grid->addWidget(y2Edit_, 3, 1);
    grid->addWidget(y2Last, 3, 2);
    const bool y2 = HasY2();
    y2Label->setVisible(y2);
    y2Edit_->setVisible(y2);
    y2Last->setVisible(y2);

    auto* sizes = new QGridLayout;
    sizes->addWidget(new QLabel("Title Size", this), 0, 1);
    sizes->addWidget(new QLabel("Label Size", this), 0, 2);
    struct Row {
        const char* caption;
        const char* titleName;
        const char* labelName;
        double titleSize;
        double labelSize;
    };
    const Row rows[] = {{"Chart", "TitleSizeCombo", nullptr, atOpening_.titleSize, 0},
                        {"Y", "YTitleSizeCombo", "YLabelSizeCombo", atOpening_.yTitleSize, atOpening_.yLabelSize},
                        {"X", "XTitleSizeCombo", "XLabelSizeCombo", atOpening_.xTitleSize, atOpening_.xLabelSize}};
    const char* keys[3][2] = {{"title", nullptr}, {"ytitle", "ylabel"}, {"xtitle", "xlabel"}};
    for (int i = 0; i < 3; ++i) {
        sizes->addWidget(new QLabel(rows[i].caption, this), i + 1, 0);
        QComboBox* t = SizeBox(rows[i].titleName, rows[i].titleSize);
        sizes->addWidget(t, i + 1, 1);
        connect(t, &QComboBox::currentTextChanged, this, [this, k = QString(keys[i][0])](const QString& text) {
            if (!text.isEmpty()) ApplySize(k, text);
        });
        if (rows[i].labelName) {
            QComboBox* l = SizeBox(rows[i].labelName, rows[i].labelSize);
            sizes->addWidget(l, i + 1, 2);
            connect(l, &QComboBox::currentTextChanged, this, [this, k = QString(keys[i][1])](const QString& text) {
                if (!text.isEmpty()) ApplySize(k, text);
            });
        }
    }
    grid->addLayout(sizes, 4, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("ButtonBox");
    // A button of our own keeps its F1 shortcut; the box's standard Help
    // button did not keep it in this dialog.
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    help->setObjectName("HelpButton");
    help->setShortcut(Qt::Key_F1);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { HelpTopic(App().session, help_topic::ChartTitles, HelpBaseAddress, AppHelpFile); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 5, 0, 1, 3);

    connect(titleEdit_, &QPlainTextEdit::textChanged, this, [this] {
        SetChartTitle(plot_, titleEdit_->toPlainText().split('\n'));
        plot_->replot();
    });
    connect(yEdit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        plot_->yAxis->setLabel(t);
        plot_->replot();
    });
    connect(xEdit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        plot_->xAxis->setLabel(t);
        plot_->replot();
    });
    connect(y2Edit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        plot_->yAxis2->setLabel(t);
        plot_->replot();
    });
    connect(titleLast, &QToolButton::clicked, this,
            [this] { titleEdit_->setPlainText(ChartTitleMemory::Instance().title); });
    connect(yLast, &QToolButton::clicked, this, [this] { yEdit_->setText(ChartTitleMemory::Instance().yTitle); });
    connect(xLast, &QToolButton::clicked, this, [this] { xEdit_->setText(ChartTitleMemory::Instance().xTitle); });
    // The second axis gets back its own last text.
    connect(y2Last, &QToolButton::clicked, this, [this] { y2Edit_->setText(ChartTitleMemory::Instance().y2Title); });
}

void TForm_ChartTitles::accept() {
    ChartTitleMemory& m = ChartTitleMemory::Instance();
    m.title = titleEdit_->toPlainText();
    m.yTitle = yEdit_->text();
    m.xTitle = xEdit_->text();
    if (HasY2()) m.y2Title = y2Edit_->text();
    QDialog::accept();
}

void TForm_ChartTitles::reject() {
    Restore(atOpening_);
    QDialog::reject();
}

}  // namespace amx::gui
