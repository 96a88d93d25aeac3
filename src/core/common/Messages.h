#pragma once
// The boxes the program shows the user: errors, warnings, notices and questions.
// Core code only talks to this interface; the desktop shows real message boxes,
// the command-line tool prints to stderr and answers questions from its options,
// and tests script the answers and keep every text so they can assert on it.
#include <deque>
#include <string>
#include <vector>

namespace amx {

enum class Answer { Yes, No, Cancel, Ok };
enum class QuestionButtons { YesNo, YesNoCancel, OkCancel };
enum class MessageKind { Error, Warning, Information, Notice, Question };

class Messages {
public:
    virtual ~Messages() = default;
    virtual void Beep() = 0;
    // An error box with an OK button; implementations beep first.
    virtual void Error(const std::string& text) = 0;
    virtual void Warning(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    // A small self-closing window titled "Notice".
    virtual void TimedNotice(const std::string& text, int seconds) = 0;
    virtual Answer Ask(const std::string& text, QuestionButtons buttons) = 0;
};

// Says nothing and answers every question with its safe default:
// No for Yes/No, Cancel for Yes/No/Cancel and OK/Cancel.
class SilentMessages : public Messages {
public:
    void Beep() override {}
    void Error(const std::string&) override {}
    void Warning(const std::string&) override {}
    void Information(const std::string&) override {}
    void TimedNotice(const std::string&, int) override {}
    Answer Ask(const std::string&, QuestionButtons buttons) override {
        return buttons == QuestionButtons::YesNo ? Answer::No : Answer::Cancel;
    }
};

// Keeps every message in order and answers questions from a script; once the
// script runs out it falls back to the safe defaults of SilentMessages.
class RecordingMessages : public Messages {
public:
    struct Entry {
        MessageKind kind;
        std::string text;
    };
    std::vector<Entry> entries;
    std::deque<Answer> scriptedAnswers;
    int beeps = 0;

    void Beep() override { ++beeps; }
    void Error(const std::string& text) override {
        ++beeps;
        entries.push_back({MessageKind::Error, text});
    }
    void Warning(const std::string& text) override { entries.push_back({MessageKind::Warning, text}); }
    void Information(const std::string& text) override {
        entries.push_back({MessageKind::Information, text});
    }
    void TimedNotice(const std::string& text, int) override {
        entries.push_back({MessageKind::Notice, text});
    }
    Answer Ask(const std::string& text, QuestionButtons buttons) override {
        entries.push_back({MessageKind::Question, text});
        if (!scriptedAnswers.empty()) {
            Answer a = scriptedAnswers.front();
            scriptedAnswers.pop_front();
            return a;
        }
        return SilentMessages().Ask(text, buttons);
    }

    std::vector<std::string> TextsOf(MessageKind kind) const {
        std::vector<std::string> out;
        for (const auto& e : entries)
            if (e.kind == kind) out.push_back(e.text);
        return out;
    }
    std::vector<std::string> Errors() const { return TextsOf(MessageKind::Error); }
    std::vector<std::string> Warnings() const { return TextsOf(MessageKind::Warning); }
    std::vector<std::string> Questions() const { return TextsOf(MessageKind::Question); }
};

}  // namespace amx
