#include "blocklist/blocking_hours.h"

#include <algorithm>
#include <vector>

namespace quellgate {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::size_t start = text.find_first_not_of(kBlanks); start != std::string_view::npos;) {
        const std::size_t end = std::min(text.find_first_of(kBlanks, start), text.size());
        words.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(kBlanks, end);
    }
    return words;
}

bool SameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// Nothing unless it is one or two decimal digits.
std::optional<int> Number(std::string_view digits) {
    if (digits.empty() || digits.size() > 2) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

bool BlockingHours::Blocks(LocalTime now) const {
    if (always) return true;
    const int length = end > start ? end - start : end - start + kMinutesInDay;
    const std::size_t yesterday = (now.day + kDaysInWeek - 1) % kDaysInWeek;
    return (days.at(now.day) && now.minute >= start && now.minute - start < length) ||
           (days.at(yesterday) && now.minute + kMinutesInDay - start < length);
}

std::string ToText(const BlockingHours& hours) {
    if (hours.always) return "always";
    std::string text;
    for (std::size_t day = 0; day < kDaysInWeek; ++day)
        if (hours.days[day]) text.append(kDayNames[day]).append(" ");
    return text + TimeOfDay(hours.start) + "-" + TimeOfDay(hours.end);
}

std::optional<BlockingHours> BlockingHoursFrom(std::string_view text) {
    const std::vector<std::string_view> words = Words(text);
    if (words.size() == 1 && SameLetters(words[0], "always")) return BlockingHours{};
    if (words.size() < 2) return std::nullopt;
    BlockingHours hours{false};
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        const auto named = std::find_if(kDayNames.begin(), kDayNames.end(),
                                        [&](std::string_view name) { return SameLetters(words[i], name); });
        if (named == kDayNames.end()) return std::nullopt;
        hours.days.at(static_cast<std::size_t>(named - kDayNames.begin())) = true;
    }
    const std::string_view span = words.back();
    const std::size_t dash = span.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const auto start = MinuteOfDay(span.substr(0, dash)), end = MinuteOfDay(span.substr(dash + 1));
    if (!start || !end) return std::nullopt;
    hours.start = *start;
    hours.end = *end;
    return hours;
}

std::optional<int> MinuteOfDay(std::string_view text) {
    const auto words = Words(text);
    if (words.size() != 1) return std::nullopt;
    text = words.front();
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.size() != colon + 3) return std::nullopt;
    const auto hour = Number(text.substr(0, colon)), minute = Number(text.substr(colon + 1));
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return *hour * 60 + *minute;
}

std::string TimeOfDay(int minute) {
    const auto twoDigits = [](int n) {
        return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    };
    return twoDigits(minute / 60) + ":" + twoDigits(minute % 60);
}

std::optional<BlockingHours> LoadBlockingHours(const SettingsStore& store) {
    if (!store.Holds(kBlockingHoursSetting)) return BlockingHours{};
    // A value of another type reads as none, and "" is no rule.
    return BlockingHoursFrom(store.Read(kBlockingHoursSetting).value_or(""));
}

Outcome StoreBlockingHours(SettingsStore& store, const BlockingHours& hours) {
    return store.Write(kBlockingHoursSetting, ToText(hours));
}

}  // namespace quellgate
