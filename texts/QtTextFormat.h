#pragma once

#include "texts/TextFormat.h"

#include <QString>

#include <initializer_list>
#include <string>
#include <vector>

// FormatText for the Qt side: the same "%s" marks filled in order, each value
// inserted as it is (a value is never read as a pattern).
inline QString FormatQText(const char* pattern, std::initializer_list<QString> values) {
    std::vector<std::string> texts;
    for (const QString& value : values)
        texts.push_back(value.toStdString());
    return QString::fromStdString(
        FormatTextFrom(pattern, texts.data(), texts.data() + texts.size()));
}
