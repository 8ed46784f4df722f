// Covers built top-down, one cube at a time (separate and conquer).
//
// Every other start of the refinement grows its cubes out of terms that are
// already there: a term keeps some of its own literals.  On sampled functions
// (a few thousand on-set and off-set minterms, every other point a
// don't-care) those cubes stay near the minterms they came from: primes of
// many literals that hold few minterms each.  Rule learners cover such data
// the other way round: a cube starts as the universal cube and is specialized
// literal by literal, each time with the literal, of any input, that keeps
// the most on-set minterms not yet covered for the off-set terms it lets go
// (the information gain of FOIL), until it meets no off-set term.  Then the
// literals no off-set term needs go again (the last taken first), the cube
// is a prime, the minterms it holds are covered, and the next cube starts on
// those left.
//
// One literal at a time is short-sighted where the cubes to find are small
// (a cube of eight literals holds a few dozen of the minterms): the literals
// of several such cubes look alike at first.  So the descent is a beam
// search: each step keeps the `beam` partial cubes of best gain, and of the
// cubes that reach the off-set-free end the one holding the most uncovered
// minterms wins; a partial cube that already holds no more than that winner
// is let go.  Each step costs one pass per partial cube over the literal
// columns of the on- and off-set (only their words still holding some of the
// cube's terms), so a cube costs its literals times the beam times
// (on-set + off-set) x inputs / 64 word operations, and a wider beam buys
// better cubes with time.
#include "refine/top_down_cover.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/packed_cube.h"

namespace vorn {

namespace {

/// The largest share of its size by which a drawn start lowers a gain.
constexpr double kGainSlack = 0.1;

struct Literal {
  int input, value;
};

class TopDownBuilder {
 public:
  TopDownBuilder(const RefineSource& s, Random* random, int beam)
      : on_(s.on), off_(s.off), random_(random), beam_(std::max(beam, 1)), inputs_(s.inputs), outputs_(s.outputs),
        pb_(s.on.columns.blocks()), nb_(s.off.columns.blocks()) {
    cube_.assign(2 * static_cast<std::size_t>(bits::wordsFor(inputs_)), 0);
    scratch_.resize(std::max(pb_, nb_));
    // The gains take the logarithms of counts up to the number of terms plus one.
    log2_.resize(static_cast<std::size_t>(s.on.cubes.size() + s.off.cubes.size()) + 2);
    for (std::size_t k = 1; k < log2_.size(); ++k) log2_[k] = std::log2(static_cast<double>(k));
  }

  /// \brief Adds to `out` cubes that cover the on-set minterms of output j left uncovered by it.
  bool coverOutput(int j, Cover& out, DeadlineProbe& probe) {
    std::vector<Word> uncovered = on_.ofBits[static_cast<std::size_t>(j)];
    const std::vector<Word>& offJ = off_.ofBits[static_cast<std::size_t>(j)];
    // Cubes made for earlier outputs take this one too where they may.
    for (int k = 0; k < out.size(); ++k) {
      if (!isImplicant(out.in.cube(k), offJ)) continue;
      if (!subtractInside(out.in.cube(k), uncovered)) continue;
      out.out[static_cast<std::size_t>(k)].set(j);
    }
    pack(uncovered);
    while (bitspan::any(uncovered.data(), pb_)) {
      if (probe.expired()) return false;
      OutputSet mine(outputs_);
      mine.set(j);
      if (!buildCube(uncovered, offJ, probe)) {
        if (probe.expired()) return false;
        // No literal separates what is left (an inconsistent source): its minterms stand for themselves.
        bitspan::forEach(uncovered.data(), pb_, [&](int t) { out.add(on_.cubes.cube(t), mine); });
        return true;
      }
      subtractInside(cube_.data(), uncovered);
      out.add(cube_.data(), mine);
      for (std::size_t t = 0; t < ids_.size(); ++t)
        if (!bitspan::test(uncovered.data(), ids_[t])) bitspan::reset(live_.data(), static_cast<int>(t));
      if (2 * static_cast<std::size_t>(bitspan::count(live_.data(), cb_)) < ids_.size()) pack(uncovered);
    }
    return true;
  }

 private:
  int words() const { return bits::wordsFor(inputs_); }

  /// \brief Takes the minterms of `uncovered` as those the partial cubes count, with the on-set's
  /// literal columns packed to them alone: later cubes, with fewer minterms left, count faster.
  void pack(const std::vector<Word>& uncovered) {
    ids_.clear();
    bitspan::forEach(uncovered.data(), pb_, [&](int t) { ids_.push_back(t); });
    cb_ = static_cast<std::size_t>(std::max(bits::wordsFor(static_cast<int>(ids_.size())), 1));
    packed_.assign(2 * static_cast<std::size_t>(inputs_) * cb_, 0);
    live_.assign(cb_, 0);
    for (std::size_t t = 0; t < ids_.size(); ++t) bitspan::set(live_.data(), static_cast<int>(t));
    for (int i = 0; i < inputs_; ++i)
      for (int v = 0; v < 2; ++v) {
        const Word* from = on_.columns.holds(i, v);
        Word* to = packed_.data() + (2 * static_cast<std::size_t>(i) + static_cast<std::size_t>(v)) * cb_;
        for (std::size_t t = 0; t < ids_.size(); ++t)
          if (bitspan::test(from, ids_[t])) bitspan::set(to, static_cast<int>(t));
      }
  }

  /// \brief The packed minterms holding value v at input i.
  const Word* holds(int i, int v) const {
    return packed_.data() + (2 * static_cast<std::size_t>(i) + static_cast<std::size_t>(v)) * cb_;
  }

  /// \brief The indices of the non-zero words of `set`, into `at`.
  static void nonZero(const std::vector<Word>& set, std::vector<int>& at) {
    at.clear();
    for (std::size_t w = 0; w < set.size(); ++w)
      if (set[w]) at.push_back(static_cast<int>(w));
  }

  /// \brief True when the packed cube meets no off-set term in `offJ`.
  bool isImplicant(const Word* c, const std::vector<Word>& offJ) {
    return !off_.columns.meetsAnyOf(c, offJ.data(), scratch_.data());
  }

  /// \brief Removes from `set` the on-set minterms inside the packed cube; true when there were any.
  bool subtractInside(const Word* c, std::vector<Word>& set) {
    on_.columns.inside(c, scratch_.data());
    if (!bits::anyCommonBit(scratch_.data(), set.data(), static_cast<int>(pb_))) return false;
    bitspan::andNotInto(set.data(), scratch_.data(), pb_);
    return true;
  }

  /// A cube on its way down: its literals, the uncovered on-set minterms it holds and the off-set
  /// terms it still meets.
  struct Partial {
    std::vector<Word> cube, pos, neg;
    std::vector<Literal> kept;
    int p = 0, n = 0;
  };
  struct Child {
    int parent, id, p, n;
    double gain;
    int order;  ///< the place it was found in
  };

  /// \brief Specializes the universal cube, keeping the kBeam best partial cubes at each step, until
  /// they meet no off-set term of `offJ`; the prime among those ends that holds the most uncovered
  /// minterms (then the fewest literals) goes to cube_.  False when no literal both keeps an
  /// uncovered minterm and lets an off-set term go.
  bool buildCube(const std::vector<Word>& uncovered, const std::vector<Word>& offJ, DeadlineProbe& probe) {
    std::vector<Partial> beam(1), next;
    beam[0].cube.assign(cube_.size(), 0);
    beam[0].pos = live_;
    beam[0].neg = offJ;
    beam[0].p = bitspan::count(live_.data(), cb_);
    beam[0].n = bitspan::count(offJ.data(), nb_);
    if (beam[0].n == 0) {  // no off-set term: the universal cube is the prime
      cube_ = beam[0].cube;
      return true;
    }
    int bestP = -1, bestLiterals = 0;
    std::vector<Child> children;
    while (!beam.empty()) {
      if (probe.expired()) return false;
      children.clear();
      for (std::size_t b = 0; b < beam.size(); ++b) {
        const Partial& at = beam[b];
        const double before = log2_[static_cast<std::size_t>(at.p + 1)] - log2_[static_cast<std::size_t>(at.p + at.n + 1)];
        // Counted over the words where the cube still holds something: the sets thin out fast.
        nonZero(at.pos, pw_);
        nonZero(at.neg, nw_);
        // Where most words hold some, the plain pass over all of them is the faster one.
        const bool densePos = 4 * pw_.size() >= 3 * cb_, denseNeg = 4 * nw_.size() >= 3 * nb_;
        const Word* pos = at.pos.data();
        const Word* neg = at.neg.data();
        for (int i = 0; i < inputs_; ++i) {
          if (hasLiteral(at.cube.data(), words(), i)) continue;
          for (int v = 0; v < 2; ++v) {
            const Word* h = holds(i, v);
            const int keptP = densePos ? bitspan::countBoth(pos, h, cb_)
                                       : bits::countWords(static_cast<int>(pw_.size()), [&](int k) { return pos[pw_[k]] & h[pw_[k]]; });
            if (keptP <= bestP) continue;
            const Word* o = off_.columns.holds(i, 1 - v);
            const int keptN = denseNeg ? bitspan::countAndNot(neg, o, nb_)
                                       : bits::countWords(static_cast<int>(nw_.size()), [&](int k) { return neg[nw_[k]] & ~o[nw_[k]]; });
            if (keptN == at.n) continue;
            double gain = (keptP + 1.0) * (log2_[static_cast<std::size_t>(keptP + 1)] - log2_[static_cast<std::size_t>(keptP + keptN + 1)] - before);
            if (random_) gain -= kGainSlack * std::fabs(gain) * random_->randomBelow(1024) / 1024.0;
            children.push_back({static_cast<int>(b), 2 * i + v, keptP, keptN, gain, 0});
          }
        }
      }
      // Ties go to the child found first, so the same draws give the same cubes.
      const auto better = [](const Child& a, const Child& b) { return a.gain > b.gain || (a.gain == b.gain && a.order < b.order); };
      for (std::size_t k = 0; k < children.size(); ++k) children[k].order = static_cast<int>(k);
      // Only the best few are needed in order: sorted a block at a time as the beam fills.
      std::size_t sorted = 0;
      next.clear();
      for (std::size_t k = 0; k < children.size() && static_cast<int>(next.size()) < beam_; ++k) {
        if (k == sorted) {
          const std::size_t upTo = std::min(children.size(), sorted + 2 * static_cast<std::size_t>(beam_) + 8);
          const auto from = children.begin() + static_cast<std::ptrdiff_t>(sorted);
          const auto to = children.begin() + static_cast<std::ptrdiff_t>(upTo);
          if (to != children.end()) std::nth_element(from, to, children.end(), better);
          std::sort(from, to, better);
          sorted = upTo;
        }
        const Child& c = children[k];
        if (c.p <= bestP) continue;
        Partial child = beam[static_cast<std::size_t>(c.parent)];
        const Literal l{c.id / 2, c.id % 2};
        putLiteral(child.cube.data(), words(), l.input, l.value == 1);
        bool seen = false;
        for (const Partial& o : next) seen = seen || o.cube == child.cube;
        if (seen) continue;
        child.kept.push_back(l);
        bitspan::andInto(child.pos.data(), holds(l.input, l.value), cb_);
        bitspan::andNotInto(child.neg.data(), off_.columns.holds(l.input, 1 - l.value), nb_);
        child.p = c.p;
        child.n = c.n;
        if (child.n > 0) {
          next.push_back(std::move(child));
          continue;
        }
        cube_ = child.cube;
        kept_ = child.kept;
        makePrime(offJ);
        std::vector<Word>& held = scratch_;
        on_.columns.inside(cube_.data(), held.data());
        const int p = bitspan::countBoth(held.data(), uncovered.data(), pb_);
        const int literals = cubeLiterals(cube_.data(), words());
        if (p > bestP || (p == bestP && literals < bestLiterals)) {
          bestP = p;
          bestLiterals = literals;
          done_ = cube_;
        }
      }
      std::swap(beam, next);
    }
    if (bestP < 0) return false;
    cube_ = done_;
    return true;
  }

  /// \brief Gives back, the last taken first, every literal of the cube no off-set term of `offJ` needs.
  void makePrime(const std::vector<Word>& offJ) {
    for (std::size_t t = kept_.size(); t-- > 0;) {
      const Literal l = kept_[t];
      freePosition(cube_.data(), words(), l.input);
      if (isImplicant(cube_.data(), offJ)) continue;
      putLiteral(cube_.data(), words(), l.input, l.value == 1);
    }
  }

  const CubeSet& on_;
  const CubeSet& off_;
  Random* random_;
  int beam_;  ///< partial cubes kept per step
  int inputs_, outputs_;
  std::size_t pb_, nb_;  ///< words per span of on-set, of off-set terms
  std::vector<Word> cube_, done_, scratch_;
  std::vector<Literal> kept_;
  std::vector<double> log2_;  ///< log2_[k] = log2(k)
  /// The on-set minterms the partial cubes count (uncovered when packed), their literal columns
  /// packed to them (cb_ words each), and those of them still uncovered.
  std::vector<int> ids_;
  std::vector<Word> packed_, live_;
  std::size_t cb_ = 1;
  std::vector<int> pw_, nw_;  ///< the words a partial cube's on-set and off-set spans hold bits in
};

}  // namespace

bool TopDownApplies(const RefineSource& source) {
  return source.on.minterms && source.on.hasColumns() && source.off.hasColumns() && source.on.cubes.size() > 0;
}

bool TopDownCover(const RefineSource& source, int beam, Random* random, const Deadline* deadline, Cover& out) {
  if (!TopDownApplies(source)) return false;
  Cover built;
  built.in = CubeList(source.inputs);
  TopDownBuilder b(source, random, beam);
  const Deadline none;
  DeadlineProbe probe(deadline ? *deadline : none, 1);
  for (int j = 0; j < source.outputs; ++j)
    if (!b.coverOutput(j, built, probe)) return false;
  out = std::move(built);
  return true;
}

}  // namespace vorn
