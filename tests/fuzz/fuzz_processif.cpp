// Process If. Property: reopening the dialog on the live filter and pressing
// OK changes nothing: the same filter, the same texts, the same rows pass.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "session/Session.h"
#include "worksheet/DataList.h"
#include "worksheet/modifications/FileModText.h"
#include "worksheet/modifications/ProcessIf.h"

namespace {

std::string State(amx::Session& s) {
    const amx::ProcessIfRec& p = s.ProcessIf;
    std::string out = std::to_string(p.Active) + "|" + std::to_string(p.AndOr) + "|" + std::to_string(p.Sign1) + "|" +
                      std::to_string(p.Sign2) + "|" + std::to_string(p.PiIndex1) + "|" + std::to_string(p.PiIndex2) +
                      "|" + p.XV1 + "|" + p.XV2 + "|" + s.ProcessIfText1 + "|" + s.ProcessIfText2 + "|" +
                      amx::ProcessIfStatusText(s) + "|";
    amx::GetFileModString(s);
    out += s.FileModString + "|";
    for (int r = 1; r <= s.worksheet.RowCount(); ++r) out += amx::ProcessIfPasses(s, r) ? '1' : '0';
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    Session s;
    // A small sheet: two numeric columns and a text column.
    const char* rows[][3] = {{"1", "10", "a"}, {"2", "", "b"}, {"3", "30", "a"}, {"", "40", "c"}, {"-5", "1e3", ""}};
    s.worksheet.BeginLoad(3);
    for (auto& r : rows) {
        std::vector<std::string_view> cells(r, r + 3);
        s.worksheet.AppendRow(cells);
    }
    s.worksheet.EndLoad();
    s.worksheet.SetColumnName(1, "A");
    s.worksheet.SetColumnName(2, "B");
    s.worksheet.SetColumnName(3, "T");
    UpdateData(s);

    ProcessIfDialogInput input;
    for (auto& c : input.cond) {
        c.column = static_cast<int>(fuzz::TakeByte(in) % 5);  // 4: beyond the sheet
        c.relation = static_cast<int>(fuzz::TakeByte(in) % 10);  // 9: beyond the relations
        c.name = std::string(fuzz::TakeField(in));
        c.value = std::string(fuzz::TakeField(in));
    }
    input.andOr = static_cast<int>(fuzz::TakeByte(in) % 3);
    ApplyProcessIfDialog(s, input);
    const std::string before = State(s);
    ApplyProcessIfDialog(s, CurrentProcessIfInput(s));
    const std::string after = State(s);
    if (before != after) fuzz::Fail("reopening Process If and pressing OK changed it", before + "\n" + after);
    return 0;
}
