#include <gtest/gtest.h>

// The whole Session links every subsystem; this program links only common.
#include "common/CommonState.h"
#include "session/CurrentSample.h"

namespace amx {
namespace {

TEST(Messages, RecorderAnswersFromScriptThenSafeDefaults) {
    RecordingMessages rec;
    rec.scriptedAnswers = {Answer::Yes};
    EXPECT_EQ(rec.Ask("Save?", QuestionButtons::YesNoCancel), Answer::Yes);
    EXPECT_EQ(rec.Ask("Save?", QuestionButtons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(rec.Ask("Blank?", QuestionButtons::YesNo), Answer::No);
    rec.Error("File Error!");
    EXPECT_EQ(rec.Errors(), std::vector<std::string>{"File Error!"});
    EXPECT_EQ(rec.beeps, 1);
}

TEST(Session, StartsWithServicesInPlace) {
    struct : CommonState, CurrentSample {} s;
    EXPECT_EQ(s.StatErrorCode, 0);
    ASSERT_NE(s.messages, nullptr);
    ASSERT_NE(s.settings, nullptr);
    EXPECT_EQ(s.ATop, 0);
    EXPECT_EQ(s.A_Array.size(), 1u);
}

}  // namespace
}  // namespace amx
