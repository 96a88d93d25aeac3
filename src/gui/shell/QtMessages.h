#pragma once
// Message boxes of the desktop: errors beep first; a notice is a small window
// titled "Notice" that closes itself.
#include <QPointer>
#include <QWidget>

#include "common/Messages.h"

class QLabel;
class QTimer;

namespace amx::gui {

class NoticeWindow : public QWidget {
    Q_OBJECT
public:
    NoticeWindow();
    void ShowText(const QString& text, int seconds);

private:
    QLabel* label_;
    QTimer* timer_;
};

class QtMessages : public Messages {
public:
    void Beep() override;
    void Error(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    void TimedNotice(const std::string& text, int seconds) override;
    Answer Ask(const std::string& text, QuestionButtons buttons) override;
    // The title of a question box: the file a "File Not Saved.  Save?" is
    // about, else the program's name.
    static QString QuestionTitle(const std::string& text);

private:
    QPointer<NoticeWindow> notice_;
};

}  // namespace amx::gui
