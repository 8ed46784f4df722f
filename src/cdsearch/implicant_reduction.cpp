// Implicant reduction.  For a term T and each output it does not yet serve,
// every off-set term that meets T is one obstacle; a literal at a free
// position p of T removes the obstacles holding the opposite value at p.  The
// literal with the most removals is chosen (or, for a share of the choices
// set by the mutation ratio, a random literal with at least one), and the
// copy becomes valid for each output none of whose obstacles survive it.
//
// The obstacles are terms of the source, each in the off-lists of many
// outputs, so the work is done per source term: whether it meets T is asked
// once, and its literals count as many times as there are outputs it is an
// obstacle at.  A wide function with few terms then costs its terms times its
// inputs plus its list entries, not its outputs times its inputs.
#include "cdsearch/implicant_reduction.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "unate/implicant_tester.h"

namespace vorn {

namespace {

class Reducer {
 public:
  Reducer(const TBoolFnct& f, RunContext& run)
      : run_(run),
        f_(f),
        n_(f.inputCount),
        m_(f.outputCount),
        words_(bits::wordsFor(f.inputCount)),
        count_(2 * static_cast<std::size_t>(n_)),
        meets_(f.listCubes.size(), kUnknown),
        weight_(f.listCubes.size(), 0),
        survives_(f.listCubes.size(), 0) {}

  // Appends the reduced copy of t, if there is one.
  void reduce(TBoolFnct& products, TPfnct& t) {
    if (t.freeCount == 0) return;
    const bool found = gather(t);
    if (found) {
      int v = 0, p = 0;
      choose(v, p);
      TPfnct* u = appendTerm(products, t.input, t.output, t.freeCount);
      u->input.set(p, v ? '1' : '0');
      --u->freeCount;
      // An obstacle survives the literal unless it holds the opposite value at p.
      for (int e : touched_) {
        const Cube& c = f_.listCubes[static_cast<std::size_t>(e)];
        survives_[static_cast<std::size_t>(e)] =
            meets_[static_cast<std::size_t>(e)] == kYes && !bits::testBit(v ? c.zero() : c.one(), p);
      }
      for (int k = 0; k < m_ && k < static_cast<int>(u->output.size()); ++k) {
        if (u->output[k] != '0' || k >= static_cast<int>(f_.offLists.size())) continue;
        const TermList& off = f_.offLists[static_cast<std::size_t>(k)];
        if (std::none_of(off.begin(), off.end(),
                         [&](const ListEntry& e) { return survives_[static_cast<std::size_t>(e.term)] != 0; }))
          u->output[k] = '1';
      }
    }
    for (int e : touched_) {
      meets_[static_cast<std::size_t>(e)] = kUnknown;
      weight_[static_cast<std::size_t>(e)] = 0;
      survives_[static_cast<std::size_t>(e)] = 0;
    }
    touched_.clear();
  }

 private:
  static constexpr char kUnknown = 0, kYes = 1, kNo = 2;

  // Whether source term e meets t, asked once per term.
  bool meets(const TPfnct& t, int e) {
    char& known = meets_[static_cast<std::size_t>(e)];
    if (known == kUnknown) {
      known = cubesMeet(t.input.data(), f_.listCubes[static_cast<std::size_t>(e)].data(), words_) ? kYes : kNo;
      touched_.push_back(e);
    }
    return known == kYes;
  }

  // Fills count for t; true when some literal separates an obstacle.
  bool gather(const TPfnct& t) {
    std::fill(count_.begin(), count_.end(), 0);
    for (int k = 0; k < m_ && k < static_cast<int>(t.output.size()); ++k) {
      if (t.output[k] != '0' || k >= static_cast<int>(f_.offLists.size())) continue;
      for (const ListEntry& e : f_.offLists[static_cast<std::size_t>(k)])
        if (meets(t, e.term)) ++weight_[static_cast<std::size_t>(e.term)];
    }
    bool found = false;
    const std::uint64_t* tz = t.input.zero();
    const std::uint64_t* to = t.input.one();
    for (int e : touched_) {
      const int weight = weight_[static_cast<std::size_t>(e)];
      if (weight == 0) continue;
      const Cube& c = f_.listCubes[static_cast<std::size_t>(e)];
      for (int w = 0; w < words_; ++w) {
        const std::uint64_t freePos = ~(tz[w] | to[w]) & validMask(w);
        const std::uint64_t ones = c.one()[w] & freePos;    // separated by the literal '0'
        const std::uint64_t zeros = c.zero()[w] & freePos;  // separated by the literal '1'
        if (ones | zeros) found = true;
        addCounts(ones, 0, w, weight);
        addCounts(zeros, 1, w, weight);
      }
    }
    return found;
  }

  std::uint64_t validMask(int w) const {
    const int rest = n_ - 64 * w;
    return rest >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << rest) - 1;
  }

  void addCounts(std::uint64_t positions, int v, int w, int weight) {
    bits::forEachBit(&positions, 1, [&](int i) { count_[static_cast<std::size_t>(v) * n_ + w * 64 + i] += weight; });
  }

  int countAt(int v, int p) const { return count_[static_cast<std::size_t>(v) * n_ + p]; }

  void choose(int& v, int& p) {
    if (run_.random.nextRandom() % 100 < run_.settings.irMutationRatio) {
      p = run_.random.nextRandom() % n_;
      v = run_.random.nextRandom() % 2;
      int wraps = 0;
      while (countAt(v, p) == 0) {
        if (++p == n_) {
          p = 0;
          if (++wraps >= 2) v = 1 - v;  // the first wrap finishes row v, later ones switch rows
        }
      }
      return;
    }
    int best = 0, ties = 0;
    for (int vv = 0; vv < 2; ++vv)
      for (int pp = 0; pp < n_; ++pp) {
        const int c = countAt(vv, pp);
        if (c > best) {
          best = c;
          ties = 1;
        } else if (c == best && c > 0) {
          ++ties;
        }
      }
    int pick = ties > 1 ? run_.random.nextRandom() % ties : 0;
    for (int vv = 0; vv < 2; ++vv)
      for (int pp = 0; pp < n_; ++pp)
        if (countAt(vv, pp) == best && pick-- == 0) {
          v = vv;
          p = pp;
          return;
        }
  }

  RunContext& run_;
  const TBoolFnct& f_;
  const int n_, m_, words_;
  std::vector<int> count_;
  std::vector<char> meets_;     ///< by source term: kUnknown, kYes, kNo
  std::vector<int> weight_;     ///< by source term: the outputs it is an obstacle at
  std::vector<char> survives_;  ///< by source term: an obstacle still after the chosen literal
  std::vector<int> touched_;    ///< source terms whose meets_ is known
};

}  // namespace

void ReduceImplicants(TBoolFnct& products, RunContext& run) {
  run.progress.begin("IR", 0, 1);
  // The work arrays grow with the inputs and the source terms; an empty set
  // (most outputs of a wide function) must not pay for them once per output.
  if (products.head && products.source && products.source->indexed) {
    Reducer reducer(*products.source, run);
    // copies are appended at the end, so this walk reaches them too
    for (TPfnct* t = products.head.get(); t; t = t->next.get()) {
      reducer.reduce(products, *t);
      if (run.progress.step(0, 0) == 2) break;
    }
  }
  run.progress.end();
}

}  // namespace vorn
