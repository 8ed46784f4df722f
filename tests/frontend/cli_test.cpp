#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "frontend/cli.h"
#include "frontend/exit.h"
#include "model/settings.h"
#include "support/process.h"

using namespace vorn;
using test::runVorn;

namespace {
const char kSmall[] = ".i 2\n.o 1\n.type fr\n01 1\n10 0\n";

std::string summary(const std::string& path, const char* type, int i, int o, int p) {
  return "Input function: " + path + "\nFunction type: " + type + "\nInput variables: " + std::to_string(i) +
         "\nOutput variables: " + std::to_string(o) + "\nDefined terms: " + std::to_string(p) + "\n\n";
}

CommandLine parse(std::vector<std::string> args) { return parseArguments(args); }
}  // namespace

TEST(CommandLine, NoArgumentsOnATerminalPrintsBannerAndUsage) {
  const auto r = test::runVornOnTerminal({});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, test::banner() + usageText());
  EXPECT_EQ(r.out, "");
  EXPECT_NE(std::string(usageText()).find("    -Tminterm    Splits function into minterms\n"), std::string::npos);
}

TEST(CommandLine, BadVariantLettersNameTheOptionLetter) {
  const std::vector<std::pair<std::string, char>> cases = {
      {"-Q", 'Q'}, {"-Qx", 'Q'}, {"-C5", 'C'}, {"-DX", 'D'}, {"-FX", 'F'}, {"-RX", 'R'}, {"-Sx", 'S'}};
  for (const auto& [arg, letter] : cases) {
    const auto r = runVorn({arg, "missing.pla"});
    EXPECT_EQ(r.exitCode, 1) << arg;
    EXPECT_EQ(r.err, test::banner() + "Unknown option " + letter + "\n") << arg;
  }
}

TEST(CommandLine, UnknownWordsEndTheRun) {
  auto r = runVorn({"-endcovx", "x.pla"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Unknown parameter- -endcovx\n");
  r = runVorn({"-z", "-Q", "x.pla"});  // the first fatal option stops parsing
  EXPECT_EQ(r.err, test::banner() + "Unknown parameter -z\n");
  const std::string src = test::writeFile(test::tempPath("skip.pla"), kSmall);
  // A mistyped -s, -i or -T word ends the run too, before anything is written, naming the word it resembles.
  const std::string dst = test::writeFile(test::tempPath("mistyped_dst.pla"), "old\n");
  for (const auto& [word, meant] : std::vector<std::pair<std::string, std::string>>{
           {"-Tchek", " (did you mean -Tcheck?)"}, {"-singel", " (did you mean -single?)"},
           {"-inof", " (did you mean -info?)"}, {"-Tverfy", " (did you mean -Tverify?)"}, {"-Tfoo", ""}}) {
    r = runVorn({word, src, dst});
    EXPECT_EQ(r.exitCode, 1) << word;
    EXPECT_EQ(r.err, test::banner() + "Unknown parameter " + word + meant + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::readFile(dst), "old\n") << word;
  }
  std::remove(dst.c_str());
}

TEST(CommandLine, MissingOrTermlessSourceIsFileNotFound) {
  auto r = runVorn({"/nonexistent/a.pla"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() +
                       "Input function: /nonexistent/a.pla\nFile not found\n"
                       "cannot open /nonexistent/a.pla: No such file or directory\n");
  const std::string src = test::writeFile(test::tempPath("keywords.pla"), ".i 2\n.o 1\n.e\n");
  r = runVorn({"-CP9", src});  // a bad option value is not reported before the missing term
  EXPECT_EQ(r.err, test::banner() + "Input function: " + src + "\nFile not found\n" + src + " holds no term\n");
  EXPECT_EQ(r.exitCode, 1);
  // The only term is cut off by the end of the file: refused, not a function of 0 terms.
  const std::string cut = test::writeFile(test::tempPath("cut.pla"), ".i 4\n.o 1\n01");
  r = runVorn({"-info", cut});
  EXPECT_EQ(r.err, test::banner() + "Input function: " + cut + "\n" + cut +
                       ": line 3: a term cut off by the end of the file (its input part has 2 of 4 characters)\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
}

TEST(CommandLine, MalformedSourceIsAClearError) {
  const std::string src = test::writeFile(test::tempPath("huge.pla"), ".i 70000\n.o 1\n0 1\n");
  const auto r = runVorn({"-info", src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Number of inputs out of range: 70000"), std::string::npos);
  EXPECT_EQ(r.out, "");
}

TEST(CommandLine, UnreadableKeywordsAreRefusedNamingFileKeywordAndLine) {
  const std::string src = test::writeFile(test::tempPath("fsm.pla"), ".i 2\n.o 1\n.type fr\n.mv 3 0 2 4\n00 1\n");
  auto r = runVorn({src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Input function: " + src + "\n" + src +
                       ": line 4: the keyword .mv (multiple-valued variables) cannot be read\n");
  const std::string kiss = test::writeFile(test::tempPath("kiss.pla"), ".kiss\n.i 1\n.o 1\n0 s0 s1 1\n");
  r = runVorn({"-Tcheck", kiss});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Input function: " + kiss + "\n" + kiss +
                       ": line 1: the keyword .kiss (state machine) cannot be read\n");
}

TEST(CommandLine, SummaryNamesTheTypeAsRead) {
  for (const char* type : {"f", "fd", "fr", "fdr", "r"}) {
    const std::string src =
        test::writeFile(test::tempPath(std::string("t_") + type + ".pla"), std::string(".i 2\n.o 1\n.type ") + type + "\n1- 1\n");
    const auto r = runVorn({"-info", src});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find(std::string("Function type: ") + type + "\n"), std::string::npos) << r.err;
  }
}

TEST(CommandLine, OptionsFillTheSettings) {
  const Settings s = parse({"-CM30", "-CP2", "-DD0", "-DF-4", "-E4", "-FR77", "-Qg", "-RM12", "-SDx", "-St2.5", "-Si9",
                            "-Sn3", "-Sq40", "-endcov", "-single"})
                         .settings;
  EXPECT_EQ(s.cdMutationRatio, 30);
  EXPECT_EQ(s.cpMethod, 2);
  EXPECT_EQ(s.dfDirection, 0);
  EXPECT_EQ(s.depthFactor, -4);
  EXPECT_EQ(s.ieMethod, 4);
  EXPECT_EQ(s.fcMinRatio, 77);
  EXPECT_EQ(s.criterion, 4);
  EXPECT_EQ(s.irMutationRatio, 12);
  EXPECT_EQ(s.substituteOutputDc, 1);
  EXPECT_EQ(s.stopOnTime, 1);
  EXPECT_FLOAT_EQ(s.timeLimit, 2.5f);
  EXPECT_EQ(s.iterationLimit, 9);
  EXPECT_EQ(s.intervalFactor, 3);
  EXPECT_EQ(s.qualityLimit, 40);
  EXPECT_EQ(s.coverAtEnd, 1);
  EXPECT_EQ(s.singleOutput, 1);
}

TEST(CommandLine, NumbersFollowAtoiRules) {
  EXPECT_EQ(parse({"-Efoo"}).settings.ieMethod, 0);
  EXPECT_EQ(parse({"-Si 12abc"}).settings.iterationLimit, 12);
  EXPECT_EQ(parse({"-Si99999999999"}).settings.iterationLimit, 2147483647);  // saturates instead of overflowing
  EXPECT_EQ(parse({"-QG"}).settings.criterion, 5);
  // Each parse starts from the defaults: nothing carries over from the last one.
  EXPECT_EQ(parse({"-Si3"}).settings.criterion, Settings{}.criterion);
}

TEST(CommandLine, ModesAndPaths) {
  EXPECT_EQ(parse({"-info", "-Tcheck"}).mode, RunMode::Check);  // the later word wins
  EXPECT_EQ(parse({"-Tminterm"}).mode, RunMode::Minterm);
  const CommandLine cl = parse({"a.pla", "b.pla"});
  EXPECT_EQ(cl.source, "a.pla");
  EXPECT_EQ(cl.destination, "b.pla");
  EXPECT_EQ(parse({"a.pla"}).destination, "");
  EXPECT_EQ(parse({"-", "-"}).destination, "");
  EXPECT_FALSE(parse({"-Si1"}).hasSource);
}

TEST(CommandLine, InfoOnAnFdFunctionPrintsItsFigures) {
  const std::string src = test::writeFile(test::tempPath("fd.pla"), ".i 3\n.o 2\n01- 10\n1-1 11\n--0 01\n");
  const auto r = runVorn({"-info", src});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, test::banner() + summary(src, "fd", 3, 2, 3));
  EXPECT_EQ(r.out, "Terms: 3\nLiterals: 5\nOutput cost: 4\nGates: 4\nGEs: 8\n\n");
}

TEST(CommandLine, RunningOutOfMemoryIsAFailureNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#else
  // 2^27 minterms do not fit in 300 MB of address space.
  const std::string src = test::writeFile(test::tempPath("m27.pla"), ".i 27\n.o 1\n" + std::string(27, '-') + " 1\n");
  const std::string dst = test::tempPath("m27_out.pla");
  const std::string cmd = "ulimit -v 300000; '" + std::string(VORN_BINARY) + "' -Tminterm '" + src + "' '" + dst +
                          "' 2>'" + dst + ".err'";
  const int status = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string err = test::readFile(dst + ".err");
  EXPECT_NE(err.find("Out of memory\n"), std::string::npos) << err;
  EXPECT_EQ(test::readFile(dst), "<missing>");
  std::remove((dst + ".err").c_str());
#endif
}

TEST(CommandLine, SeedWordIsReadBeforeTheWordComparison) {
  EXPECT_EQ(parse({"-seed0"}).seed, 0u);
  EXPECT_EQ(parse({"-seed4294967295"}).seed, 4294967295u);
  EXPECT_EQ(parse({"-seed12", "-seed7"}).seed, 7u);  // the later word wins
  const CommandLine single = parse({"-single"});
  EXPECT_FALSE(single.seed.has_value());
  EXPECT_EQ(single.settings.singleOutput, 1);
  for (const char* bad : {"-seed", "-seed-1", "-seed4294967296", "-seed12x", "-seed 3", "-seed99999999999"}) {
    const auto r = runVorn({bad, "x.pla"});
    EXPECT_EQ(r.exitCode, 1) << bad;
    EXPECT_EQ(r.err, test::banner() + "Invalid seed " + bad + " (expected -seed and a number from 0 to 4294967295)\n")
        << bad;
  }
}

TEST(CommandLine, SameSeedGivesTheSameResultByteForByte) {
  const std::string src = test::writeFile(test::tempPath("seeded.pla"),
                                          ".i 4\n.o 2\n.type fr\n0000 10\n0011 11\n1-11 01\n0110 10\n1100 01\n1000 00\n"
                                          "0101 11\n1101 10\n");
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"-Si8"}, {"-Si5", "-CP3", "-E4"}, {"-FR100", "-Si6", "-single"}}) {
    std::vector<std::string> args = options;
    args.push_back("-seed99");
    args.push_back(src);
    const auto a = runVorn(args), b = runVorn(args);
    EXPECT_EQ(a.exitCode, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out.find(".e\n"), std::string::npos);
  }
}
