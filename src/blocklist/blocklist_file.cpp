#include "blocklist/blocklist_file.h"

#include "blocklist/keyword_rules.h"
#include "blocklist/networks.h"
#include "protect/rotor_cipher.h"

namespace quellgate {
namespace {

constexpr std::string_view kFileName = "blocklist";

}  // namespace

std::string EncodeBlocklist(const std::vector<std::string>& entries) {
    std::string content;
    for (const auto& entry : entries) {
        if (IsNetworkName(entry)) continue;
        content += Encipher(entry);
        content += "\r\n";
    }
    return content;
}

std::vector<std::string> DecodeBlocklist(std::string_view content) {
    std::vector<std::string> keywords;
    while (!content.empty()) {
        // A line ends at CR, LF or CR LF.
        const std::size_t end = content.find_first_of("\r\n");
        const std::string_view line = content.substr(0, end);
        std::size_t next = end == std::string_view::npos ? content.size() : end + 1;
        if (end != std::string_view::npos && content[end] == '\r' && next < content.size() &&
            content[next] == '\n')
            ++next;
        if (!line.empty()) keywords.push_back(CleanKeyword(Decipher(line)));
        content.remove_prefix(next);
    }
    return keywords;
}

std::string BlocklistFile::Path() const { return files_.PathOf(kFileName); }

BlocklistFile::Loaded BlocklistFile::Load() {
    auto content = files_.Read(kFileName);
    if (auto* text = std::get_if<std::string>(&content)) return {DecodeBlocklist(*text), std::nullopt};
    if (auto* failure = std::get_if<FileStore::Unreadable>(&content)) return {{}, std::move(failure->reason)};
    files_.Replace(kFileName, "");  // nothing to lose; a folder that cannot be written shows at the next save
    return {};
}

Outcome BlocklistFile::Save(const std::vector<std::string>& entries) {
    return files_.Replace(kFileName, EncodeBlocklist(entries));
}

}  // namespace quellgate
