// The list of custom statistics: names, descriptions and colour groups.
#include <cctype>
#include <string>

#include "explore/Explore.h"

namespace amx {
namespace {

// Groups: 0 location, 1 spread, 2 order statistics, 3 shape and normality,
// 4 exponential and Poisson tests, 5 process limits, 6 specifications and
// nonconformance, 7 capability, 8 percentiles.
constexpr CustomStatInfo kStats[CustomStatCount] = {
    {"n", "", 0},
    {"Sum", "", 0},
    {"Mean", "", 0},
    {"Mean CI", "Mean Confidence Interval", 0},
    {"Std Dev", "Standard Deviation", 1},
    {"Std Dev CI", "Std Dev Confidence Interval", 1},
    {"Variance", "", 1},
    {"Variance CI", "Variance Confidence Interval", 1},
    {"Std(MR)", "Std Dev using Average MR", 1},
    {"Std(MMR)", "Std Dev using Median MR", 1},
    {"IR", "Interquartile Range", 1},
    {"PSD", "Pseudo Std Dev using IR", 1},
    {"SIR", "Semi-Interquartile Range", 1},
    {"MD(Avg)", "Mean Abs Dev from Mean", 1},
    {"MD(Med)", "Mean Abs Dev from Median", 1},
    {"Coeff Var", "Coefficient of Variation", 1},
    {"Low", "", 2},
    {"Q1", "", 2},
    {"Median", "", 2},
    {"Median(i)", "Interpolated Median", 2},
    {"Q3", "", 2},
    {"High", "", 2},
    {"Range", "", 2},
    {"A-D", "Anderson-Darling", 3},
    {"S-W", "Shapiro-Wilk", 3},
    {"L-M", "Lin-Mudholkar", 3},
    {"Skewness", "", 3},
    {"Kurtosis", "", 3},
    {"W(E)", "Exponential Test", 4},
    {"AMX(E)", "AMX Exponential Test", 4},
    {"Poisson Test", "", 4},
    {"-4s", "", 5},
    {"-3s", "Lower Process Limit", 5},
    {"-2s", "", 5},
    {"-1s", "", 5},
    {"+1s", "", 5},
    {"+2s", "", 5},
    {"+3s", "Upper Process Limit", 5},
    {"+4s", "", 5},
    {"4s", "", 5},
    {"6s", "Natural Tolerance", 5},
    {"8s", "", 5},
    {"n Below -3s", "", 5},
    {"n Above +3s", "", 5},
    {"LSL", "Specifications", 6},
    {"Target", "", 6},
    {"USL", "", 6},
    {"n Below Spec", "Nonconformance", 6},
    {"n Above Spec", "", 6},
    {"n Out Spec", "", 6},
    {"% Below Spec", "", 6},
    {"% Above Spec", "", 6},
    {"% Out Spec", "", 6},
    {"Est %Below Spec", "", 6},
    {"Est %Above Spec", "", 6},
    {"Est %Out Spec", "", 6},
    {"Cp", "Capability Measures", 7},
    {"Cpk", "", 7},
    {"Cpm", "", 7},
    {"Pp", "Performance Measures", 7},
    {"Ppk", "", 7},
    {"Ppm", "", 7},
    {"%Off-Target", "", 7},
    {"P(.005)", "Percentiles", 8},
    {"P(.01)", "", 8},
    {"P(.025)", "", 8},
    {"P(.05)", "", 8},
    {"P(.10)", "", 8},
    {"P(.20)", "", 8},
    {"P(.25)", "", 8},
    {"P(.30)", "", 8},
    {"P(.40)", "", 8},
    {"P(.50)", "", 8},
    {"P(.60)", "", 8},
    {"P(.70)", "", 8},
    {"P(.75)", "", 8},
    {"P(.80)", "", 8},
    {"P(.90)", "", 8},
    {"P(.95)", "", 8},
    {"P(.975)", "", 8},
    {"P(.99)", "", 8},
    {"P(.995)", "", 8},
};

std::string Lower(std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

}  // namespace

const CustomStatInfo& CustomStat(int item) { return kStats[item]; }

std::string CustomStatItemText(int item) {
    const CustomStatInfo& s = kStats[item];
    std::string text = s.name;
    if (*s.description) text += std::string("@") + s.description;
    return text;
}

int FindCustomStat(const std::string& nameOrNumber) {
    if (!nameOrNumber.empty() && nameOrNumber.find_first_not_of("0123456789") == std::string::npos &&
        nameOrNumber.size() <= 3) {
        int k = std::stoi(nameOrNumber);
        return k < CustomStatCount ? k : -1;
    }
    const std::string wanted = Lower(nameOrNumber);
    for (int i = 0; i < CustomStatCount; ++i)
        if (Lower(kStats[i].name) == wanted) return i;
    return -1;
}

}  // namespace amx
