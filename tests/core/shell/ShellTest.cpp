#include <gtest/gtest.h>

#include <set>

#include "session/Session.h"
#include "shell/InstanceTitle.h"
#include "shell/MainPosition.h"
#include "shell/ShellDefaults.h"
#include "common/UnsavedWorksheet.h"
#include "shell/WindowOrder.h"

namespace amx {
namespace {

TEST(InstanceTitle, NumbersFollowTheFirstFreeSlot) {
    std::set<int> running;
    auto start = [&] {
        int n = ChooseInstanceNumber([&](int k) { return running.insert(k).second; });
        return InstanceTitleFor(n);
    };
    EXPECT_EQ(start(), "Ambrolux");
    EXPECT_EQ(start(), "Ambrolux (2)");
    EXPECT_EQ(start(), "Ambrolux (3)");
    // Only "Ambrolux (2)" left running: the next copy is plain "Ambrolux".
    running = {2};
    EXPECT_EQ(start(), "Ambrolux");
    EXPECT_EQ(start(), "Ambrolux (3)");
}

TEST(MainPosition, StoredPositionNeverAboveOrLeftOfTwo) {
    Session s;
    // Missing values are written with the current position.
    auto p = ReadMainPosition(s, {100, 200});
    EXPECT_EQ(p.top, 100);
    EXPECT_EQ(p.left, 200);
    EXPECT_EQ(*s.settings->ReadInteger(SettingsKey, "MainTop"), 100);

    s.settings->WriteInteger(SettingsKey, "MainTop", -40);
    s.settings->WriteInteger(SettingsKey, "MainLeft", 1);
    p = ReadMainPosition(s, {100, 200});
    EXPECT_EQ(p.top, 2);
    EXPECT_EQ(p.left, 2);

    WriteMainPosition(s, {33, 44});
    EXPECT_EQ(*s.settings->ReadInteger(SettingsKey, "MainLeft"), 44);
}

TEST(WindowOrder, FormsMenuListsAllButTheFrontWindowAlphabetically) {
    WindowOrder order;
    for (int id : {1, 2, 3, 4}) order.Activate(id);
    order.Activate(0);  // the main window is in front while its menu is used
    EXPECT_EQ(order.Ids(), (std::vector<int>{0, 4, 3, 2, 1}));

    std::vector<WindowInfo> w = {{0, "Ambrolux", true, false},
                                 {4, "Sample Size", true, false},
                                 {3, "Explore", false, false},
                                 {2, "Crosstabs", true, false}};
    auto entries = FormsMenuEntries(w);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].caption, "Crosstabs");
    EXPECT_EQ(entries[1].caption, "Explore");
    EXPECT_EQ(entries[2].caption, "Sample Size");
    EXPECT_TRUE(entries[0].checked);
    EXPECT_FALSE(entries[1].checked);
    EXPECT_TRUE(entries[2].checked);
    EXPECT_TRUE(FormsMenuEntries({w[0]}).empty());
}

TEST(WindowOrder, NextWindowCyclesFromTheBack) {
    std::vector<WindowInfo> two = {{0, "Ambrolux", true}, {1, "Data", true}};
    EXPECT_FALSE(NextWindow(two, false));
    EXPECT_FALSE(NextWindowCommandsEnabled(2));
    EXPECT_TRUE(NextWindowCommandsEnabled(3));

    std::vector<WindowInfo> w = {{0, "Ambrolux", true},
                                 {1, "Data", true},
                                 {2, "Explore", false},
                                 {3, "About", true, true}};
    EXPECT_EQ(NextWindow(w, false), 2);  // past the dialog, hidden one included
    EXPECT_EQ(NextWindow(w, true), 1);   // past the hidden one too

    // Repeated use visits every window: showing one moves it to the front.
    WindowOrder order;
    for (int id : {3, 2, 1, 0}) order.Activate(id);
    auto infos = [&] {
        std::vector<WindowInfo> v;
        for (int id : order.Ids()) v.push_back(w[id]);
        return v;
    };
    std::set<int> seen;
    for (int i = 0; i < 3; ++i) {
        auto next = NextWindow(infos(), false);
        ASSERT_TRUE(next);
        seen.insert(*next);
        order.Activate(*next);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
}

TEST(UnsavedWorksheet, OnlyAConfirmedSaveLetsTheWorksheetGo) {
    struct Case {
        std::vector<Answer> answers;
        bool saveSucceeds;
        bool proceed;
        int saveCalls;
    } cases[] = {
        {{Answer::No}, false, true, 0},
        {{Answer::Cancel}, false, false, 0},
        {{Answer::Yes}, true, true, 1},
        {{Answer::Yes}, false, false, 1},  // Save As cancelled or failed
    };
    for (const auto& c : cases) {
        Session s;
        RecordingMessages rec;
        rec.scriptedAnswers.assign(c.answers.begin(), c.answers.end());
        s.messages = &rec;
        int calls = 0;
        bool ok = MayDiscardWorksheet(s, true, [&] {
            ++calls;
            return c.saveSucceeds;
        });
        EXPECT_EQ(ok, c.proceed);
        EXPECT_EQ(calls, c.saveCalls);
        EXPECT_EQ(s.StatErrorCode, c.proceed ? 0 : 1);
        EXPECT_EQ(rec.Questions(), std::vector<std::string>{"File Not Saved.  Save?"});
    }
    Session s;
    RecordingMessages rec;
    s.messages = &rec;
    EXPECT_TRUE(MayDiscardWorksheet(s, false, nullptr));
    EXPECT_TRUE(rec.entries.empty());
}

}  // namespace
}  // namespace amx
