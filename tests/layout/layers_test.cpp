// The include-direction check: clean on the tree, and failing on an upward
// include planted in a copy of it (never in the tree itself).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/process.h"

namespace fs = std::filesystem;

namespace {

struct Check {
  int code = -1;
  std::string out;
};

Check runCheck(const fs::path& root) {
  const std::string out = vorn::test::tempPath("layers_out.txt");
  const std::string cmd = "'" + (root / "scripts" / "check_layers.sh").string() + "' '" + root.string() + "' >'" + out +
                          "' 2>&1";
  const int status = std::system(cmd.c_str());
  Check c;
  c.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  c.out = vorn::test::readFile(out);
  std::remove(out.c_str());
  return c;
}

// A copy of src/ and scripts/ in a fresh folder.
fs::path copyTree(const std::string& name) {
  const fs::path root = vorn::test::tempPath(name);
  fs::remove_all(root);
  fs::create_directories(root);
  for (const char* part : {"src", "scripts"})
    fs::copy(fs::path(VORN_SOURCE_DIR) / part, root / part, fs::copy_options::recursive);
  return root;
}

void append(const fs::path& file, const std::string& line) { std::ofstream(file, std::ios::app) << line; }

}  // namespace

TEST(Layers, TreeFollowsTheOrder) {
  const Check c = runCheck(VORN_SOURCE_DIR);
  EXPECT_EQ(c.code, 0) << c.out;
  EXPECT_EQ(c.out, "");
}

TEST(Layers, PlantedUpwardIncludesFail) {
  const fs::path root = copyTree("layers_up");
  ASSERT_EQ(runCheck(root).code, 0);
  append(root / "src/model/cube.cpp", "#include \"driver/minimize.h\"\n");
  Check c = runCheck(root);
  EXPECT_EQ(c.code, 1);
  EXPECT_NE(c.out.find("src/model/cube.cpp: includes driver/minimize.h (driver, level 8) from model (level 0)"),
            std::string::npos)
      << c.out;
  // An include from a higher folder is refused in a header as in a source file.
  fs::copy_file(fs::path(VORN_SOURCE_DIR) / "src/model/cube.cpp", root / "src/model/cube.cpp",
                fs::copy_options::overwrite_existing);
  append(root / "src/cover/solvers.h", "#include \"driver/run_figures.h\"\n");
  c = runCheck(root);
  EXPECT_EQ(c.code, 1);
  EXPECT_NE(c.out.find("src/cover/solvers.h: includes driver/run_figures.h"), std::string::npos) << c.out;
  EXPECT_EQ(c.out.find("src/model/cube.cpp"), std::string::npos) << c.out;  // the restored file is clean
  fs::remove_all(root);
}

TEST(Layers, SameLevelAndUnplacedFoldersFail) {
  const fs::path root = copyTree("layers_level");
  append(root / "src/modes/minterms.h", "#include \"forms/x.h\"\n");  // modes and forms share a level
  fs::create_directories(root / "src/newthing");
  append(root / "src/newthing/a.cpp", "#include \"model/cube.h\"\n");
  const Check c = runCheck(root);
  EXPECT_EQ(c.code, 1);
  EXPECT_NE(c.out.find("src/modes/minterms.h: includes forms/x.h"), std::string::npos) << c.out;
  EXPECT_NE(c.out.find("src/newthing: folder without a level"), std::string::npos) << c.out;
  fs::remove_all(root);
}
