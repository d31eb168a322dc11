#include "linux/system/settings_store.h"

#include <cerrno>
#include <utility>
#include <vector>

namespace quellgate::posix {
namespace {

constexpr std::string_view kHeader =
    "# Quellgate settings: name=value a line; '%' and two hex digits stand for a byte\n";

bool Encoded(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || byte == '%' || byte == '=' || byte == '#';
}

std::string Encode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!Encoded(byte)) {
            out += c;
            continue;
        }
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

struct Setting {
    std::string name;
    std::string value;
};

// The name and the value as written; nothing for a comment or a line without '='.
std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // saved by a Windows editor
    if (line.empty() || line.front() == '#') return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return std::pair{line.substr(0, equals), line.substr(equals + 1)};
}

// Nothing for a comment or a damaged line.
std::optional<Setting> Parse(std::string_view line) {
    const auto parts = Split(line);
    if (!parts) return std::nullopt;
    auto name = Decode(parts->first);
    auto value = Decode(parts->second);
    if (!name || !value) return std::nullopt;
    return Setting{std::move(*name), std::move(*value)};
}

std::vector<std::string_view> Lines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        lines.push_back(content.substr(0, end));
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    }
    return lines;
}

}  // namespace

std::optional<std::string> FindSetting(std::string_view content, std::string_view name) {
    std::optional<std::string> found;
    for (const auto line : Lines(content))
        if (auto setting = Parse(line); setting && setting->name == name) found = std::move(setting->value);
    return found;
}

bool HoldsSetting(std::string_view content, std::string_view name) {
    for (const auto line : Lines(content))
        if (const auto parts = Split(line); parts && Decode(parts->first) == name) return true;
    return false;
}

std::string WithSetting(std::optional<std::string_view> content, std::string_view name,
                        std::string_view text) {
    const std::string line = Encode(name) + "=" + Encode(text) + "\n";
    std::string updated = content ? std::string() : std::string(kHeader);
    bool written = false;
    for (const auto kept : Lines(content.value_or(std::string_view()))) {
        if (const auto setting = Parse(kept); setting && setting->name == name) {
            if (!std::exchange(written, true)) updated += line;
            continue;
        }
        updated.append(kept).append("\n");
    }
    if (!written) updated += line;
    return updated;
}

std::optional<std::string> FileSettingsStore::Read(std::string_view name) const noexcept {
    try {
        const auto content = files_.Read(kFileName);
        const auto* text = std::get_if<std::string>(&content);
        return text ? FindSetting(*text, name) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

bool FileSettingsStore::Holds(std::string_view name) const noexcept {
    try {
        const auto content = files_.Read(kFileName);
        const auto* text = std::get_if<std::string>(&content);
        return text && HoldsSetting(*text, name);
    } catch (...) {
        return false;
    }
}

Outcome FileSettingsStore::Readable() const noexcept {
    try {
        const auto content = files_.Read(kFileName);
        if (const auto* failure = std::get_if<FileStore::Unreadable>(&content))
            return Outcome::Failure(failure->reason);
        return Outcome::Success();
    } catch (...) {
        return Outcome::Failure(ErrorText(ENOMEM));
    }
}

Outcome FileSettingsStore::Write(std::string_view name, std::string_view text) noexcept {
    try {
        auto content = files_.Read(kFileName);
        // What cannot be read is not overwritten: it holds the other values.
        if (auto* failure = std::get_if<FileStore::Unreadable>(&content))
            return Outcome::Failure(failure->reason);
        const auto* old = std::get_if<std::string>(&content);
        return files_.Replace(
            kFileName, WithSetting(old ? std::optional<std::string_view>(*old) : std::nullopt, name, text));
    } catch (...) {
        return Outcome::Failure(ErrorText(ENOMEM));
    }
}

}  // namespace quellgate::posix
