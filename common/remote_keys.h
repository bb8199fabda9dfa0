#pragma once
// The remote's keys: each key code of the remote (model 7731) with its function and the names
// code collections spell it with ("Vol_up", "VOL+", "KEY_VOLUMEUP"). The remote's picture, the
// simulated remote's key code list, remotectl keys and remotectl import all read this table.
// The four keys of the window (Power 00, Mute 01, Vol_up 30, Vol_dn 33) keep their codes; the
// picture's device keys (TV, set-top box, DVD, amplifier) choose what the remote controls and
// its -/-- key the digits' entry, so none of them has a code of its own.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace remote_keys {

struct RemoteKey {
    int code;                   // as the remote's key code list names the key
    std::string_view function;  // the name export writes ("Vol_up")
    // Further names files give the key; a name is matched without regard to case, to blanks,
    // '_' and '.', and to a leading "KEY_" or "BTN_" (so KEY_VOLUMEUP is Volume_up).
    std::vector<std::string_view> otherNames;
};

// Every key, in key code order.
const std::vector<RemoteKey>& Keys();

const RemoteKey* KeyWithCode(int code);
// The key a file's button name means; none for a name of no key.
const RemoteKey* KeyNamed(std::string_view name);

// A name as it is matched: lower case, without blanks, '_' and '.', nor a leading "key" or
// "btn" prefix.
std::string NameForMatching(std::string_view name);

}  // namespace remote_keys
