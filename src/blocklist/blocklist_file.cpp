#include "blocklist/blocklist_file.h"

#include "blocklist/network_switches.h"
#include "protect/rotor_cipher.h"
#include "text/messages.h"
#include "text/utf8.h"

namespace quellgate {

std::string EncodeBlocklist(const std::vector<std::string>& entries) {
    std::string content;
    for (const auto& entry : entries) {
        if (IsNetworkNameExactly(entry)) continue;
        content += Encipher(entry);
        content += "\r\n";
    }
    return content;
}

std::vector<std::string> DecodeBlocklist(std::string_view content) {
    std::vector<std::string> keywords;
    while (!content.empty()) {
        const std::size_t end = content.find_first_of("\r\n");
        const std::string_view line = content.substr(0, end);
        // A line ends at CR, LF or CR LF.
        std::size_t next = end == std::string_view::npos ? content.size() : end + 1;
        if (end != std::string_view::npos && content[end] == '\r' && next < content.size() &&
            content[next] == '\n')
            ++next;
        keywords.push_back(SanitizeUtf8(ControlRunsToSpaces(Decipher(line))));
        content.remove_prefix(next);
    }
    return keywords;
}

std::string BlocklistFile::Path() const {
    std::string folder = process_.ExecutableFolder();
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
    return folder + "blocklist";
}

void BlocklistFile::EnsureBlocklistFile(const std::string& path) { files_.Replace(path, ""); }

std::optional<std::string> BlocklistFile::ReadInto() {
    const std::string path = Path();
    auto content = files_.Read(path);
    if (const auto* failure = std::get_if<FileStore::Unreadable>(&content))
        return texts::BlocklistNotRead(path, failure->reason);
    if (const auto* text = std::get_if<std::string>(&content))
        list_.AddAll(DecodeBlocklist(*text));
    else
        EnsureBlocklistFile(path);
    return std::nullopt;
}

std::optional<std::string> BlocklistFile::LoadBlocklist() {
    auto failure = ReadInto();
    unread_ = failure.has_value();
    return failure;
}

void BlocklistFile::SaveBlocklist() {
    if (unread_) {
        if (const auto failure = ReadInto()) {
            dialogs_.ShowMessage(*failure, texts::kAppTitle, MessageIcon::Exclamation);
            return;
        }
        unread_ = false;
    }
    const std::string path = Path();
    const Outcome written = files_.Replace(path, EncodeBlocklist(list_.Entries()));
    if (written) {
        toldSaveFailure_ = false;
        return;
    }
    if (toldSaveFailure_) return;
    toldSaveFailure_ = true;
    dialogs_.ShowMessage(texts::BlocklistNotSaved(path, written.reason()), texts::kAppTitle,
                         MessageIcon::Exclamation);
}

}  // namespace quellgate
