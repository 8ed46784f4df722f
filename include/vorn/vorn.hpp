// vorn as a library: two-level minimization of multi-output Boolean
// functions for programs that link it (find_package(vorn), target vorn::vorn).
//
//   auto f = vorn::readPla(text);
//   vorn::MinimizeParams p; p.refine = true; p.seed = 1;
//   vorn::MinimizeStats stats;
//   vorn::Function cover = vorn::minimize(f, p, &stats);
//   std::string out = vorn::writePla(cover);
//
// Functions are plain values: the library reads its arguments and returns new
// values, never writing into what it was given.  It never prints and never
// ends the process; every failure is a vorn::Error carrying the message the
// vorn program prints for it.  Calls on different values may run at once on
// different threads.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <vorn/figures.hpp>

namespace vorn {

/// A failure of a library call.  what() is the message the program prints (without its line end).
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, int exitCode = 1);
  ~Error() override;
  /// \brief The exit code the program ends with on this failure.
  int exitCode() const noexcept { return exitCode_; }

 private:
  int exitCode_;
};

/// How the output parts of the terms are read: which characters give the on-set ('1'), the off-set ('0')
/// and the don't-care set ('-'), and which set is the rest of the space.
enum class Type {
  f,    ///< '1' on-set; off-set is the rest
  fd,   ///< '1' on-set, '-' don't-care set; off-set is the rest
  fr,   ///< '1' on-set, '0' off-set; don't-care set is the rest
  fdr,  ///< '1' on-set, '-' don't-care set, '0' off-set; the rest is don't-care
  r,    ///< '0' off-set; on-set is the rest
};

/// One product term: an input cube over '0', '1', '-' ('~' allowed, but a source holding it is not
/// minimized) and an output part over '0', '1', '-', '~' ('~': no information for that output).
struct Term {
  std::string input;
  std::string output;
};

/// A multi-output function in sum-of-products form, as a PLA file gives it.
struct Function {
  int inputs = 0;
  int outputs = 0;
  Type type = Type::fd;
  std::vector<std::string> inputLabels;   ///< empty: x0, x1, ...; else one name per input
  std::vector<std::string> outputLabels;  ///< empty: y0, y1, ...; else one name per output
  std::vector<Term> terms;
};

/// \brief The function of a PLA text (not a file name), read with the grammar of the program.
/// Throws Error when the text is malformed or holds no term.
Function readPla(const std::string& text);
/// \brief As readPla(text), and into `warnings` the lines the program warns of on reading
/// (a name line shorter than the function, terms going on over lines), each naming its line.
Function readPla(const std::string& text, std::vector<std::string>& warnings);
/// \brief The function of the PLA text read from `in` to its end.
Function readPla(std::istream& in);
/// \brief The PLA text of f, as the program writes its results.  Throws Error when f is malformed
/// (a part of the wrong length, a character that is no term character, a label that is empty or
/// holds a blank).
std::string writePla(const Function& f);
/// \brief Writes the PLA text of f to `out`.
void writePla(const Function& f, std::ostream& out);

/// What a cheaper cover means.
enum class Criterion {
  terms,
  literals,  ///< the program's default
  outputCost,
  literalsAndOutputCost,
  gates,
  gateEquivalents,
};

/// How a cover is selected from the implicants found so far.
enum class Solver {
  lcmc,
  contributiveSelection,  ///< the program's default
  contributiveRemoval,
  exactCover,
};

/// \brief The figures of f and its cost by the criterion.  Throws Error when f is malformed.
Figures figures(const Function& f, Criterion criterion = Criterion::literals);

/// The settings of a minimization; the defaults are those of the program.
struct MinimizeParams {
  Criterion criterion = Criterion::literals;
  Solver solver = Solver::contributiveSelection;
  /// The run stops after this many iterations (at least 1), or this many seconds (the refinement
  /// included), whichever comes first.  With neither: one iteration.
  std::optional<int> iterations;
  std::optional<double> seconds;
  /// Seeds the run's one random source: equal seeds and an iteration limit give equal covers.
  /// None: the clock's second.
  std::optional<std::uint32_t> seed;
  int jobs = 1;         ///< independent runs on threads (seeds seed, seed+1, ...); the cheapest cover wins
  bool refine = false;  ///< improve the best cover term by term after the search
  /// A cover of least cost by the criterion from all prime implicants (the search options are not used);
  /// under a time limit or a stop, the best cover found with a lower bound (stats->exact).
  bool exact = false;
  /// Asked every few milliseconds from a thread of the library while the run lasts; once it answers
  /// true the run ends at its next check with the best cover so far (stats->interrupted is set).
  std::function<bool()> stop;
};

/// What a minimization did.
struct MinimizeStats {
  int iterations = 0;       ///< summed over the jobs
  double seconds = 0;       ///< wall time of the run
  std::uint32_t seed = 0;   ///< the seed of the winning run
  int jobs = 1;
  bool interrupted = false; ///< ended by the stop callback before its limit
  Figures figures;          ///< of the returned cover
  std::vector<Improvement> improvements;  ///< the course of the best cost (of the winning run)
  /// What an exact run proved (only for MinimizeParams::exact).
  struct Exact {
    bool proven = false;         ///< no cover is cheaper than the returned one
    long long lowerBound = 0;    ///< no cover is cheaper than this
    long long primes = 0;        ///< prime implicants generated
    int coreRows = 0, coreColumns = 0;  ///< size of the cyclic core of the covering problem
  };
  std::optional<Exact> exact;

  /// \brief Writes the figures as the program reports them (to standard output without an argument).
  void report() const;
  void report(std::ostream& out) const;
};

/// \brief A cover of f (a function of type fd over f's inputs, outputs and labels) found under the
/// params; fills *stats when given.  f may be of any type.  Throws Error with the program's message
/// when f has no valid cover (an on-set term meets an off-set term, an input part holds '~'), when the
/// params are out of range, or when the run fails.
Function minimize(const Function& f, const MinimizeParams& params = {}, MinimizeStats* stats = nullptr);

/// Whether a cover is a valid cover of its source.
struct Verdict {
  bool valid = false;
  std::string fault;  ///< when not valid: the first output and cube found at fault
  explicit operator bool() const { return valid; }
};

/// \brief Whether `result` covers every on-set minterm of every output of `source` and has no
/// '1' outside the source's on-set and don't-care set.  Throws Error when the two do not have the
/// same inputs and outputs, or either is malformed.
Verdict verify(const Function& source, const Function& result);

/// \brief The outputs of f at `count` points of its input space.  `samples` holds count rows of
/// f.inputs bytes (zero for 0, anything else for 1), row after row; the result holds count rows of
/// f.outputs bytes, 1 where the point lies in the output's on-set as f gives it: where a term with '1'
/// at the output contains it (for type r: where no term with '0' at the output contains it).  Throws
/// Error when f is malformed.
std::vector<std::uint8_t> evaluate(const Function& f, const std::uint8_t* samples, std::size_t count);

}  // namespace vorn
