#pragma once
// Help topic numbers of windows whose number is the program's own choice
// (the other windows carry theirs beside their help commands). Each has its
// page docs/help/topic-<number>.md.
namespace amx::gui::help_topic {

inline constexpr int ReportWindows = 600;
inline constexpr int ControlLimits = 3700;
inline constexpr int Explore = 4000;
inline constexpr int ChartTitles = 4600;

}  // namespace amx::gui::help_topic
