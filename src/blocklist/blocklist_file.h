#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "blocklist/active_keyword_list.h"
#include "platform/dialogs.h"
#include "platform/file_store.h"
#include "platform/process.h"

namespace quellgate {

// The custom keywords between runs: the file "blocklist" beside the
// executable, one enciphered keyword per line, CR LF after each.
class BlocklistFile {
public:
    BlocklistFile(FileStore& files, const Process& process, ActiveKeywordList& list, Dialogs& dialogs)
        : files_(files), process_(process), list_(list), dialogs_(dialogs) {}

    std::string Path() const;

    // Adds every stored keyword that is not listed yet. The message for the
    // user when the file exists but could not be read.
    std::optional<std::string> LoadBlocklist();

    // Rewrites the file from the active list, network names left out.
    void SaveBlocklist();

private:
    std::optional<std::string> ReadInto();
    // Creates the empty file that a read found missing.
    void EnsureBlocklistFile(const std::string& path);

    FileStore& files_;
    const Process& process_;
    ActiveKeywordList& list_;
    Dialogs& dialogs_;
    // A file we could not read is never overwritten: it may hold keywords
    // that are not in the list.
    bool unread_ = false;
    bool toldSaveFailure_ = false;
};

// The file's bytes for a list of entries, and the entries for a file's bytes;
// a keyword never holds a control character, whatever the file holds.
std::string EncodeBlocklist(const std::vector<std::string>& entries);
std::vector<std::string> DecodeBlocklist(std::string_view content);

}  // namespace quellgate
