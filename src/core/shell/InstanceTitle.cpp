#include "shell/InstanceTitle.h"

#include "shell/ShellDefaults.h"

namespace amx {

std::string InstanceTitleFor(int n) {
    if (n <= 1) return AppProductName;
    return AppProductName + " (" + std::to_string(n) + ")";
}

int ChooseInstanceNumber(const std::function<bool(int)>& tryTake, int maxInstances) {
    if (tryTake(1)) return 1;
    for (int n = 2; n <= maxInstances; ++n)
        if (tryTake(n)) return n;
    // Every slot taken: share the plain title rather than refuse to start.
    return 1;
}

}  // namespace amx
