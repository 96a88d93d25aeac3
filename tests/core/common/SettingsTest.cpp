#include <gtest/gtest.h>

#include <functional>

#include "common/MessageHelpers.h"
#include "common/NumberText.h"
#include "common/Settings.h"

namespace amx {
namespace {

const std::string Key = "\\Software\\Helmridge\\Ambrolux\\Settings";

TEST(Settings, ReadsWithDefaultsAndStatus) {
    CommonState cs;
    MemorySettingsStore store;
    cs.settings = &store;

    // The key does not exist yet: the plain read does not create it.
    EXPECT_EQ(ReadSettingString(cs, Key, "StdControlTestCheck"), "");
    EXPECT_EQ(cs.StatErrorCode, 1);
    EXPECT_FALSE(store.OpenKey(Key, false));

    // The integer read creates key and value, so the next read finds it.
    EXPECT_EQ(ReadSettingInteger(cs, Key, "MainTop", 120), 120);
    EXPECT_EQ(cs.StatErrorCode, 0);
    EXPECT_EQ(store.ReadInteger(Key, "MainTop"), 120);
    EXPECT_EQ(ReadSettingInteger(cs, Key, "MainTop", 5), 120);

    // A value of the wrong kind is replaced by the default.
    WriteSettingString(cs, Key, "MainLeft", "wide");
    EXPECT_EQ(ReadSettingInteger(cs, Key, "MainLeft", 8), 8);
    EXPECT_EQ(store.ReadInteger(Key, "MainLeft"), 8);

    cs.StatErrorCode = 7;
    EXPECT_EQ(ReadSettingString(cs, Key, "Nothing"), "");
    EXPECT_EQ(cs.StatErrorCode, 0);

    EXPECT_EQ(ReadSettingStringCreate(cs, "\\Other", "ControlTestValues"), "");
    EXPECT_EQ(cs.StatErrorCode, 0);
    EXPECT_EQ(store.ReadString("\\Other", "ControlTestValues"), "");
    WriteSettingString(cs, "\\Other", "ControlTestValues", "9 6 14");
    EXPECT_EQ(ReadSettingStringCreate(cs, "\\Other", "ControlTestValues"), "9 6 14");
    WriteSettingInteger(cs, Key, "MainTop", -40);
    EXPECT_EQ(ReadSettingInteger(cs, Key, "MainTop", 0), -40);
}

TEST(Settings, UnavailableStoreGivesDefaultsAndStatusOne) {
    CommonState cs;
    MemorySettingsStore store;
    store.available = false;
    cs.settings = &store;
    const struct {
        const char* what;
        std::function<bool()> call;
    } reads[] = {
        {"string", [&] { return ReadSettingString(cs, Key, "A") == ""; }},
        {"string create", [&] { return ReadSettingStringCreate(cs, Key, "A") == ""; }},
        {"integer", [&] { return ReadSettingInteger(cs, Key, "A", 33) == 33; }},
    };
    for (const auto& r : reads) {
        cs.StatErrorCode = 0;
        EXPECT_TRUE(r.call()) << r.what;
        EXPECT_EQ(cs.StatErrorCode, 1) << r.what;
    }
    WriteSettingString(cs, Key, "A", "x");  // silent
    WriteSettingInteger(cs, Key, "A", 1);
    SetNumberFormat(cs, NumberFormatKind::WithoutCommas);
    EXPECT_EQ(cs.numberFormat, NumberFormatKind::WithoutCommas);
}

TEST(Settings, NumberFormatStoredAndRead) {
    const struct {
        const char* stored;
        NumberFormatKind start;
        NumberFormatKind after;
    } cases[] = {
        {"F", NumberFormatKind::WithCommas, NumberFormatKind::WithoutCommas},
        {"N", NumberFormatKind::WithoutCommas, NumberFormatKind::WithCommas},
        {"X", NumberFormatKind::WithoutCommas, NumberFormatKind::WithoutCommas},
        {"X", NumberFormatKind::WithCommas, NumberFormatKind::WithCommas},
        {"", NumberFormatKind::WithoutCommas, NumberFormatKind::WithoutCommas},
    };
    for (const auto& c : cases) {
        CommonState cs;
        cs.settings->WriteString(Key, "AmxNumberFormat", c.stored);
        cs.numberFormat = c.start;
        ReadNumberFormat(cs);
        EXPECT_EQ(cs.numberFormat, c.after) << c.stored;
    }
    CommonState cs;
    ReadNumberFormat(cs);  // nothing stored: the start-up kind stays
    EXPECT_EQ(cs.numberFormat, NumberFormatKind::WithCommas);
    SetNumberFormat(cs, NumberFormatKind::WithoutCommas);
    EXPECT_EQ(cs.settings->ReadString(Key, "AmxNumberFormat"), "F");
    EXPECT_EQ(FormatNumber(cs, 2, 1234.5L), "1234.50");
    SetNumberFormat(cs, NumberFormatKind::WithCommas);
    EXPECT_EQ(cs.settings->ReadString(Key, "AmxNumberFormat"), "N");
}

TEST(MessageHelpers, TextsGoThroughTheInterface) {
    CommonState cs;
    RecordingMessages rec;
    cs.messages = &rec;
    rec.scriptedAnswers = {Answer::Yes};
    Beep(cs);
    ErrorMessage(cs, "Not enough data!");
    FileErrorMessage(cs);
    ShowTimedNotice(cs, "Saved", 2);
    EXPECT_EQ(Confirm(cs, "Continue?"), Answer::Yes);
    EXPECT_EQ(rec.Errors(), (std::vector<std::string>{"Not enough data!", "File Error!"}));
    EXPECT_EQ(rec.TextsOf(MessageKind::Notice), std::vector<std::string>{"Saved"});
    EXPECT_EQ(rec.beeps, 3);
}

TEST(MessageHelpers, HelpAndWebPages) {
    const std::string base = "https://help.example/h.php?t=";
    const struct {
        const char* name;
        std::string base;
        bool opens;
        bool fileExists;
        int topic;  // 0 = contents
        std::vector<std::string> addresses;
        std::vector<std::pair<std::string, int>> helpOpened;
        std::vector<std::string> errors;
        std::vector<std::string> warnings;
    } cases[] = {
        {"web contents", base, true, false, 0, {base + "contents"}, {}, {}, {}},
        {"web topic", base, true, true, 2150, {base + "2150"}, {}, {}, {}},
        {"web fails", base, false, false, 7, {base + "7"}, {}, {"WEB Site not accessible"}, {}},
        {"help file contents", "", true, true, 0, {}, {{"Ambrolux.hlp", 0}}, {}, {}},
        {"help file topic", "", true, true, 31, {}, {{"Ambrolux.hlp", 31}}, {}, {}},
        {"no help at all", "", true, false, 31, {}, {}, {}, {"The Help file was not found."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommonState cs;
        RecordingMessages rec;
        RecordingLauncher launch;
        launch.addressesOpen = c.opens;
        launch.helpFileExists = c.fileExists;
        cs.messages = &rec;
        cs.launcher = &launch;
        if (c.topic == 0) HelpContents(cs, c.base, "Ambrolux.hlp");
        else HelpTopic(cs, c.topic, c.base, "Ambrolux.hlp");
        EXPECT_EQ(launch.addresses, c.addresses);
        EXPECT_EQ(launch.helpOpened, c.helpOpened);
        EXPECT_EQ(rec.Errors(), c.errors);
        EXPECT_EQ(rec.Warnings(), c.warnings);
    }
    CommonState cs;
    RecordingMessages rec;
    cs.messages = &rec;
    OpenWebPage(cs, "https://www.helmridge.example/");  // no launcher in a bare session
    EXPECT_EQ(rec.Errors(), std::vector<std::string>{"WEB Site not accessible"});
}

}  // namespace
}  // namespace amx
