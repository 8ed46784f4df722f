// libFuzzer target: a whole run of the program on a small function, with its
// options decoded from the first bytes of the input and the PLA text from
// the rest.  The run goes through the program's own entry (command line,
// reading, the mode, writing), into a private folder.  Every result is judged
// by the tests' independent checker and, up to 10 inputs, by a truth table:
// a minimization must cover the on-set and stay off the off-set, -Tsplit must
// keep every on- and off-set point and leave no two terms meeting, -Tminterm
// must keep every point; an exit code other than 0 and 1, a file left behind
// after a failure, and every crash or sanitizer report are findings.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/cli.h"
#include "fuzz/truth_table.h"
#include "model/pla.h"
#include "support/cover_check.h"
#include "support/json_value.h"

namespace {

[[noreturn]] void finding(const std::string& what) {
  std::fprintf(stderr, "finding: %s\n", what.c_str());
  std::abort();
}

// Small functions only: the point is many runs, not long ones.
constexpr int kMaxInputs = 10, kMaxOutputs = 6, kMaxTerms = 40;
constexpr std::size_t kOptionBytes = 6;

struct Decoded {
  std::vector<std::string> options;
  std::string mode = "minimize";
  bool stats = false;
};

Decoded decode(const std::uint8_t* d) {
  Decoded r;
  const int mode = d[0] % 10;
  if (mode == 6) r.mode = "-Tsplit";
  if (mode == 7) r.mode = "-Tminterm";
  if (mode == 8) r.mode = "-Tcheck";
  if (mode == 9) r.mode = "-info";
  if (r.mode != "minimize") r.options.push_back(r.mode);
  // The minimization options are parsed in every mode (and ignored by the special ones).
  r.options.push_back("-Si" + std::to_string(1 + d[1] % 3));
  if (d[1] & 0x04) r.options.push_back("-refine");
  if (d[1] & 0x08) r.options.push_back("-single");
  if (d[1] & 0x10) r.options.push_back("-endcov");
  if (d[1] & 0x20) r.options.push_back("-SD");
  if (d[1] & 0x40) r.options.push_back("-j2");
  r.stats = (d[1] & 0x80) != 0 && r.mode == "minimize";
  static const char* ratios[] = {"0", "50", "100"};
  r.options.push_back(std::string("-FR") + ratios[d[2] % 3]);
  r.options.push_back("-E" + std::to_string((d[2] / 3) % 5));
  r.options.push_back("-CP" + std::to_string((d[2] / 15) % 4));
  r.options.push_back(std::string("-Q") + "tlobgG"[d[3] % 6]);
  r.options.push_back("-DD" + std::to_string((d[3] / 6) % 2));
  static const char* factors[] = {"-1", "0", "3", "10"};
  r.options.push_back(std::string("-DF") + factors[(d[3] / 12) % 4]);
  if (d[3] & 0x80) r.options.push_back(std::string("-CM") + ratios[(d[0] / 10) % 3]);
  if (d[0] & 0x80) r.options.push_back(std::string("-RM") + ratios[(d[0] / 30) % 3]);
  if (d[2] & 0x80 && d[1] & 0x10) r.options.push_back("-Sq" + std::to_string(d[4] % 8));
  r.options.push_back("-seed" + std::to_string(d[4] | d[5] << 8));
  return r;
}

std::string folder() {
  static std::string dir;
  if (dir.empty()) {
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/vorn_fuzz_XXXXXX");
    if (!::mkdtemp(pattern.data())) finding("cannot make a run folder");
    dir = pattern;
  }
  return dir;
}

std::vector<std::string> namesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    ::closedir(d);
  }
  return names;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool has(const Decoded& d, const std::string& option) {
  for (const std::string& o : d.options)
    if (o.rfind(option, 0) == 0) return true;
  return false;
}

void judge(const Decoded& d, int code, const vorn::test::PlainFunction& source, const std::string& dir) {
  const std::string dst = dir + "/result.pla";
  if (code != 0 && code != 1) finding("exit code " + std::to_string(code));
  for (const std::string& n : namesIn(dir))
    if (n != "source.pla" && n != "result.pla" && n != "stats.json") finding("file left behind: " + n);
  struct stat st;
  const bool written = ::stat(dst.c_str(), &st) == 0;
  const bool writes = d.mode == "minimize" || d.mode == "-Tsplit" || d.mode == "-Tminterm";
  const bool endcovConflict = has(d, "-endcov") && has(d, "-Sq");
  if (code == 1 || !writes || (d.mode == "minimize" && endcovConflict)) {
    if (written) finding("a result written by a run that " + std::string(code ? "failed" : "writes none"));
    return;
  }
  if (!written) finding("no result after exit 0");
  vorn::test::PlainFunction result;
  if (!vorn::test::readPlainText(slurp(dst), result)) {
    // An empty cover (no on-set to cover) is a function without terms, which the reader does not return.
    const vorn::ReadResult r = vorn::readText(slurp(dst));
    if (!r.error.empty() || r.reason.find("no term") == std::string::npos) finding("the result does not read back");
    result.inputs = source.inputs, result.outputs = source.outputs;
  }
  std::string fault;
  if (d.mode == "minimize") {
    fault = vorn::test::checkCover(source, result);
    if (fault.empty()) fault = vorn::test::coverTableFault(source, result);
    if (fault.empty() && d.stats) {
      vorn::test::JsonValue v;
      std::string error;
      if (!vorn::test::parseJson(slurp(dir + "/stats.json"), v, error)) fault = "statistics: " + error;
      else if (v["interrupted"].boolean) fault = "statistics say interrupted";
      else if (v["result"]["terms"].integer() != static_cast<long long>(result.in.size()))
        fault = "statistics give another term count";
    }
  } else if (d.mode == "-Tsplit") {
    fault = vorn::test::disjointFault(result);
    if (fault.empty()) fault = vorn::test::sameTableFault(source, result);
  } else {
    if (source.inputs <= vorn::test::kMaxTableInputs && result.in.size() != (std::size_t{1} << source.inputs))
      fault = std::to_string(result.in.size()) + " minterms";
    // An f or fd minterm is written by its '1's alone: a don't-care of the source becomes '0'.
    if (fault.empty()) fault = vorn::test::sameTableFault(source, result, source.type == "f" || source.type == "fd");
  }
  if (!fault.empty()) finding(d.mode + ": " + fault);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kOptionBytes || size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data + kOptionBytes), size - kOptionBytes);
  // Large functions are left to the reader's target; here a run must stay short.
  vorn::test::PlainFunction source;
  if (vorn::test::readPlainText(text, source) &&
      (source.inputs > kMaxInputs || source.outputs > kMaxOutputs || static_cast<int>(source.in.size()) > kMaxTerms))
    return 0;
  const Decoded d = decode(data);
  const std::string dir = folder();
  for (const std::string& n : namesIn(dir)) std::remove((dir + "/" + n).c_str());
  std::ofstream(dir + "/source.pla", std::ios::binary) << text;
  std::vector<std::string> args = {"vorn", "-q"};
  args.insert(args.end(), d.options.begin(), d.options.end());
  if (d.stats) args.push_back("-stats" + dir + "/stats.json");
  args.push_back(dir + "/source.pla");
  args.push_back(dir + "/result.pla");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int code = vorn::runMain(static_cast<int>(args.size()), argv.data());
  if (!source.in.empty())
    judge(d, code, source, dir);
  else if (code != 1)
    finding("exit " + std::to_string(code) + " on a source the reader refuses");
  return 0;
}
