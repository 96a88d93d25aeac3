#pragma once
// The standard beeps, error boxes, notices and the help and web launchers,
// over the session's Messages and Launcher services.
#include <string>

#include "common/CommonState.h"

namespace amx {

// A notice window is as wide as its text plus this many pixels.
inline constexpr int TimedNoticeExtraWidth = 92;

void Beep(CommonState& cs);
// Beep, then an error box with an OK button.
void ErrorMessage(CommonState& cs, const std::string& text);
// ErrorMessage("File Error!").
void FileErrorMessage(CommonState& cs);
void WarningMessage(CommonState& cs, const std::string& text);
void InformationMessage(CommonState& cs, const std::string& text);
Answer Confirm(CommonState& cs, const std::string& text,
               QuestionButtons buttons = QuestionButtons::YesNo);
// A small window titled "Notice" that closes itself after `seconds`; a second
// notice while one shows reuses it and restarts the time.
void ShowTimedNotice(CommonState& cs, const std::string& text, int seconds);

// Opens the address with the system's handler, or "WEB Site not accessible".
void OpenWebPage(CommonState& cs, const std::string& address);
// The web help when `helpBaseAddress` is set (topic "contents" or the number
// appended), otherwise the help file, otherwise "The Help file was not found.".
void HelpContents(CommonState& cs, const std::string& helpBaseAddress, const std::string& helpFile);
void HelpTopic(CommonState& cs, int topic, const std::string& helpBaseAddress,
               const std::string& helpFile);

}  // namespace amx
