#pragma once

#include <initializer_list>
#include <string>

// Fills the "%s" marks of `pattern` with the values [first, last) in order and
// turns "%%" into "%". Marks without a value become empty; values without a
// mark are dropped. Header only, so the stub uses the same rule as the program.
inline std::string FormatTextFrom(const char* pattern, const std::string* first,
                                  const std::string* last) {
    std::string text;
    for (const char* at = pattern; *at != '\0'; ++at) {
        if (at[0] == '%' && at[1] == 's') {
            if (first != last)
                text += *first++;
            ++at;
        } else if (at[0] == '%' && at[1] == '%') {
            text += '%';
            ++at;
        } else {
            text += *at;
        }
    }
    return text;
}

inline std::string FormatText(const char* pattern, std::initializer_list<std::string> values) {
    return FormatTextFrom(pattern, values.begin(), values.end());
}
