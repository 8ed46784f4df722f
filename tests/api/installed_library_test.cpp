// The library as another program sees it: installed under a prefix, found by
// find_package(vorn), linked as vorn::vorn by the example under examples/.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "model/pla.h"
#include "support/cover_check.h"
#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;

namespace {

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace

TEST(InstalledLibrary, TheExampleBuildsAgainstItAndGivesAValidCover) {
  const std::string prefix = test::tempPath("library-prefix"), build = test::tempPath("library-example");
  const std::string log = test::tempPath("library-example.log");
  const std::string cmake = quote(VORN_CMAKE_COMMAND);
  ASSERT_EQ(shell(cmake + " --install " + quote(VORN_BUILD_DIR) + " --prefix " + quote(prefix) + " >" + quote(log) +
                  " 2>&1"),
            0)
      << test::readFile(log);
  for (const char* file : {"/include/vorn/vorn.hpp", "/include/vorn/figures.hpp", "/lib/libvorn.a",
                           "/lib/cmake/vorn/vornConfig.cmake", "/lib/cmake/vorn/vornConfigVersion.cmake"})
    EXPECT_EQ(shell("test -f " + quote(prefix + file)), 0) << file;

  std::string configure = cmake + " -S " + quote(std::string(VORN_SOURCE_DIR) + "/examples/library") + " -B " +
                          quote(build) + " -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=" + quote(prefix) +
                          " -DCMAKE_CXX_COMPILER=" + quote(VORN_CXX_COMPILER);
  if (std::string(VORN_CXX_LAUNCHER).size()) configure += " -DCMAKE_CXX_COMPILER_LAUNCHER=" + quote(VORN_CXX_LAUNCHER);
  ASSERT_EQ(shell(configure + " >" + quote(log) + " 2>&1"), 0) << test::readFile(log);
  ASSERT_EQ(shell(cmake + " --build " + quote(build) + " >" + quote(log) + " 2>&1"), 0) << test::readFile(log);

  const std::string source = std::string(VORN_SOURCE_DIR) + "/examples/adder.pla";
  const std::string out = test::tempPath("library-example.pla"), err = test::tempPath("library-example.err");
  ASSERT_EQ(shell(quote(build + "/minimize_pla") + " <" + quote(source) + " >" + quote(out) + " 2>" + quote(err)), 0)
      << test::readFile(err);
  const ReadResult cover = readText(test::readFile(out));
  ASSERT_TRUE(cover.function) << test::readFile(out);
  test::PlainFunction plainSource;
  ASSERT_TRUE(test::readPlain(source, plainSource));
  EXPECT_EQ(test::checkCover(plainSource, test::plain(*cover.function)), "");
  EXPECT_NE(test::readFile(err).find("Literals: "), std::string::npos) << test::readFile(err);

  shell("rm -rf " + quote(prefix) + " " + quote(build) + " " + quote(log) + " " + quote(out) + " " + quote(err));
}
