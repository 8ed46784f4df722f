// The golden guard: seeded runs of the whole program, in process, on a few
// small functions under every generator, expansion method, solver and mode
// switch, compared character for character (report and written PLA) with
// stored results.  A refactoring that changes one random draw, one order or
// one message shows up here.  Only the elapsed-time figure is masked.
//
// After an intended change of results, regenerate the stored files with
//   make golden
// (or VORN_REGENERATE_GOLDEN=1 build/vorn_tests --gtest_filter='Golden*')
// and review the diff before committing it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/cli.h"
#include "support/process.h"

namespace {

const char* const kFiles[] = {"wim", "dk27", "sex", "newtpla2", "p82", "dc1"};
const char* const kSeeds[] = {"1", "20261208"};

// Option sets: each generator alone and mixed, every expansion method and
// solver, the mode switches and a few criteria and stopping rules.
const std::vector<std::vector<std::string>> kOptionSets = {
    {"-Si4"},
    {"-FR0", "-Si3"},
    {"-FR100", "-Si3"},
    {"-FR0", "-E0", "-Si2"},
    {"-FR0", "-E1", "-Si2"},
    {"-FR0", "-E2", "-Si2"},
    {"-FR0", "-E3", "-Si2"},
    {"-FR0", "-E4", "-Si2"},
    {"-CP0", "-Si3"},
    {"-CP1", "-Si3"},
    {"-CP2", "-Si3"},
    {"-CP3", "-Si3"},
    {"-single", "-Si3"},
    {"-endcov", "-Si3"},
    {"-Qt", "-Si3"},
    {"-QG", "-CP2", "-Si3"},
    {"-CM40", "-RM40", "-FR0", "-Si3"},
    {"-DD0", "-DF3", "-FR100", "-Si3"},
    {"-SD", "-Sn2"},
    {"-Sq20", "-Si6"},
};

std::string sourceDir() { return std::string(VORN_SOURCE_DIR) + "/tests/golden/"; }

std::string join(const std::vector<std::string>& words) {
  std::string s;
  for (const std::string& w : words) s += (s.empty() ? "" : " ") + w;
  return s;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the program's entry in this process with standard output and standard
// error sent to files, and returns exit code, report and result.
std::string runCaptured(std::vector<std::string> args) {
  const std::string out = vorn::test::tempPath("golden_out.txt"), err = vorn::test::tempPath("golden_err.txt");
  std::fflush(stdout);
  std::fflush(stderr);
  const int savedOut = ::dup(1), savedErr = ::dup(2);
  if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) std::abort();
  args.insert(args.begin(), "vorn");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int code = vorn::runMain(static_cast<int>(args.size()), argv.data());
  std::fflush(stdout);
  std::fflush(stderr);
  ::dup2(savedOut, 1);
  ::dup2(savedErr, 2);
  ::close(savedOut);
  ::close(savedErr);
  static const std::regex elapsed("Elapsed time: [0-9.]+ s");
  const std::string report = std::regex_replace(slurp(err), elapsed, "Elapsed time: <masked> s");
  const std::string result = slurp(out);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return "exit " + std::to_string(code) + "\n--- stderr\n" + report + "--- stdout\n" + result;
}

// Every case's text under a "=== <case>" header line, in case order.
std::map<std::string, std::string> parseExpected(const std::string& text) {
  std::map<std::string, std::string> cases;
  std::string name, body;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("=== ", 0) == 0) {
      if (!name.empty()) cases[name] = body;
      name = line.substr(4);
      body.clear();
    } else {
      body += line + "\n";
    }
  }
  if (!name.empty()) cases[name] = body;
  return cases;
}

class Golden : public testing::TestWithParam<const char*> {};

TEST_P(Golden, SeededRunsMatchTheStoredResults) {
  const std::string file = GetParam();
  const std::string expectedPath = sourceDir() + "expected/" + file + ".txt";
  std::vector<std::pair<std::string, std::string>> actual;
  char here[4096];
  ASSERT_NE(::getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(::chdir(sourceDir().c_str()), 0);
  for (const char* seed : kSeeds) {
    for (const auto& options : kOptionSets) {
      std::vector<std::string> args = options;
      args.push_back(std::string("-seed") + seed);
      // The source is named relative to the golden folder so that the
      // summary line does not depend on where the tree is checked out.
      args.push_back("pla/" + file + ".pla");
      actual.emplace_back(join(args), runCaptured(args));
    }
  }
  ASSERT_EQ(::chdir(here), 0);
  const char* regenerate = std::getenv("VORN_REGENERATE_GOLDEN");
  if (regenerate && std::string(regenerate) == "1") {
    std::ofstream out(expectedPath, std::ios::binary);
    for (const auto& [name, text] : actual) out << "=== " << name << "\n" << text;
    ASSERT_TRUE(out.good()) << expectedPath;
    return;
  }
  const std::map<std::string, std::string> expected = parseExpected(slurp(expectedPath));
  ASSERT_EQ(expected.size(), actual.size()) << "stored cases in " << expectedPath << "; regenerate with make golden";
  for (const auto& [name, text] : actual) {
    const auto hit = expected.find(name);
    ASSERT_NE(hit, expected.end()) << "no stored case " << name;
    EXPECT_EQ(hit->second, text) << "case " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Golden, testing::ValuesIn(kFiles));

}  // namespace
