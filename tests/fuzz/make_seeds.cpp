// Writes a few blocklist files as the program writes them, and a few as
// people and damaged disks leave them, to start the fuzzer's corpus from
// real file shapes rather than from nothing.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "protect/rotor_cipher.h"

namespace {

bool Write(const std::filesystem::path& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    using quellgate::EncodeBlocklist;
    using quellgate::Encipher;
    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"seed-empty", ""},
        {"seed-plain", EncodeBlocklist({"casino", "poker", "free games", "torrent", "chat room", "dating",
                                        "bet365", "lottery", "slots", "reddit", "twitch", "instagram",
                                        "tiktok", "netflix", "steam", "roblox", "minecraft", "9gag",
                                        "imgur", "discord"})},
        {"seed-unicode", EncodeBlocklist({"café", "über", "форум", "游戏", "ゲーム", "🎰 jackpot", "naïve\tsite",
                                          "say \"hi\""})},
        // Line breaks as an editor may leave them: LF only, a lone CR, no
        // break after the last line, blank lines.
        {"seed-breaks", Encipher("poker") + "\n" + Encipher("casino") + "\r" + "\r\n\r\n" + Encipher("slots")},
        // Bytes that are not UTF-8 and a NUL inside lines.
        {"seed-damaged", Encipher("ab") + std::string("\xC3\x28\x00\xFF", 4) + Encipher("cd") + "\r\n" +
                             std::string("\xED\xA0\x80\xF4\x90\x80\x80", 7) + "\r\n"},
        {"seed-long", EncodeBlocklist({std::string(300, 'x') + "tail", std::string(255, '~')})},
    };
    for (const auto& [name, content] : seeds) {
        if (!Write(folder / name, content)) {
            std::fprintf(stderr, "cannot write %s\n", (folder / name).string().c_str());
            return 1;
        }
    }
    std::printf("%zu seeds in %s\n", seeds.size(), folder.string().c_str());
    return 0;
}
