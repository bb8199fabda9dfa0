#include <cstdio>

#include "commands.h"

int RunNormalise(const Arguments&) {
    std::fputs("irtool: normalise is not built yet\n", stderr);
    return 2;
}
