// Lists of numbers typed by the user.
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "common/CommonState.h"
#include "common/ValueLists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CommonState cs;
    ValueList list = ParseValueList(cs, text);
    if (list.texts.size() != list.values.size()) fuzz::Fail("value list texts and values differ in number");
    if (list.size() > static_cast<std::size_t>(MaxListEntries)) fuzz::Fail("value list longer than its maximum");
    ParseNumbers(text);
    ParseIntegers(text);
    long long first = FirstPositiveInteger(text);
    if (first < -1) fuzz::Fail("FirstPositiveInteger below -1");
    return 0;
}
