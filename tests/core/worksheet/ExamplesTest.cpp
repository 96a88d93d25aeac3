// The example worksheets open cleanly, save back byte for byte, and read the
// same numbers as an independent reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Examples, OpenCleanlyAndSaveBackUnchanged) {
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(AMX_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".amx") continue;
        SCOPED_TRACE(entry.path().string());
        ++seen;
        Session s;
        RecordingMessages m;
        s.messages = &m;
        ASSERT_TRUE(FileToDataGrid(s, entry.path().string()));
        EXPECT_TRUE(m.entries.empty());
        EXPECT_TRUE(s.WantVarNames);
        EXPECT_TRUE(s.WantDescriptions);
        const fs::path out = fs::temp_directory_path() / ("amx-example-" + entry.path().filename().string());
        ASSERT_TRUE(SaveFile(s, out.string(), true, false, true));
        EXPECT_EQ(ReadFile(out), ReadFile(entry.path()));
        fs::remove(out);
    }
    EXPECT_GE(seen, 3);
}

// Reference from R 4.2:
//   d <- read.delim("shaft-diameters.amx", header=FALSE, skip=5,
//                   col.names=c("Diameter","Lot","Operator","Shift"))
//   sum(!is.na(d$Diameter)); sum(d$Diameter, na.rm=TRUE)      # 96, 960.105
//   per operator: Ben 33 330.197, Carla 33 329.988, Anna 30 299.92
//   nrow(aggregate(Diameter ~ Lot + Operator, data=d, FUN=length))   # 30
TEST(Examples, ShaftDiametersMatchAnIndependentReader) {
    Session s;
    ASSERT_TRUE(FileToDataGrid(s, std::string(AMX_EXAMPLES_DIR) + "/shaft-diameters.amx"));
    EXPECT_EQ(ColumnUSL(s, 1), 10.05L);
    EXPECT_EQ(ColumnLSL(s, 1), 9.95L);
    EXPECT_TRUE(s.DataList.StringVar[3]);

    TRunInfo ri;
    ri.ColRefRun = 2;
    ri.measure = 1;
    ri.index = 3;
    ri.Afirst = 1;
    ri.Alast = 3;
    struct Group {
        const char* name;
        int n;
        double sum;
    };
    const Group expected[] = {{"Ben", 33, 330.197}, {"Carla", 33, 329.988}, {"Anna", 30, 299.92}};
    SetupIndex(ri);
    for (const auto& g : expected) {
        ASSERT_TRUE(GetAR(s, ri));
        EXPECT_EQ(ri.CurrentName, g.name);
        EXPECT_EQ(s.ATop, g.n);
        double sum = 0;
        for (int i = 1; i <= s.ATop; ++i) sum += s.A_Array[i];
        EXPECT_NEAR(sum, g.sum, 1e-9);
    }
    EXPECT_FALSE(GetAR(s, ri));

    ri.ColRefRun = 3;
    ri.RefArray[0] = 2;
    ri.RefArray[1] = 2;
    ri.RefArray[2] = 3;
    ASSERT_TRUE(SetRunData(s, ri));
    GetGroupCount(s, ri);
    EXPECT_EQ(ri.NumberOfGroups, 30);
    EXPECT_EQ(ri.TotalCount, 96);
}

}  // namespace
}  // namespace amx
