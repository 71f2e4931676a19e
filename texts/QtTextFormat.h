#pragma once

#include "texts/TextFormat.h"

#include <QString>

#include <initializer_list>
#include <string>
#include <vector>

// FormatText for the Qt side: the same "%s" marks filled in order, each value
// inserted as it is (a value is never read as a pattern).
inline QString FormatQText(const char* pattern, std::initializer_list<QString> values) {
    std::string text;
    auto next = values.begin();
    for (const char* at = pattern; *at != '\0'; ++at) {
        if (at[0] == '%' && at[1] == 's') {
            if (next != values.end())
                text += (next++)->toStdString();
            ++at;
        } else if (at[0] == '%' && at[1] == '%') {
            text += '%';
            ++at;
        } else {
            text += *at;
        }
    }
    return QString::fromStdString(text);
}
