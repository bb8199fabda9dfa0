#include "common/remote_keys.h"

#include <cctype>

namespace remote_keys {

const std::vector<RemoteKey>& Keys() {
    static const std::vector<RemoteKey> keys{
        {0x00, "Power", {"Power_toggle", "Standby", "On_off", "Power_on_off"}},
        {0x01, "Mute", {"Mute_toggle"}},
        {0x02, "Input", {"Source", "Input_source", "AV", "TV_AV"}},
        {0x03, "1", {"Num_1", "Digit_1"}},
        {0x04, "2", {"Num_2", "Digit_2"}},
        {0x05, "3", {"Num_3", "Digit_3"}},
        {0x06, "4", {"Num_4", "Digit_4"}},
        {0x07, "5", {"Num_5", "Digit_5"}},
        {0x08, "6", {"Num_6", "Digit_6"}},
        {0x09, "7", {"Num_7", "Digit_7"}},
        {0x0A, "8", {"Num_8", "Digit_8"}},
        {0x0B, "9", {"Num_9", "Digit_9"}},
        {0x0C, "0", {"Num_0", "Digit_0"}},
        {0x0D, "Replay", {"Catch_up", "Lookback"}},
        {0x0E, "Menu", {"Main_menu"}},
        {0x0F, "Info", {"Display", "OSD"}},
        {0x10, "Exit", {}},
        {0x11, "Back", {"Return"}},
        {0x12, "Home", {"Homepage"}},
        {0x13, "Settings", {"Setup", "Setting"}},
        {0x14, "List", {"Channel_list", "Ch_list"}},
        {0x15, "Subtitle", {"Subtitles", "Sub", "Caption"}},
        {0x16, "Guide", {"EPG", "Program_guide"}},
        {0x17, "Audio", {"Language", "Sound_track"}},
        {0x18, "Picture", {"Picture_mode", "P.mode", "Pic_mode"}},
        {0x19, "Red", {"F1"}},
        {0x1A, "Green", {"F2"}},
        {0x1B, "Yellow", {"F3"}},
        {0x30, "Vol_up", {"Vol+", "Volume+", "Volume_up", "Vol_inc"}},
        {0x31, "Ch_next", {"Ch+", "Ch_up", "Channel+", "Channel_up", "Prog+", "P+"}},
        {0x32, "Ch_prev", {"Ch-", "Ch_down", "Ch_dn", "Channel-", "Channel_down", "Prog-", "P-"}},
        {0x33, "Vol_dn", {"Vol-", "Volume-", "Volume_down", "Vol_down", "Vol_dec"}},
        {0x34, "Up", {"Arrow_up", "Cursor_up"}},
        {0x35, "Down", {"Arrow_down", "Cursor_down", "Dn"}},
        {0x36, "Left", {"Arrow_left", "Cursor_left"}},
        {0x37, "Right", {"Arrow_right", "Cursor_right"}},
        {0x40, "OK", {"Enter", "Select", "Confirm"}},
        {0x41, "Blue", {"F4"}},
        {0x42, "Rew", {"Rewind", "Fast_rewind", "FR", "Backward"}},
        {0x43, "Play", {}},
        {0x60, "FF", {"Fast_forward", "Forward", "Fwd"}},
        {0x61, "Rec", {"Record"}},
        {0xA0, "Pause", {"Play_pause"}},
        {0xA7, "Stop", {}},
    };
    return keys;
}

const RemoteKey* KeyWithCode(int code) {
    for (const RemoteKey& key : Keys()) {
        if (key.code == code)
            return &key;
    }
    return nullptr;
}

std::string NameForMatching(std::string_view name) {
    std::string text;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '_' || c == '.')
            continue;
        text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    // KEY_VOLUMEUP, BTN_OK: the prefix of Linux's key names, when something follows it.
    for (const std::string_view prefix : {"key", "btn"}) {
        if (text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0 &&
            (name.size() > prefix.size() &&
             (name[prefix.size()] == '_' || name[prefix.size()] == ' ')))
            return text.substr(prefix.size());
    }
    return text;
}

const RemoteKey* KeyNamed(std::string_view name) {
    const std::string wanted = NameForMatching(name);
    if (wanted.empty())
        return nullptr;
    for (const RemoteKey& key : Keys()) {
        if (NameForMatching(key.function) == wanted)
            return &key;
        for (const std::string_view other : key.otherNames) {
            if (NameForMatching(other) == wanted)
                return &key;
        }
    }
    return nullptr;
}

}  // namespace remote_keys
