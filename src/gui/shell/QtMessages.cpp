#include "shell/QtMessages.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/AppContext.h"
#include "common/UnsavedWorksheet.h"

namespace amx::gui {
namespace {

QWidget* Parent() { return QApplication::activeWindow(); }
QString Title() { return QApplication::applicationDisplayName(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString QtMessages::QuestionTitle(const std::string& text) {
    // "File Not Saved.  Save?" says nothing of which file: the title does.
    if (text != FileNotSavedQuestion) return Title();
    const std::string& file = App().session.DataFilename;
    return file.empty() ? QString("Untitled worksheet") : QFileInfo(QString::fromStdString(file)).fileName();
}

NoticeWindow::NoticeWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("NoticeForm");
    setWindowTitle("Notice");
    setAttribute(Qt::WA_DeleteOnClose);
    label_ = new QLabel(this);
    label_->setObjectName("NoticeLabel");
    label_->setAlignment(Qt::AlignCenter);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(label_);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &QWidget::close);
}

void NoticeWindow::ShowText(const QString& text, int seconds) {
    label_->setText(text);
    const int w = QFontMetrics(label_->font()).horizontalAdvance(text) + 92;
    resize(w, sizeHint().height());
    show();
    raise();
    timer_->start(std::max(0, seconds) * 1000);  // a second notice restarts the time
}

void QtMessages::Beep() { QApplication::beep(); }

void QtMessages::Error(const std::string& text) {
    QApplication::beep();
    QMessageBox::critical(Parent(), Title(), Q(text));
}

void QtMessages::Warning(const std::string& text) { QMessageBox::warning(Parent(), Title(), Q(text)); }

void QtMessages::Information(const std::string& text) { QMessageBox::information(Parent(), Title(), Q(text)); }

void QtMessages::TimedNotice(const std::string& text, int seconds) {
    if (!notice_) notice_ = new NoticeWindow;
    notice_->ShowText(Q(text), seconds);
}

Answer QtMessages::Ask(const std::string& text, QuestionButtons buttons) {
    QMessageBox::StandardButtons b;
    QMessageBox::StandardButton def;
    switch (buttons) {
    case QuestionButtons::YesNo:
        b = QMessageBox::Yes | QMessageBox::No;
        def = QMessageBox::Yes;
        break;
    case QuestionButtons::YesNoCancel:
        b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        def = QMessageBox::Yes;
        break;
    default:
        b = QMessageBox::Ok | QMessageBox::Cancel;
        def = QMessageBox::Ok;
        break;
    }
    switch (QMessageBox::question(Parent(), QuestionTitle(text), Q(text), b, def)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

}  // namespace amx::gui
