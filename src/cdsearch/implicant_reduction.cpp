// Implicant reduction.  For a term T and each output it does not yet serve,
// every off-set term that meets T is one obstacle; a literal at a free
// position p of T removes the obstacles holding the opposite value at p.  The
// literal with the most removals is chosen (or, for a share of the choices
// set by the mutation ratio, a random literal with at least one), and the
// copy becomes valid for each output none of whose obstacles survive it.
//
// Per output k the "survives" flags are gathered as bit masks over the free
// positions: an obstacle survives the literal v at p unless it holds the
// opposite of v there, so blocked[v][k] is the OR over the obstacles of the
// positions where they do not hold the opposite of v.  Counts need the
// individual positions and are added bit by bit.
//
// That holds for functions of at most 64 inputs, where a mask is one word per
// output and the scan is the tightest loop.  A wider function would pay for
// its outputs times its inputs in masks and packed off-sets, however few its
// terms; there the work is done per source term instead, since each sits in
// the off-lists of many outputs: whether it meets T is asked once, its
// literals count as many times as there are outputs it is an obstacle at,
// and after the choice an output is served when none of its off-list terms
// still meets the copy.
#include "cdsearch/implicant_reduction.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "unate/implicant_tester.h"

namespace vorn {

namespace {

// The scan of one output's off-set for a term (tz, to) of at most 64 inputs.
// It is the innermost loop of the reduction; kept out of line, the
// compiler holds the term, the masks and the running unions in registers
// instead of spilling them to make room for the caller's state.
__attribute__((noinline)) bool scanOneWord(const Word* e, int count, Word tz, Word to, Word freePos, int* count0,
                                           int* count1, Word& block0, Word& block1) {
  const Word term[2] = {tz, to};
  Word b0 = 0, b1 = 0, any = 0;
  for (const Word* end = e + 2 * static_cast<std::size_t>(count); e != end; e += 2) {
    if (!cubesMeet(term, e, 1)) continue;
    const Word ones = e[1] & freePos;   // separated by the literal '0'
    const Word zeros = e[0] & freePos;  // separated by the literal '1'
    any |= ones | zeros;
    bits::forEachBit(&ones, 1, [count0](int i) { ++count0[i]; });
    bits::forEachBit(&zeros, 1, [count1](int i) { ++count1[i]; });
    b0 |= freePos & ~ones;
    b1 |= freePos & ~zeros;
  }
  block0 |= b0;
  block1 |= b1;
  return any != 0;
}

class Reducer {
 public:
  Reducer(const TBoolFnct& f, RunContext& run)
      : run_(run),
        f_(f),
        n_(f.inputCount),
        m_(f.outputCount),
        words_(bits::wordsFor(f.inputCount)),
        count_(2 * static_cast<std::size_t>(n_)),
        blocked_(words_ == 1 ? 2 * m_ : 0, 1),
        off_(words_ == 1 ? m_ : 0),
        packed_(words_ == 1 ? m_ : 0, 0),
        meets_(words_ == 1 ? 0 : f.listCubes.size(), kUnknown),
        weight_(words_ == 1 ? 0 : f.listCubes.size(), 0),
        survives_(words_ == 1 ? 0 : f.listCubes.size(), 0) {}

  // Appends the reduced copy of t, if there is one.
  void reduce(TBoolFnct& products, TPfnct& t) {
    if (t.freeCount == 0) return;
    if (words_ > 1) return reduceWide(products, t);
    if (!gather(t)) return;
    int v = 0, p = 0;
    choose(v, p);
    TPfnct* u = appendTerm(products, t.input, t.output, t.freeCount);
    u->input.set(p, v ? '1' : '0');
    --u->freeCount;
    for (int k = 0; k < m_ && k < static_cast<int>(u->output.size()); ++k)
      if (u->output[k] == '0' && !bits::testBit(blocked(v, k), p)) u->output[k] = '1';
  }

 private:
  std::uint64_t* blocked(int v, int k) { return blocked_.row(v * m_ + k); }

  // Fills count and blocked for t (at most 64 inputs); true when some literal separates an obstacle.
  bool gather(const TPfnct& t) {
    std::fill(count_.begin(), count_.end(), 0);
    blocked_.zero();
    bool found = false;
    const std::uint64_t* tz = t.input.zero();
    const std::uint64_t* to = t.input.one();
    for (int k = 0; k < m_ && k < static_cast<int>(t.output.size()); ++k) {
      if (t.output[k] != '0' || k >= static_cast<int>(f_.offLists.size())) continue;
      std::uint64_t* block0 = blocked(0, k);
      std::uint64_t* block1 = blocked(1, k);
      const CubeList& off = offSet(k);
      found = gatherOneWord(off, tz[0], to[0], block0, block1) || found;
    }
    return found;
  }

  // The off-set of output k packed into one array on first use: the scan of
  // every term runs over it, so contiguous masks pay for the copy at once.
  const CubeList& offSet(int k) {
    if (!packed_[k]) {
      off_[k] = packInputs(f_.offLists[k], n_);
      packed_[k] = 1;
    }
    return off_[k];
  }

  // The same scan for functions of at most 64 inputs (see scanOneWord).
  bool gatherOneWord(const CubeList& off, std::uint64_t tz, std::uint64_t to, std::uint64_t* block0,
                     std::uint64_t* block1) {
    return scanOneWord(off.raw().data(), off.size(), tz, to, ~(tz | to) & validMask(0), count_.data(),
                       count_.data() + n_, *block0, *block1);
  }

  // The reduction of t on a function of more than 64 inputs, per source term.
  void reduceWide(TBoolFnct& products, TPfnct& t) {
    if (gatherWide(t)) {
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

  // Whether source term e meets t, asked once per term.
  bool meets(const TPfnct& t, int e) {
    char& known = meets_[static_cast<std::size_t>(e)];
    if (known == kUnknown) {
      known = cubesMeet(t.input.data(), f_.listCubes[static_cast<std::size_t>(e)].data(), words_) ? kYes : kNo;
      touched_.push_back(e);
    }
    return known == kYes;
  }

  // Fills count for t, per source term; true when some literal separates an obstacle.
  bool gatherWide(const TPfnct& t) {
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
  static constexpr char kUnknown = 0, kYes = 1, kNo = 2;

  std::vector<int> count_;
  // at most 64 inputs
  WordRows blocked_;  // per literal value and output, the positions where an obstacle survives it
  std::vector<CubeList> off_;
  std::vector<char> packed_;
  // more than 64 inputs, by source term
  std::vector<char> meets_;     // kUnknown, kYes, kNo
  std::vector<int> weight_;     // the outputs it is an obstacle at
  std::vector<char> survives_;  // an obstacle still after the chosen literal
  std::vector<int> touched_;    // the terms whose meets_ is known
};

}  // namespace

void ReduceImplicants(TBoolFnct& products, RunContext& run) {
  run.progress.begin("IR", 0, 1);
  // The work arrays grow with the outputs or the source terms; an empty set
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
