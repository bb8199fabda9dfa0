#pragma once
// Why a code does not go on the remote, as remotectl's commands say it: a carrier the remote
// cannot send, or what came of writing it.

#include <cstdint>
#include <string>

#include "learning/write_learned_code.h"

// The sentence for a failed outcome; empty for a learned one.
const char* LearnProblem(LearnOutcome outcome);

// Why a code with this carrier cannot go on the remote (0: unmodulated), or empty.
std::string CarrierRefusal(std::uint32_t carrierHz);
