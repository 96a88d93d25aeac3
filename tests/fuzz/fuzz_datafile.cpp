// The data-file reader and writer. Property: whatever a file holds, once it
// has loaded, saving it, loading that and saving again gives the same
// worksheet and the same bytes.
#include <cstdint>
#include <string>

#include "WorksheetFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    using fuzz::Describe;
    using fuzz::Load;
    const std::string in = fuzz::ScratchFolder() + "/in.amx";
    const std::string out = fuzz::ScratchFolder() + "/out.amx";
    fuzz::WriteWholeFile(in, std::string_view(reinterpret_cast<const char*>(data), size));
    Session first;
    if (!Load(first, in)) return 0;
    const std::string bytes1 = WorksheetFileText(first.worksheet, true, false, true);
    fuzz::WriteWholeFile(out, bytes1);
    Session second;
    if (!Load(second, out)) fuzz::Fail("a saved worksheet does not load", bytes1);
    const std::string a = Describe(first.worksheet), b = Describe(second.worksheet);
    if (a != b) fuzz::Fail("save and reload changed the worksheet", a + "----\n" + b + "----\n" + bytes1);
    const std::string bytes2 = WorksheetFileText(second.worksheet, true, false, true);
    if (bytes1 != bytes2) fuzz::Fail("the second save differs", bytes1 + "----\n" + bytes2);
    return 0;
}
