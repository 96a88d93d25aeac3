#pragma once
// The three file modifications every analysis sees its data through: the
// missing-value rule, the Process If row filter and the transform. They change
// what the loaders put into A_Array, never the worksheet text. One set lives in
// each Session; the dialogs edit a copy and write it back on OK.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Sentinels.h"

namespace amx {

// Relations of the missing-value rule: 0 none, 1 "=", 2 ">", 3 ">=", 4 "<", 5 "<=".
struct MissingRec {
    double X1 = 0.0, X2 = 0.0;
    std::string Xstr1, Xstr2;
    std::uint8_t Sign1 = 0, Sign2 = 0;
    std::string Signtext1 = "=", Signtext2 = "=";
    bool Active = false;
};

// Relations of Process If: 0 All (no condition), 1 "=", 2 ">", 3 ">=", 4 "<",
// 5 "<=", 6 "<>", 7 "in", 8 "Not in".
namespace PiRelation {
inline constexpr int All = 0;
inline constexpr int Equal = 1;
inline constexpr int Greater = 2;
inline constexpr int GreaterEqual = 3;
inline constexpr int Less = 4;
inline constexpr int LessEqual = 5;
inline constexpr int NotEqual = 6;
inline constexpr int In = 7;
inline constexpr int NotIn = 8;
}  // namespace PiRelation

struct ProcessIfRec {
    double X1 = 0.0, X2 = 0.0;
    std::string Xstr1 = "0", Xstr2 = "0";  // column names as shown in the dialog
    std::string XV1, XV2;                  // value texts; lists as "[a,b,c]"
    std::uint8_t Sign1 = 0, Sign2 = 0;
    std::uint8_t AndOr = 0;  // 0 And, 1 Or
    std::string Signtext1 = "=", Signtext2 = "=";
    std::uint16_t PiIndex1 = 0, PiIndex2 = 0;  // column numbers, 0 = none
    // The lists of "in"/"Not in": values (MissingValue for a blank entry) and
    // the texts typed for them. Their sizes are LA1count/LA2count.
    std::vector<double> LA1, LA2;
    std::vector<std::string> SLA1, SLA2;
    bool Active = false;

    std::int32_t LA1count() const { return static_cast<std::int32_t>(LA1.size()); }
    std::int32_t LA2count() const { return static_cast<std::int32_t>(LA2.size()); }
};

// Transform numbers (TransformRec::no).
namespace TransformKind {
inline constexpr int None = 0;
inline constexpr int Linear = 1;
inline constexpr int Power1 = 2;
inline constexpr int Power2 = 3;
inline constexpr int Inv = 4;
inline constexpr int Log = 5;
inline constexpr int Exp = 6;
inline constexpr int Arcsin = 7;
inline constexpr int Sin = 8;
inline constexpr int RandomUniform = 9;
inline constexpr int RandomNormal = 10;
inline constexpr int RandomExponential = 11;
inline constexpr int RandomChiSquare = 12;
inline constexpr int Count = 13;
}  // namespace TransformKind

struct TransformRec {
    std::uint8_t no = 0;
    long double A = 1.0L, B = 0.0L, C = 1.0L;
    std::string astr = "1", Bstr = "0", Cstr = "1";
    bool Error = false;
    std::string ErrorString;
    // Replace each value by a normal random value (mean 10, sd 1) first.
    bool NORMFirst = false;
};

struct FileModState {
    MissingRec Missing;
    std::string MissingText1, MissingText2;

    ProcessIfRec ProcessIf;
    std::string ProcessIfText1, ProcessIfText2;

    TransformRec Transform;

    // The report lines of the active modifications (GetFileModString): line
    // breaks, line breaks plus a tab, or two blanks between the lines.
    std::string FileModString, FileModStringTab, FileModStringLine;
};

}  // namespace amx
