#pragma once
// Where a key's pictures lie in the window's keyPictures: four sets of 168 pictures, one per
// key code 00..A7, after an unused index 0.

#include <cstddef>
#include <optional>
#include <string_view>

#include "device/hex_fields.h"

enum class KeyPictureSet {
    kNotLearned = 0,
    kLearned = 1,
    kLearning = 2,
    kDownloaded = 3,
};

inline constexpr int kKeyPicturesPerSet = 168;
inline constexpr std::size_t kKeyPictureCount = 1 + 4 * kKeyPicturesPerSet;  // 673

// The index of the picture of the key with this Code in a set: 1 + 168 x set + N, N the Code
// read as hex. None for a Code that is not two hex digits or lies past A7, which has no
// picture.
// The index of key code `code`'s picture in a set; code must lie below kKeyPicturesPerSet.
constexpr std::size_t KeyPictureIndex(KeyPictureSet set, int code) {
    return static_cast<std::size_t>(1 + kKeyPicturesPerSet * static_cast<int>(set) + code);
}

inline std::optional<std::size_t> KeyPictureIndex(KeyPictureSet set, std::string_view code) {
    const auto number = code.size() == 2 ? HexNumber(code) : std::nullopt;
    if (!number || *number >= kKeyPicturesPerSet)
        return std::nullopt;
    return KeyPictureIndex(set, *number);
}
