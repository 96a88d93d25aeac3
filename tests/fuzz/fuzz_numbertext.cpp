// Numbers as text: conversion, normalising and formatting.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "common/CommonState.h"
#include "common/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    const unsigned choice = fuzz::TakeByte(in);
    const std::string_view text = in;
    int errorPos = 0;
    long double x = ConvertExtended(text, errorPos);
    ConvertInteger(text, errorPos);
    NormaliseNumberText(text);
    RemoveCommas(text);
    CommonState cs;
    TextToExtended(cs, text);
    TextToInteger(cs, text);
    for (NumberFormatKind kind : {NumberFormatKind::WithCommas, NumberFormatKind::WithoutCommas})
        ReformatNumberText(kind, text);
    const int decimals = static_cast<int>(choice % 20);
    FormatFixed(decimals, x, choice & 0x80);
    FormatGeneral(x);
    FormatFixedOrGeneral(decimals, x);
    FormatSignificant(cs, decimals + 1, x);
    FormatNumberPadLeft(cs, decimals, decimals, x);
    return 0;
}
