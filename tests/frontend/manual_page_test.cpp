#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "frontend/help.h"
#include "support/process.h"

using namespace vorn;

namespace {
const std::string kPage = std::string(VORN_SOURCE_DIR) + "/doc/vorn.1";

bool haveGroff() { return std::system("command -v groff >/dev/null 2>&1") == 0; }

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The page as groff renders it, overstrikes removed.
std::string rendered() {
  const std::string out = test::tempPath("page.txt");
  shell("groff -man -Tascii -P-cbou '" + kPage + "' >'" + out + "' 2>/dev/null");
  std::string text = test::readFile(out);
  std::remove(out.c_str());
  return text;
}
}  // namespace

TEST(ManualPage, RendersWithoutWarnings) {
  if (!haveGroff()) GTEST_SKIP() << "groff is not installed";
  const std::string err = test::tempPath("groff.err"), out = test::tempPath("groff.out");
  EXPECT_EQ(shell("groff -man -Tutf8 -ww -P-cbou '" + kPage + "' >'" + out + "' 2>'" + err + "'"), 0);
  EXPECT_EQ(test::readFile(err), "");
  EXPECT_NE(test::readFile(out).find("NAME"), std::string::npos);
  std::remove(err.c_str());
  std::remove(out.c_str());
}

TEST(ManualPage, DescribesEveryOptionTheHelpLists) {
  if (!haveGroff()) GTEST_SKIP() << "groff is not installed";
  const std::string page = rendered();
  ASSERT_FALSE(page.empty());
  // Each help line naming an option; a trailing placeholder (n, x, xn, FILE) is not part of its name.
  const std::regex option("^    (-[-A-Za-z]*)");
  const std::regex placeholder("^(-[A-Z]{1,2}?)[nx]{1,2}$|^(-[a-z]+)FILE$");
  std::istringstream lines(helpText());
  int checked = 0;
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, option)) continue;
    std::string name = m[1];
    std::smatch p;
    if (std::regex_match(name, p, placeholder)) name = p[1].matched ? p[1].str() : p[2].str();
    EXPECT_NE(page.find(name), std::string::npos) << "the manual page does not name " << name;
    ++checked;
  }
  EXPECT_GE(checked, 20);
  for (const char* section : {"SYNOPSIS", "OPTIONS", "PLA FORMAT", "EXIT STATUS", "EXAMPLES"})
    EXPECT_NE(page.find(section), std::string::npos) << section;
}

TEST(Install, PutsTheProgramAndItsManualPageUnderThePrefix) {
  const std::string prefix = test::tempPath("prefix");
  ASSERT_EQ(shell("'" + std::string(VORN_CMAKE_COMMAND) + "' --install '" + VORN_BUILD_DIR + "' --prefix '" + prefix +
                  "' >/dev/null 2>&1"),
            0);
  EXPECT_EQ(shell("test -x '" + prefix + "/bin/vorn'"), 0);
  EXPECT_EQ(test::readFile(prefix + "/share/man/man1/vorn.1"), test::readFile(kPage));
  EXPECT_EQ(shell("'" + prefix + "/bin/vorn' --version >/dev/null 2>&1"), 0);
  shell("rm -rf '" + prefix + "'");
}
