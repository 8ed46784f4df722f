#include "model/destination_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/process.h"

using namespace vorn;
namespace fs = std::filesystem;

namespace {

/// A folder of the test's own, removed with everything in it.
class Folder {
 public:
  Folder() {
    std::string pattern = testing::TempDir() + "vorn_dest_XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~Folder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  std::string at(const std::string& name) const { return path_ + "/" + name; }
  /// The names in the folder, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(path_)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  bool ok() const { return !path_.empty(); }

 private:
  std::string path_;
};

std::string slurp(const std::string& p) { return test::readFile(p); }

struct stat statOf(const std::string& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st;
}

bool write(const std::string& path, const std::string& text) {
  std::string error;
  const bool ok = writeDestination(path, text, error);
  EXPECT_EQ(ok, error.empty()) << error;
  return ok;
}

/// Runs writeDestination in a child whose file size limit is `limit` bytes; true when it succeeded.
bool writeUnderSizeLimit(const std::string& path, const std::string& text, rlim_t limit) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit r{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &r);
    std::string error;
    const bool ok = writeDestination(path, text, error);
    _exit(ok ? 0 : (error.find(path) != std::string::npos ? 1 : 2));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 2) << "the message does not name the path";
  return WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(DestinationFile, NewFileGetsTheUmaskModeAndNoTemporaryStays) {
  Folder dir;
  ASSERT_TRUE(dir.ok());
  const mode_t old = ::umask(027);
  const bool ok = write(dir.at("out.pla"), "text\n");
  ::umask(old);
  ASSERT_TRUE(ok);
  EXPECT_EQ(slurp(dir.at("out.pla")), "text\n");
  EXPECT_EQ(statOf(dir.at("out.pla")).st_mode & 07777, 0640u);
  EXPECT_EQ(dir.names(), std::vector<std::string>{"out.pla"});
}

TEST(DestinationFile, ExistingFileKeepsItsModeAndIsReplacedWhole) {
  Folder dir;
  const std::string p = test::writeFile(dir.at("out.pla"), "a much longer old text than the new one\n");
  ::chmod(p.c_str(), 0600);
  ASSERT_TRUE(write(p, "new\n"));
  EXPECT_EQ(slurp(p), "new\n");
  EXPECT_EQ(statOf(p).st_mode & 07777, 0600u);
  EXPECT_TRUE(S_ISREG(statOf(p).st_mode));
  EXPECT_EQ(dir.names(), std::vector<std::string>{"out.pla"});
}

TEST(DestinationFile, SymbolicLinksStayLinksAndTheirTargetGetsTheText) {
  Folder dir;
  ::mkdir(dir.at("sub").c_str(), 0755);
  test::writeFile(dir.at("sub/target.pla"), "old\n");
  ::chmod(dir.at("sub/target.pla").c_str(), 0640);
  ASSERT_EQ(::symlink("sub/target.pla", dir.at("first").c_str()), 0);  // relative to the link's folder
  ASSERT_EQ(::symlink(dir.at("first").c_str(), dir.at("second").c_str()), 0);  // a chain of two
  ASSERT_TRUE(write(dir.at("second"), "new\n"));
  EXPECT_TRUE(S_ISLNK(statOf(dir.at("first")).st_mode));
  EXPECT_TRUE(S_ISLNK(statOf(dir.at("second")).st_mode));
  EXPECT_EQ(slurp(dir.at("sub/target.pla")), "new\n");
  EXPECT_EQ(statOf(dir.at("sub/target.pla")).st_mode & 07777, 0640u);
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"first", "second", "sub"}));

  // A dangling link: its target is created, the link kept.
  ASSERT_EQ(::symlink("sub/made.pla", dir.at("dangling").c_str()), 0);
  ASSERT_TRUE(write(dir.at("dangling"), "made\n"));
  EXPECT_TRUE(S_ISLNK(statOf(dir.at("dangling")).st_mode));
  EXPECT_EQ(slurp(dir.at("sub/made.pla")), "made\n");

  // A loop of links is refused by name.
  ::symlink("loop2", dir.at("loop1").c_str());
  ::symlink("loop1", dir.at("loop2").c_str());
  std::string error;
  EXPECT_FALSE(writeDestination(dir.at("loop1"), "x\n", error));
  EXPECT_NE(error.find(dir.at("loop1")), std::string::npos) << error;
}

TEST(DestinationFile, HardLinkedFileIsRewrittenInPlace) {
  Folder dir;
  const std::string p = test::writeFile(dir.at("a.pla"), "old text, longer than the new\n");
  ASSERT_EQ(::link(p.c_str(), dir.at("b.pla").c_str()), 0);
  const ino_t inode = statOf(p).st_ino;
  ASSERT_TRUE(write(p, "new\n"));
  EXPECT_EQ(slurp(dir.at("b.pla")), "new\n");
  EXPECT_EQ(statOf(p).st_ino, inode);
  EXPECT_EQ(statOf(p).st_nlink, 2u);
  ASSERT_TRUE(write(p, std::string(10000, 'x')));  // and grown
  EXPECT_EQ(slurp(dir.at("b.pla")), std::string(10000, 'x'));
}

TEST(DestinationFile, FifoIsWrittenAsAStreamToItsReader) {
  Folder dir;
  const std::string p = dir.at("pipe");
  ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
  const std::string text(200000, 'z');  // more than a pipe buffer holds
  std::string got;
  std::thread reader([&] { got = slurp(p); });
  const bool ok = write(p, text);
  reader.join();
  EXPECT_TRUE(ok);
  EXPECT_EQ(got.size(), text.size());
  EXPECT_TRUE(S_ISFIFO(statOf(p).st_mode));
  EXPECT_EQ(dir.names(), std::vector<std::string>{"pipe"});
}

TEST(DestinationFile, CharacterDevicesStayDevices) {
  Folder dir;
  const std::string null = dir.at("null"), full = dir.at("full");
  if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "mknod not permitted here";
  ASSERT_TRUE(write(null, "text\n"));
  EXPECT_TRUE(S_ISCHR(statOf(null).st_mode));
  // A device that is always full: the failure is reported by name, the node stays.
  if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
    std::string error;
    EXPECT_FALSE(writeDestination(full, "text\n", error));
    EXPECT_NE(error.find(full), std::string::npos) << error;
    EXPECT_TRUE(S_ISCHR(statOf(full).st_mode));
  }
  EXPECT_EQ(dir.names().size(), 2u);
}

TEST(DestinationFile, LinkPlantedUnderAPredictableTemporaryNameIsNotFollowed) {
  Folder dir;
  const std::string dest = test::writeFile(dir.at("out.pla"), "old\n");
  const std::string victim = test::writeFile(dir.at("victim"), "precious\n");
  const std::string planted = dest + ".vorn-" + std::to_string(::getpid()) + ".tmp";
  ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
  ASSERT_TRUE(write(dest, "new\n"));
  EXPECT_EQ(slurp(victim), "precious\n");
  EXPECT_TRUE(S_ISLNK(statOf(planted).st_mode));
  EXPECT_EQ(slurp(dest), "new\n");
  EXPECT_EQ(dir.names().size(), 3u);
}

TEST(DestinationFile, FailedWritesLeaveTheOldFileAndNoTemporary) {
  Folder dir;
  const std::string text(100000, 'n');
  const std::string single = test::writeFile(dir.at("single.pla"), "old\n");
  EXPECT_FALSE(writeUnderSizeLimit(single, text, 1000));
  EXPECT_EQ(slurp(single), "old\n");
  const std::string linked = test::writeFile(dir.at("linked.pla"), "old linked\n");
  ::link(linked.c_str(), dir.at("linked2.pla").c_str());
  EXPECT_FALSE(writeUnderSizeLimit(linked, text, 1000));
  EXPECT_EQ(slurp(linked), "old linked\n");
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"linked.pla", "linked2.pla", "single.pla"}));

  // A folder as destination, and a folder that does not exist.
  ::mkdir(dir.at("folder").c_str(), 0755);
  std::string error;
  EXPECT_FALSE(writeDestination(dir.at("folder"), "x\n", error));
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  EXPECT_FALSE(writeDestination(dir.at("missing/out.pla"), "x\n", error));
  EXPECT_NE(error.find(dir.at("missing/out.pla")), std::string::npos) << error;
}

namespace {

/// The checks of an unprivileged user's refused writes; 0 when all hold, else the number of the first that failed.
int unwritableChecks() {
  Folder dir;
  if (!dir.ok()) return 101;
  const std::string p = test::writeFile(dir.at("out.pla"), "old\n");
  std::string error;
  ::chmod(p.c_str(), 0444);
  if (writeDestination(p, "new\n", error)) return 2;  // a read-only file is not replaced behind the user's back
  ::chmod(p.c_str(), 0644);
  ::chmod(dir.at("").c_str(), 0555);
  if (writeDestination(p, "new\n", error) || error.find(p) == std::string::npos) return 3;
  if (writeDestination(dir.at("new.pla"), "new\n", error)) return 4;
  ::chmod(dir.at("").c_str(), 0755);
  if (slurp(p) != "old\n") return 5;
  if (dir.names() != std::vector<std::string>{"out.pla"}) return 6;
  return 0;
}

}  // namespace

TEST(DestinationFile, UnwritableFolderOrFileIsRefused) {
  if (::geteuid() != 0) {
    EXPECT_EQ(unwritableChecks(), 0);
    return;
  }
  // A privileged run may write anywhere: the checks run in a child that gave up its privileges.
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) _exit(100);
    _exit(unwritableChecks());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) >= 100) GTEST_SKIP() << "cannot give up privileges here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "first failed check";
}

TEST(DestinationFile, ProgramWritesThroughLinksAndToStandardOutputByName) {
  Folder dir;
  const std::string src =
      test::writeFile(dir.at("src.pla"), ".i 2\n.o 1\n.type fr\n00 1\n01 1\n11 0\n10 0\n");
  test::writeFile(dir.at("real.pla"), "old\n");
  ::symlink("real.pla", dir.at("link.pla").c_str());
  test::RunResult r = test::runVorn({"-Si2", src, dir.at("link.pla")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(S_ISLNK(statOf(dir.at("link.pla")).st_mode));
  EXPECT_NE(slurp(dir.at("real.pla")).find("0- 1\n"), std::string::npos);
  // /dev/stdout names the program's standard output, which the harness captures.
  r = test::runVorn({"-Si2", src, "/dev/stdout"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("0- 1\n.e\n"), std::string::npos) << r.out;
  r = test::runVorn({"-Si2", src, dir.at("nowhere/out.pla")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Cannot write file " + dir.at("nowhere/out.pla")), std::string::npos) << r.err;
}

// A privileged user passes every access test; a file without write bits is still refused for it,
// as for anyone (and a test run as root checks exactly that case).
TEST(DestinationFile, FileWithoutWriteBitsIsRefusedWhoeverRuns) {
  Folder dir;
  const std::string p = test::writeFile(dir.at("out.pla"), "old\n");
  ::chmod(p.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(writeDestination(p, "new\n", error));
  EXPECT_NE(error.find("Cannot write file " + p + ": Permission denied"), std::string::npos) << error;
  EXPECT_EQ(slurp(p), "old\n");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"out.pla"}) << "no temporary is left";
  ::chmod(p.c_str(), 0644);
}

TEST(DestinationFile, ProgramSaysAFolderGivenAsSourceIsOne) {
  Folder dir;
  ::mkdir(dir.at("sub").c_str(), 0755);
  for (const char* mode : {"-Si1", "-info", "-Tsplit"}) {
    const test::RunResult r = test::runVorn({mode, dir.at("sub"), dir.at("out.pla")});
    EXPECT_EQ(r.exitCode, 1) << mode;
    EXPECT_NE(r.err.find("File not found\ncannot open " + dir.at("sub") + ": Is a directory\n"), std::string::npos)
        << r.err;
  }
  EXPECT_EQ(dir.names(), std::vector<std::string>{"sub"});
}
