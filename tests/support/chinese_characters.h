#pragma once
// Whether a text holds a Chinese character: a CJK ideograph, radical or symbol, or a full-width
// form ("，", "！", "－"), as the Chinese texts use them. An English text holds none.

#include <QString>

inline bool IsChineseCharacter(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF)        // radicals
           || (c >= 0x3000 && c <= 0x303F)     // CJK symbols and punctuation
           || (c >= 0x3400 && c <= 0x4DBF)     // extension A
           || (c >= 0x4E00 && c <= 0x9FFF)     // unified ideographs
           || (c >= 0xF900 && c <= 0xFAFF)     // compatibility ideographs
           || (c >= 0xFF00 && c <= 0xFFEF)     // full-width forms
           || (c >= 0x20000 && c <= 0x3134F);  // extensions B to G
}

inline bool HasChineseCharacter(const QString& text) {
    for (const char32_t c : text.toUcs4())
        if (IsChineseCharacter(c))
            return true;
    return false;
}
