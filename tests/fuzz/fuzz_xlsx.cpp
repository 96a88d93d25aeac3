// The workbook reader and writer. Whatever the bytes, a load either fails
// with a message or gives a worksheet; a loaded worksheet saved as a
// workbook and opened again is the same worksheet.
#include <cstdint>
#include <string>

#include "WorksheetFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    using fuzz::Describe;
    using fuzz::Load;
    const std::string in = fuzz::ScratchFolder() + "/in.xlsx";
    const std::string out = fuzz::ScratchFolder() + "/out.xlsx";
    fuzz::WriteWholeFile(in, std::string_view(reinterpret_cast<const char*>(data), size));
    Session first;
    if (!Load(first, in)) return 0;
    if (!SaveFile(first, out, true, false, true)) return 0;  // e.g. a cell too long for a workbook
    Session second;
    if (!Load(second, out)) fuzz::Fail("a saved workbook does not open", Describe(first.worksheet));
    const std::string a = Describe(first.worksheet), b = Describe(second.worksheet);
    if (a != b) fuzz::Fail("save and reopen changed the worksheet", a + "----\n" + b);
    return 0;
}
