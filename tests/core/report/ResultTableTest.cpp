// The shared result table: CSV quoting and the values a machine reader gets.
#include <gtest/gtest.h>

#include "report/ResultTable.h"

namespace amx {
namespace {

ResultTable Sample() {
    ResultTable t;
    t.caption = "Normality Tests";
    t.header = {"Variable", "n", "(A-D)A²*", "p-value", "Mean"};
    t.rows = {{"Width, mm", "1,024", "0.512", "0.036*", "999.000"},
              {"Say \"hi\"", "2", "", "999.000 ", "-1.5e-3"},
              {"Lot", "3", "n/a", ">.10 ", "inf"}};
    return t;
}

TEST(ResultTable, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(ResultTableCsv(Sample()),
              "Variable,n,(A-D)A²*,p-value,Mean\n"
              "\"Width, mm\",\"1,024\",0.512,0.036*,999.000\n"
              "\"Say \"\"hi\"\"\",2,,999.000,-1.5e-3\n"
              "Lot,3,n/a,>.10,inf\n");
}

TEST(ResultTable, CellValuesForMachineReaders) {
    using K = CellValue::Kind;
    struct Case {
        int col, row;
        K kind;
        double number;
        const char* text;
    };
    const Case cases[] = {
        {0, 1, K::Text, 0, "Width, mm"},
        {1, 1, K::Number, 1024, ""},       // thousands comma
        {3, 1, K::Number, 0.036, ""},      // significance star
        {4, 1, K::Number, 999, ""},        // 999 is a value outside p-value columns
        {2, 2, K::Null, 0, ""},            // empty cell
        {3, 2, K::Null, 0, ""},            // not available
        {4, 2, K::Number, -0.0015, ""},
        {2, 3, K::Text, 0, "n/a"},
        {3, 3, K::Text, 0, ">.10"},
        {4, 3, K::Text, 0, "inf"},         // never a non-finite number
        {1, 0, K::Text, 0, "n"},           // headings stay text
    };
    const ResultTable t = Sample();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        const CellValue v = ResultCellValue(t, c.col, c.row);
        EXPECT_EQ(v.kind, c.kind);
        if (c.kind == K::Number) {
            EXPECT_DOUBLE_EQ(v.number, c.number);
        }
        if (c.kind == K::Text) {
            EXPECT_EQ(v.text, c.text);
        }
    }
}

}  // namespace
}  // namespace amx
