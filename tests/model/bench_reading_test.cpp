// Every function of the benchmark set must read to the same terms as the
// stored digest says: the reader's rules may only grow stricter for files
// that were misread, never change what a good file means.  The set lies
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
  }
  if (std::getenv("VORN_REGENERATE_BENCH_DIGEST")) {
    std::ofstream out(kDigestFile);
    for (const auto& [name, d] : now) out << name << '\t' << d << '\n';
    GTEST_SKIP() << "digest rewritten: " << kDigestFile;
  }
  const auto stored = storedDigests();
  EXPECT_EQ(stored.size(), now.size());
  for (const auto& [name, d] : now) {
    const auto it = stored.find(name);
    ASSERT_NE(it, stored.end()) << name << " has no stored digest";
    EXPECT_EQ(d, it->second) << name;
  }
}
