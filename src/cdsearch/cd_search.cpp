// CD-search.  The cube under construction starts universal; at each literal
// step every literal is scored by the number of uncovered on-set terms inside
// the cube that hold it, and one of the best is added (or, for a share of the
// steps set by the mutation ratio, any literal with a positive score).  Among
// tied best literals one that completes the implicant is preferred, so the
// search does not wander past an implicant it could have had.  Once the cube
// is an implicant, the on-set terms inside it count as covered and the next
// implicant starts from the universal cube.
//
// Off-set terms that a chosen literal separates from the cube are dropped from
// the implicant test for the rest of that implicant (the `separated` flags of
// the off-list entries and the live set of the tester).  `uncovered` and
// `inside` hold indices into the on-list, so the working lists never copy a
// cube.
//
// The run's deadline is looked at every few literal steps: a search it cuts
// short keeps the implicants found so far, and the terms it did not reach
// are covered by the driver's coverage completion.
//
// Each literal step adds one literal, so after at most n steps the scores are
// all zero: the cube then equals every term still inside it.  It is accepted
// when it is an implicant; otherwise (an fr output whose on-set and off-set
// meet) no implicant can contain those terms and the search of the output
// stops there.
#include "cdsearch/cd_search.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/term_tree.h"
#include "unate/implicant_tester.h"

namespace vorn {

namespace {

/// Literal steps between two looks at the clock.
constexpr int kStepsPerCheck = 8;

class Search {
 public:
  Search(TBoolFnct& f, int output, RunContext& run)
      : run_(run),
        f_(f),
        i_(output),
        n_(f.inputCount),
        on_(f.onLists[output]),
        off_(f.offLists[output]),
        tester_(f, output),
        cube_(n_),
        scores_(2 * static_cast<std::size_t>(n_), 0) {
    const int total = static_cast<int>(on_.size());
    uncovered_.reserve(total);
    for (int k = total - 1; k >= 0; --k) uncovered_.push_back(k);  // pushed at the head: reverse order
    inside_ = uncovered_;
    candidates_.reserve(scores_.size());
    completing_.reserve(scores_.size());
  }

  void run() {
    const int total = static_cast<int>(on_.size());
    run_.progress.begin("CD-search", total, 1);
    // One output's search can take a good part of a second on wide sampled functions: the clock is
    // read every few literal steps, and once the time is up the terms left stay uncovered (the
    // driver completes the coverage).
    DeadlineProbe outOfTime(run_.deadline, kStepsPerCheck);
    while (!inside_.empty()) {
      if (outOfTime.expired()) break;
      bool complete = false;
      if (!literalStep(complete)) break;  // no implicant can hold the terms left
      if (!complete) continue;
      finishImplicant();
      if (run_.progress.step(total - static_cast<int>(uncovered_.size()), 0) == 2) break;
    }
    clearSeparated();
    run_.progress.end();
  }

 private:
  // One literal step; false when no literal is left and the cube is no implicant.
  bool literalStep(bool& complete) {
    score();
    if (candidates_.empty()) {
      complete = tester_.test(cube_);
      return complete;
    }
    const int slots = 2 * n_;
    int chosen;
    if (run_.random.nextRandom() % 100 < run_.settings.cdMutationRatio) {
      chosen = run_.random.nextRandom() % slots;
      while (scores_[chosen] == 0) chosen = (chosen + 1) % slots;
    } else {
      if (candidates_.size() >= 2) preferCompleting(complete);
      chosen = candidates_[run_.random.nextRandom() % static_cast<int>(candidates_.size())];
    }
    addLiteral(chosen / n_ == 1, chosen % n_);
    if (!complete) complete = tester_.test(cube_);
    return true;
  }

  // Scores every literal over the free positions; collects the best slots in ascending order.
  void score() {
    std::fill(scores_.begin(), scores_.end(), 0u);
    const int words = cube_.words();
    const Word* c = cube_.data();
    for (int k : inside_) {
      const Word* e = on_[k].input().data();
      bits::forEachWordBit(words, [&](int w) { return e[w] & ~literalsIn(c, words, w); }, [&](int p) { ++scores_[p]; });
      bits::forEachWordBit(words, [&](int w) { return e[words + w] & ~literalsIn(c, words, w); },
                           [&](int p) { ++scores_[n_ + p]; });
    }
    // A score cannot pass the number of on-set terms, so it never reaches the
    // 2^31 - 1 ceiling of the counters.
    std::uint32_t best = 0;
    candidates_.clear();
    for (int s = 0; s < 2 * n_; ++s) {
      if (scores_[s] == 0 || scores_[s] < best) continue;
      if (scores_[s] > best) {
        best = scores_[s];
        candidates_.clear();
      }
      candidates_.push_back(s);
    }
  }

  // Narrows tied candidates to those that complete the implicant, when there are any.
  void preferCompleting(bool& complete) {
    completing_.clear();
    for (int s : candidates_) {
      const int p = s % n_;
      cube_.set(p, s / n_ == 1 ? '1' : '0');
      if (tester_.test(cube_)) completing_.push_back(s);
      cube_.set(p, '-');
    }
    if (completing_.empty()) return;
    candidates_.swap(completing_);
    complete = true;
  }

  void addLiteral(bool value, int p) {
    // terms holding anything but this literal at p leave the cube
    inside_.erase(std::remove_if(inside_.begin(), inside_.end(),
                                 [&](int k) {
                                   const Cube& e = on_[k].input();
                                   return !bits::testBit(value ? e.one() : e.zero(), p);
                                 }),
                  inside_.end());
    // off-set terms holding the opposite literal at p are now disjoint from the cube
    const int offCount = f_.offCounts.empty() ? 0 : f_.offCounts[i_];
    for (int k = 0; k < offCount && k < static_cast<int>(off_.size()); ++k) {
      const Cube& e = off_[k].input();
      if (!off_[k].separated && !meetsLiteral(e.data(), e.words(), p, value)) off_[k].separated = 1;
    }
    tester_.separate(p, value);
    cube_.set(p, value ? '1' : '0');
    --freeCount_;
  }

  void finishImplicant() {
    addToPool();
    // inside is an ordered subsequence of uncovered: one merge walk removes it
    std::size_t in = 0, to = 0;
    for (std::size_t k = 0; k < uncovered_.size(); ++k) {
      if (in < inside_.size() && uncovered_[k] == inside_[in]) {
        ++in;
        continue;
      }
      uncovered_[to++] = uncovered_[k];
    }
    uncovered_.resize(to);
    inside_ = uncovered_;
    clearSeparated();
    cube_ = Cube(n_);
    freeCount_ = n_;
  }

  void addToPool() {
    TBuffers* rs = run_.state;
    if (!rs || !rs->seedCubes) return;
    if (run_.settings.ieMethod != 0 && i_ < static_cast<int>(rs->ieTrees.size())) {
      if (TermTreeInsert(rs->ieTrees[i_], cube_) == 1) return;  // found before in this run
    }
    TPfnct* t = appendTerm(*rs->seedCubes, cube_, std::string(n_, '0'), freeCount_);
    t->keep = 1;
    t->outputIndex = i_;
  }

  void clearSeparated() {
    for (ListEntry& e : off_) e.separated = 0;
    tester_.unseparateAll();
  }

  RunContext& run_;
  TBoolFnct& f_;
  const int i_;
  const int n_;
  const TermList& on_;
  TermList& off_;
  ImplicantTester tester_;
  Cube cube_;
  int freeCount_ = n_;
  std::vector<std::uint32_t> scores_;
  std::vector<int> uncovered_, inside_, candidates_, completing_;
};

}  // namespace

void CdSearch(TBoolFnct& f, int output, RunContext& run) {
  if (!f.indexed || output < 0 || output >= f.outputCount || output >= static_cast<int>(f.onLists.size())) return;
  Search(f, output, run).run();
}

}  // namespace vorn
