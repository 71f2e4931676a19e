#pragma once

#include <initializer_list>
#include <string>

// Fills the "%s" marks of `pattern` with `values` in order and turns "%%" into "%".
// Marks without a value become empty; values without a mark are dropped.
// Header only, so the stub uses the same rule as the program.
inline std::string FormatText(const char* pattern, std::initializer_list<std::string> values) {
    std::string text;
    const std::string* next = values.begin();
    for (const char* at = pattern; *at != '\0'; ++at) {
        if (at[0] == '%' && at[1] == 's') {
            if (next != values.end())
                text += *next++;
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
