#include "common/UnsavedWorksheet.h"

namespace amx {

bool MayDiscardWorksheet(CommonState& cs, bool modified, const std::function<bool()>& saveAs) {
    cs.StatErrorCode = 0;
    if (!modified) return true;
    switch (cs.messages->Ask(FileNotSavedQuestion, QuestionButtons::YesNoCancel)) {
    case Answer::No:
        return true;
    case Answer::Yes:
        if (saveAs && saveAs()) return true;
        break;
    default:
        break;
    }
    cs.StatErrorCode = 1;
    return false;
}

}  // namespace amx
