#pragma once
// The converter's work behind ConvertCode, for callers inside the project.

#include <string>
#include <string_view>

#include "converter/body_text.h"

namespace quorvel {

// The ConvertedCode of a normalised body, or an empty text when it cannot be converted.
std::string ConvertBody(std::string_view body);

}  // namespace quorvel
