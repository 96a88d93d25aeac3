#include "common/MessageHelpers.h"

namespace amx {
namespace {

// The help file's contents are its topic 0.
void OpenHelp(CommonState& cs, bool contents, int topic, const std::string& base,
              const std::string& file) {
    if (!base.empty()) {
        OpenWebPage(cs, base + (contents ? std::string("contents") : std::to_string(topic)));
        return;
    }
    if (!file.empty() && cs.launcher->FileExists(file) && cs.launcher->OpenHelpFile(file, contents ? 0 : topic))
        return;
    WarningMessage(cs, "The Help file was not found.");
}

}  // namespace

void Beep(CommonState& cs) { cs.messages->Beep(); }

void ErrorMessage(CommonState& cs, const std::string& text) { cs.messages->Error(text); }

void FileErrorMessage(CommonState& cs) { ErrorMessage(cs, "File Error!"); }

void WarningMessage(CommonState& cs, const std::string& text) { cs.messages->Warning(text); }

void InformationMessage(CommonState& cs, const std::string& text) {
    cs.messages->Information(text);
}

Answer Confirm(CommonState& cs, const std::string& text, QuestionButtons buttons) {
    return cs.messages->Ask(text, buttons);
}

void ShowTimedNotice(CommonState& cs, const std::string& text, int seconds) {
    cs.messages->TimedNotice(text, seconds);
}

void OpenWebPage(CommonState& cs, const std::string& address) {
    if (!cs.launcher->OpenAddress(address)) ErrorMessage(cs, "WEB Site not accessible");
}

void HelpContents(CommonState& cs, const std::string& helpBaseAddress, const std::string& helpFile) {
    OpenHelp(cs, true, 0, helpBaseAddress, helpFile);
}

void HelpTopic(CommonState& cs, int topic, const std::string& helpBaseAddress,
               const std::string& helpFile) {
    OpenHelp(cs, false, topic, helpBaseAddress, helpFile);
}

}  // namespace amx
