#pragma once
// The "Titles" dialog: edits one chart's title, axis titles and five font
// sizes, applying every change to the chart at once. OK remembers the texts
// for the next chart; Cancel puts back everything as it was at opening.
#include <QDialog>
#include <QString>

class QComboBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace amx::gui {

// The texts last confirmed in the dialog, kept for the whole run.
struct ChartTitleMemory {
    QString title;
    QString yTitle;
    QString xTitle;
    QString y2Title;
    static ChartTitleMemory& Instance();
};

class TForm_ChartTitles : public QDialog {
    Q_OBJECT
public:
    TForm_ChartTitles(QCustomPlot* plot, QWidget* parent = nullptr);

    static const QStringList& SizeEntries();

    void accept() override;
    void reject() override;

private:
    struct Saved {
        QString title, y, x, y2;
        double titleSize = 0, yTitleSize = 0, xTitleSize = 0, yLabelSize = 0, xLabelSize = 0;
    };
    Saved Capture() const;
    void Restore(const Saved& s);
    QComboBox* SizeBox(const char* name, double current);
    QToolButton* LastButton(const char* name, const QString& last);
    void ApplySize(const QString& which, const QString& text);
    bool HasY2() const;

    QCustomPlot* plot_;
    bool hasY2_ = false;  // the chart had a second axis title at opening
    Saved atOpening_;
    QPlainTextEdit* titleEdit_;
    QLineEdit* yEdit_;
    QLineEdit* xEdit_;
    QLineEdit* y2Edit_;
};

}  // namespace amx::gui
