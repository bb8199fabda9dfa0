#include <cstdio>

#include "commands.h"

namespace {
int NotYet() {
    std::fputs("irtool: the converter is not built yet\n", stderr);
    return 2;
}
}  // namespace

int RunRender(const Arguments&) {
    return NotYet();
}
int RunDecode(const Arguments&) {
    return NotYet();
}
int RunConvert(const Arguments&) {
    return NotYet();
}
