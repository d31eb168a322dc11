#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "platform/outcome.h"

namespace quellgate {

// The custom keywords between runs: the file "blocklist", one enciphered
// keyword per line, CR LF after each.
class BlocklistFile {
public:
    explicit BlocklistFile(FileStore& files) : files_(files) {}

    struct Loaded {
        std::vector<std::string> keywords;
        std::optional<std::string> unreadable;  // the reason, when the file exists but could not be read
    };

    std::string Path() const;

    // A missing file is created empty and reads as no keywords.
    Loaded Load();

    // Rewrites the file from the active list, network names left out.
    Outcome Save(const std::vector<std::string>& entries);

private:
    FileStore& files_;
};

// The file's bytes for a list of entries, and the keywords for a file's bytes.
std::string EncodeBlocklist(const std::vector<std::string>& entries);
std::vector<std::string> DecodeBlocklist(std::string_view content);

}  // namespace quellgate
