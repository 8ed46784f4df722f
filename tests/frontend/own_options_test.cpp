// The table of vorn's own options drives parsing, value checks and the help:
// what the table says must hold for every entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/cli.h"
#include "frontend/exit.h"
#include "frontend/help.h"
#include "frontend/own_options.h"

using namespace vorn;

namespace {

/// The message a refused command line ends with, or "" when it parses.
std::string refusal(const std::vector<std::string>& args) {
  try {
    parseArguments(args);
  } catch (const ExitRequest& e) {
    return e.message;
  }
  return "";
}

}  // namespace

TEST(OwnOptions, EveryEntryIsInTheHelpOnce) {
  const std::string help = helpText();
  for (const OwnOption& o : ownOptions()) {
    const std::string line = std::string("\n    ") + o.usage + " ";
    const auto at = help.find(line);
    EXPECT_NE(at, std::string::npos) << o.name;
    EXPECT_EQ(help.find(line, at + 1), std::string::npos) << o.name;
  }
}

TEST(OwnOptions, NumbersAreCheckedAgainstTheirRange) {
  for (const OwnOption& o : ownOptions()) {
    if (o.kind != OptionKind::Number) continue;
    const std::string name = o.name;
    EXPECT_EQ(refusal({name + std::to_string(o.lowest), "a.pla"}), "") << name;
    EXPECT_EQ(refusal({name + std::to_string(o.highest), "a.pla"}), "") << name;
    const std::string expected = " (expected " + name + " and a number from " + std::to_string(o.lowest) + " to " +
                                 std::to_string(o.highest) + ")\n";
    for (const std::string& bad : {std::to_string(o.highest + 1), std::string("x"), std::string(""), std::string("1x")})
      EXPECT_EQ(refusal({name + bad}), "Invalid " + std::string(o.what) + " " + name + bad + expected) << bad;
    if (o.lowest > 0) {
      EXPECT_NE(refusal({name + std::to_string(o.lowest - 1)}), "");
    }
  }
  EXPECT_EQ(parseArguments({"-seed4294967295"}).seed, 4294967295u);
  EXPECT_EQ(parseArguments({"-j256"}).jobs, 256);
}

TEST(OwnOptions, WordsGluedOrSeparateFlagsWhole) {
  EXPECT_EQ(parseArguments({"-ofdr", "a.pla"}).outputType, kTypeFdr);
  const CommandLine separate = parseArguments({"-o", "f", "a.pla", "b.pla"});
  EXPECT_EQ(separate.outputType, kTypeF);
  EXPECT_EQ(separate.source, "a.pla");
  EXPECT_EQ(separate.destination, "b.pla");
  EXPECT_FALSE(parseArguments({"a.pla"}).outputType);
  EXPECT_TRUE(parseArguments({"-q"}).quiet);
  EXPECT_EQ(parseArguments({"-refine"}).settings.refine, 1);
  EXPECT_EQ(parseArguments({"-Tverify"}).mode, RunMode::Verify);
  EXPECT_EQ(*parseArguments({"-statsout.json"}).statsPath, "out.json");
  EXPECT_EQ(refusal({"-qx"}), "Unknown parameter -qx\n");
  EXPECT_EQ(refusal({"-refined"}), "Unknown parameter -refined\n");
  EXPECT_EQ(refusal({"-Tverifyx"}), "Unknown parameter -Tverifyx (did you mean -Tverify?)\n");
}
