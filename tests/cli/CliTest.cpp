#include "support/TestSupport.h"

#include <gtest/gtest.h>

using mirel::test::runProgram;

TEST(Cli, HelpListsTheSubcommands) {
    const auto r = runProgram({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("Commands:"), std::string::npos);
    EXPECT_NE(r.out.find("encipher"), std::string::npos);
}

TEST(Cli, VersionAndUnknownCommand) {
    const auto version = runProgram({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "mirel-cli 8.0713\n");
    const auto unknown = runProgram({QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_TRUE(unknown.out.empty());
}

TEST(Cli, EncipherWithAFixedStart) {
    const auto r = runProgram({QStringLiteral("encipher"), QStringLiteral("--seed"), QStringLiteral("abcd"),
                               QStringLiteral("--start"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "001F729IBF\n");
}

TEST(Cli, EncipherRejectsBadNumbers) {
    for (const char* start : {"1024", "x", "-1"}) {
        const auto r = runProgram({QStringLiteral("encipher"), QStringLiteral("--seed"), QStringLiteral("abcd"),
                                   QStringLiteral("--start"), QString::fromLatin1(start)});
        EXPECT_EQ(r.exitCode, 2) << start;
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(r.out.empty());
    }
}
