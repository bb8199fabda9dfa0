// A converter that misbehaves on request, loaded by name as the real one is: it answers no
// text at all for "null", throws for "throw", and otherwise returns its input.
#include <cstdint>
#include <stdexcept>
#include <string_view>

extern "C" __attribute__((visibility("default"))) const char* ConvertCode(const char* input,
                                                                          int32_t) {
    const std::string_view text(input);
    if (text == "null")
        return nullptr;
    if (text == "throw")
        throw std::runtime_error("the converter failed");
    return input;
}
