#include <gtest/gtest.h>

#include "sim/Options.h"

namespace {

std::string Refusal(const std::vector<std::string>& args) {
    sim::SimOptions options;
    std::string error;
    EXPECT_FALSE(sim::ParseOptions(args, options, error));
    return error;
}

// getopt_long on its own would take abbreviations, clustered short options and "--";
// scripts only ever had the documented spellings.
TEST(SimOptionSpellings, OnlyTheDocumentedSpellingsAreTaken) {
    for (const std::string bad : {"--bur", "--tur=5", "--lin", "-hx", "--", "-", "COM2"}) {
        EXPECT_EQ(Refusal({"--link", "COM1", bad}), "unknown option '" + bad + "'");
    }
    EXPECT_EQ(Refusal({"--link", "COM1", "--echo=1"}), "--echo takes no value");
    EXPECT_EQ(Refusal({"--link", "COM1", "--port"}), "--port needs a value");
    EXPECT_EQ(Refusal({"--link", "COM1", "--burst", "250"}), "unknown option '250'");

    sim::SimOptions options;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"--help=now"}, options, error));
    EXPECT_TRUE(options.help);
    // A parse after a refused one starts afresh.
    ASSERT_TRUE(sim::ParseOptions({"--link", "COM1", "-h"}, options, error));
    EXPECT_TRUE(options.help);
}

}  // namespace
