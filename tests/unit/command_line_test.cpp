// What the command line asks before any window opens.
#include <gmock/gmock.h>

#include "shell/command_line.h"

namespace quellgate {
namespace {

TEST(CommandLine, AnswersVersionOnlyWhenAsked) {
    const char* plain[] = {"quellgate"};
    EXPECT_EQ(VersionRequested(1, plain), std::nullopt);
    const char* qtOptions[] = {"quellgate", "-platform", "xcb"};
    EXPECT_EQ(VersionRequested(3, qtOptions), std::nullopt);
    const char* asked[] = {"quellgate", "-platform", "xcb", "--version"};
    EXPECT_THAT(VersionRequested(4, asked).value_or(""),
                ::testing::MatchesRegex(R"(quellgate [0-9]+\.[0-9]+\.[0-9]+)"));
}

}  // namespace
}  // namespace quellgate
