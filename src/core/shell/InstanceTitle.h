#pragma once
// Titles of several running copies: the first is "Ambrolux"; while a window
// titled exactly "Ambrolux" exists, a new copy takes "Ambrolux (n)" for the
// first free n = 2, 3, ...
#include <functional>
#include <string>

namespace amx {

std::string InstanceTitleFor(int n);

// Chooses the instance number: 1 when slot 1 is free, otherwise the first
// free n >= 2. `tryTake(n)` claims slot n and says whether it was free.
int ChooseInstanceNumber(const std::function<bool(int)>& tryTake, int maxInstances = 1000);

}  // namespace amx
