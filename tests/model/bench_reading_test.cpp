// Every function of the benchmark set must read to the same terms as the
// stored digest says: the reader's rules may only grow stricter for files
// that were misread, never change what a good file means.  The digest was
// recorded with the reader before it grew strict; the one file it misread,
// orig/pla/newxcpla1.pla (an .ob line naming 15 of 23 outputs, which took the
// first terms' words as names), is checked on its own.  The set lies
// outside the repository; without it the test is skipped.  After an intended
// change run with VORN_REGENERATE_BENCH_DIGEST=1 and review the diff.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "model/pla.h"

using namespace vorn;
namespace fs = std::filesystem;

namespace {

const char kMisread[] = "orig/pla/newxcpla1.pla";
const char kDigestFile[] = VORN_SOURCE_DIR "/tests/model/data/bench_digest.txt";

/// The benchmark set: VORN_BENCH_DIR, or a `shared/bench` next to the repository or its worktree folder.
std::optional<fs::path> benchDir() {
  if (const char* env = std::getenv("VORN_BENCH_DIR")) return fs::path(env);
  for (const char* rel : {"/../shared/bench", "/../../shared/bench"}) {
    fs::path p = fs::path(VORN_SOURCE_DIR + std::string(rel));
    if (fs::is_directory(p / "pla")) return p;
  }
  return std::nullopt;
}

/// \brief FNV-1a over everything the reader gives: dimensions, type, names and terms in order.
std::string digest(const TBoolFnct& f) {
  std::ostringstream s;
  s << f.inputCount << ' ' << f.outputCount << ' ' << f.type << '\n';
  for (const auto& n : *f.inputLabels) s << n << ' ';
  s << '\n';
  for (const auto& n : *f.outputLabels) s << n << ' ';
  s << '\n';
  forEachTerm(f, [&](const TPfnct& t) { s << t.input.str() << ' ' << t.output << '\n'; });
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s.str()) h = (h ^ c) * 1099511628211ull;
  std::ostringstream out;
  out << f.termCount << ' ' << std::hex << h;
  return out.str();
}

/// Relative path of every .pla file under the set, sorted.
std::map<std::string, fs::path> benchFiles(const fs::path& dir) {
  std::map<std::string, fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() == ".pla") files[fs::relative(e.path(), dir).string()] = e.path();
  return files;
}

std::map<std::string, std::string> storedDigests() {
  std::map<std::string, std::string> m;
  std::ifstream in(kDigestFile);
  std::string line;
  while (std::getline(in, line)) {
    const auto cut = line.find('\t');
    if (cut != std::string::npos) m[line.substr(0, cut)] = line.substr(cut + 1);
  }
  return m;
}

}  // namespace

TEST(BenchReading, EveryBenchFileReadsToTheStoredTerms) {
  const auto dir = benchDir();
  if (!dir) GTEST_SKIP() << "benchmark set not found (set VORN_BENCH_DIR)";
  const auto files = benchFiles(*dir);
  ASSERT_GT(files.size(), 250u);
  std::map<std::string, std::string> now;
  for (const auto& [name, path] : files) {
    const ReadResult r = read(path.string());
    now[name] = r.function ? digest(*r.function) : "unreadable";
    // Files of long terms wrapped over lines get one warning, nothing else does.
    if (name != kMisread && !r.warnings.empty()) {
      EXPECT_EQ(r.warnings.size(), 1u) << name;
      EXPECT_NE(r.warnings[0].find("warning: the term goes on to line"), std::string::npos) << r.warnings[0];
    }
  }
  if (std::getenv("VORN_REGENERATE_BENCH_DIGEST")) {
    std::ofstream out(kDigestFile);
    for (const auto& [name, d] : now) out << name << '\t' << d << '\n';
    GTEST_SKIP() << "digest rewritten: " << kDigestFile;
  }
  const auto stored = storedDigests();
  EXPECT_EQ(stored.size(), now.size());
  for (const auto& [name, d] : now) {
    if (name == kMisread) continue;
    const auto it = stored.find(name);
    ASSERT_NE(it, stored.end()) << name << " has no stored digest";
    EXPECT_EQ(d, it->second) << name;
  }
}

TEST(BenchReading, TheShortOutputNameListNoLongerSwallowsTerms) {
  const auto dir = benchDir();
  if (!dir) GTEST_SKIP() << "benchmark set not found (set VORN_BENCH_DIR)";
  const std::string path = (*dir / kMisread).string();
  const ReadResult r = read(path);
  ASSERT_TRUE(r.function) << r.error;
  EXPECT_EQ(r.function->termCount, 43);
  EXPECT_EQ((*r.function->outputLabels)[14], "byteEX");
  EXPECT_EQ((*r.function->outputLabels)[15], "y15");
  EXPECT_EQ(r.warnings, (std::vector<std::string>{path + ": line 4: warning: .ob names 15 of 23 outputs; the others get default names"}));
  // The first term line of the file is the first term, no longer an output name.
  EXPECT_EQ(r.function->head->input.str(), "--------1");
  EXPECT_EQ(r.function->head->output, "00000000000000000010000");
}
