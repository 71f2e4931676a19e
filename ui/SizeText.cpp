#include "ui/SizeText.h"

#include "engine/FileUtils.h"

#include <QLocale>

#include <limits>

QString GroupedNumber(int64_t n) {
    return QLocale().toString(static_cast<qlonglong>(n));
}

QString SizeInBytes(int64_t n) {
    return GroupedNumber(n) + " байт";
}

QString SizeWithKilobytes(int64_t n) {
    return SizeInBytes(n) + " (" + QLocale().toString(static_cast<double>(n) / 1024.0, 'f', 2) +
           " КБ)";
}

std::optional<int64_t> ParseGroupedNumber(const QString& text) {
    const std::string digits =
        StripGrouping(text.toStdString(), QLocale().groupSeparator().toStdString());
    if (digits.empty() || digits.size() > 19)
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        if (value > (std::numeric_limits<int64_t>::max() - (c - '0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}
