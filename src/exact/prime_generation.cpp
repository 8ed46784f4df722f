#include "exact/prime_generation.h"

#include <algorithm>

#include "model/bits.h"
#include "model/packed_cube.h"
#include "unate/meet_index.h"

namespace vorn {

namespace {

/// Packed cubes with output sets, back to back: the cube's two planes, then the output words.
struct MvList {
  int count = 0;
  std::vector<Word> data;
};

/// Above this many pairs of cofactor primes the primes without the split input come from the merged
/// off-set instead of from the products.
constexpr long long kMaxProducts = 1 << 20;

/// Below this many cubes an off-set is cleared of cubes that another one contains before it is split.
constexpr int kContainmentPassBound = 400;

class Generator {
 public:
  Generator(int inputs, int outputs, const PrimeParams& params, PrimeStats& stats)
      : words_((inputs + 63) / 64),
        outWords_((outputs + 63) / 64),
        stride_(static_cast<std::size_t>(2 * words_ + outWords_)),
        params_(params),
        stats_(stats),
        probe_(params.deadline, 256) {
    if (params.within) withinIndex_ = MeetIndex(params.within->cubes);
  }

  std::size_t stride() const { return stride_; }
  int words() const { return words_; }
  int outWords() const { return outWords_; }

  /// \brief Appends the primes of not r whose output sets lie in `allowed` (those that are wanted); false
  /// once a bound is passed.
  bool primes(MvList& r, std::vector<Word> allowed, MvList& out);

 private:
  Word* at(MvList& l, int k) const { return l.data.data() + static_cast<std::size_t>(k) * stride_; }
  const Word* at(const MvList& l, int k) const { return l.data.data() + static_cast<std::size_t>(k) * stride_; }
  void push(MvList& l, const Word* c) const {
    l.data.insert(l.data.end(), c, c + stride_);
    ++l.count;
  }
  /// \brief True when c meets a cube of `params.within` at a shared output, or there is none.  The parts
  /// of a prime below the split inputs are free at them, so the test is the same at every level.
  bool wanted(const Word* c) const;
  /// \brief Appends c to l when it is wanted.
  void pushWanted(MvList& l, const Word* c) const {
    if (wanted(c)) push(l, c);
  }
  bool anyOutput(const Word* o) const { return bits::anyBit(o, outWords_); }
  /// \brief True when b's output set lies in a's and b's cube in a's.
  bool contains(const Word* a, const Word* b) const {
    return cubeContains(a, b, words_) && bits::isSubset(b + 2 * words_, a + 2 * words_, outWords_);
  }
  /// \brief Cuts every output set down to `allowed` and drops the cubes left without outputs; takes the
  /// outputs of cubes without literals out of `allowed` (every minterm there is off).
  void normalize(MvList& r, std::vector<Word>& allowed) const;
  /// \brief Drops cubes that another cube contains (input part and output set).
  void dropContained(MvList& r) const;
  /// \brief True when the prime p meets some cube of r at a shared output.
  bool meetsAny(const Word* p, const MvList& r) const;
  /// \brief The input to split on and whether it is binate; -1 when no cube has a literal.
  int splitVariable(const MvList& r, bool& binate, int& unateValue) const;
  /// \brief The cubes of r that admit x = value, with x freed (value -1: every cube).
  MvList cofactor(const MvList& r, int x, int value) const;
  /// \brief Appends the cubes of `side` that meet `other`, each with the literal x = value (those wanted).
  bool addSide(const MvList& side, const MvList& other, int x, int value, MvList& out) const;
  bool overLimit(const MvList& out) const { return out.count > params_.maxPrimes; }
  /// \brief The literals of the packed cube folded onto 64 bits: a cube can contain another only when
  /// its signature has no bit outside the other's.
  Word signature(const Word* c) const;
  /// \brief Appends the largest of the intersections of a cube of p0 and a cube of p1 that share outputs
  /// (those wanted).
  bool addProducts(const MvList& p0, const MvList& p1, MvList& out);

  int words_, outWords_;
  std::size_t stride_;
  const PrimeParams& params_;
  PrimeStats& stats_;
  DeadlineProbe probe_;
  MeetIndex withinIndex_;
  mutable std::vector<int> meeting_;
};

bool Generator::wanted(const Word* c) const {
  const CubeSet* within = params_.within;
  if (!within) return true;
  withinIndex_.meeting(within->cubes, c, meeting_);
  for (int k : meeting_) {
    bool shared = false;
    within->outputs[static_cast<std::size_t>(k)].forEach([&](int j) {
      shared = shared || (j < outWords_ * 64 && bits::testBit(c + 2 * words_, j));
    });
    if (shared && cubesMeet(c, within->cubes.cube(k), words_)) return true;
  }
  return false;
}

void Generator::normalize(MvList& r, std::vector<Word>& allowed) const {
  for (bool again = true; again;) {
    again = false;
    int kept = 0;
    for (int k = 0; k < r.count; ++k) {
      Word* c = at(r, k);
      Word* o = c + 2 * words_;
      bits::assignWords(o, outWords_, [&](int q) { return o[q] & allowed[static_cast<std::size_t>(q)]; });
      if (!anyOutput(o)) continue;
      if (isUniversal(c, words_)) {
        bits::assignWords(allowed.data(), outWords_, [&](int q) { return allowed[static_cast<std::size_t>(q)] & ~o[q]; });
        again = true;
        continue;
      }
      if (kept != k) std::copy(c, c + stride_, at(r, kept));
      ++kept;
    }
    r.count = kept;
    r.data.resize(static_cast<std::size_t>(kept) * stride_);
  }
}

void Generator::dropContained(MvList& r) const {
  std::vector<char> gone(static_cast<std::size_t>(r.count), 0);
  for (int a = 0; a < r.count; ++a) {
    if (gone[static_cast<std::size_t>(a)]) continue;
    for (int b = 0; b < r.count; ++b)
      if (b != a && !gone[static_cast<std::size_t>(b)] && contains(at(r, a), at(r, b))) gone[static_cast<std::size_t>(b)] = 1;
  }
  MvList kept;
  for (int k = 0; k < r.count; ++k)
    if (!gone[static_cast<std::size_t>(k)]) push(kept, at(r, k));
  r = std::move(kept);
}

bool Generator::meetsAny(const Word* p, const MvList& r) const {
  for (int k = 0; k < r.count; ++k) {
    const Word* c = at(r, k);
    if (bits::anyCommonBit(p + 2 * words_, c + 2 * words_, outWords_) && cubesMeet(p, c, words_)) return true;
  }
  return false;
}

int Generator::splitVariable(const MvList& r, bool& binate, int& unateValue) const {
  const int n = words_ * 64;
  std::vector<int> zeros(static_cast<std::size_t>(n), 0), ones(static_cast<std::size_t>(n), 0);
  for (int k = 0; k < r.count; ++k) {
    const Word* c = at(r, k);
    bits::forEachBit(c, words_, [&](int i) { ++zeros[static_cast<std::size_t>(i)]; });
    bits::forEachBit(c + words_, words_, [&](int i) { ++ones[static_cast<std::size_t>(i)]; });
  }
  int best = -1;
  long long bestScore = -1;
  for (int i = 0; i < n; ++i) {
    const int z = zeros[static_cast<std::size_t>(i)], o = ones[static_cast<std::size_t>(i)];
    if (z + o == 0) continue;
    // Binate inputs first (the larger smaller count), then by how many cubes they split.
    const long long score = static_cast<long long>(std::min(z, o)) * 1000000 + z + o;
    if (score > bestScore) bestScore = score, best = i;
  }
  if (best >= 0) {
    const int z = zeros[static_cast<std::size_t>(best)], o = ones[static_cast<std::size_t>(best)];
    binate = z > 0 && o > 0;
    unateValue = z > 0 ? 0 : 1;
  }
  return best;
}

MvList Generator::cofactor(const MvList& r, int x, int value) const {
  MvList out;
  out.data.reserve(r.data.size());
  for (int k = 0; k < r.count; ++k) {
    const Word* c = at(r, k);
    // A cube holding the opposite literal has no part where x = value.
    if (value >= 0 && !meetsLiteral(c, words_, x, value == 1)) continue;
    push(out, c);
    freePosition(at(out, out.count - 1), words_, x);
  }
  return out;
}

bool Generator::addSide(const MvList& side, const MvList& other, int x, int value, MvList& out) const {
  std::vector<Word> c(stride_);
  for (int k = 0; k < side.count; ++k) {
    const Word* p = at(side, k);
    if (!meetsAny(p, other)) continue;  // an implicant of the other cofactor: x is not needed
    std::copy(p, p + stride_, c.begin());
    putLiteral(c.data(), words_, x, value == 1);
    pushWanted(out, c.data());
  }
  return !overLimit(out);
}

bool Generator::primes(MvList& r, std::vector<Word> allowed, MvList& out) {
  ++stats_.nodes;
  if (stats_.nodes > params_.maxNodes || probe_.expired()) return false;
  normalize(r, allowed);
  if (!anyOutput(allowed.data())) return true;
  std::vector<Word> cube(stride_, 0);
  std::copy(allowed.begin(), allowed.end(), cube.begin() + 2 * words_);
  if (r.count == 0) {
    pushWanted(out, cube.data());
    return !overLimit(out);
  }
  if (r.count == 1) {
    const Word* c = at(r, 0);
    // not (c x J) = (the opposite of each literal of c) x allowed + (the whole space) x (allowed - J).
    forEachLiteral(c, words_, [&](int i) {
      std::fill(cube.begin(), cube.begin() + 2 * words_, 0);
      putLiteral(cube.data(), words_, i, !literalIsOne(c, words_, i));
      pushWanted(out, cube.data());
    });
    std::fill(cube.begin(), cube.begin() + 2 * words_, 0);
    Word* o = cube.data() + 2 * words_;
    bits::assignWords(o, outWords_, [&](int q) { return allowed[static_cast<std::size_t>(q)] & ~c[2 * words_ + q]; });
    if (anyOutput(o)) pushWanted(out, cube.data());
    return !overLimit(out);
  }
  if (r.count <= kContainmentPassBound) dropContained(r);
  bool binate = false;
  int unateValue = 0;
  const int x = splitVariable(r, binate, unateValue);
  if (binate) {
    MvList r0 = cofactor(r, x, 0), r1 = cofactor(r, x, 1);
    MvList p0, p1;
    MvList copy(r0);  // r0 is read again below, whole
    if (!primes(copy, allowed, p0)) return false;
    copy = r1;
    if (!primes(copy, allowed, p1)) return false;
    if (!addSide(p0, r1, x, 0, out) || !addSide(p1, r0, x, 1, out)) return false;
    // Many products cost more than the primes of the merged off-set, which are the same set.
    if (static_cast<long long>(p0.count) * p1.count <= kMaxProducts) return addProducts(p0, p1, out);
    p0 = MvList{};
    p1 = MvList{};
    MvList merged = cofactor(r, x, -1);
    r = MvList{};
    return primes(merged, allowed, out) && !overLimit(out);
  }
  // x holds only the value v in r: the cofactor at not v (the cubes without x) is contained in the
  // cofactor at v, so the primes without x are those of the cofactor at v, and the side at not v keeps
  // the primes that meet the cubes with the literal.
  MvList middle = cofactor(r, x, -1);
  MvList free = cofactor(r, x, 1 - unateValue), withLiteral;
  for (int k = 0; k < middle.count; ++k)
    if (bits::testBit(at(r, k), x) || bits::testBit(at(r, k) + words_, x)) push(withLiteral, at(middle, k));
  r = MvList{};
  MvList side;
  if (!primes(free, allowed, side)) return false;
  if (!addSide(side, withLiteral, x, 1 - unateValue, out)) return false;
  return primes(middle, allowed, out) && !overLimit(out);
}

Word Generator::signature(const Word* c) const {
  Word s = 0;
  for (int w = 0; w < 2 * words_; ++w) s |= c[w];
  return s;
}

bool Generator::addProducts(const MvList& p0, const MvList& p1, MvList& out) {
  // The primes without x are the largest of the intersections of a prime of each cofactor.
  MvList all;
  std::vector<Word> c(stride_);
  Word* co = c.data() + 2 * words_;
  for (int a = 0; a < p0.count; ++a) {
    const Word* pa = at(p0, a);
    for (int b = 0; b < p1.count; ++b) {
      const Word* pb = at(p1, b);
      if (!cubesMeet(pa, pb, words_)) continue;
      bits::assignWords(co, outWords_, [&](int q) { return pa[2 * words_ + q] & pb[2 * words_ + q]; });
      if (!anyOutput(co)) continue;
      cubeIntersection(c.data(), pa, pb, words_);
      // A product that is not wanted has no wanted product inside it to keep out.
      if (!wanted(c.data())) continue;
      push(all, c.data());
      if (all.count > params_.maxPrimes * 4) return false;
    }
    if (probe_.expired()) return false;
  }
  // Largest first (fewest literals, then most outputs); a cube is kept unless a kept one contains it.
  std::vector<int> literals(static_cast<std::size_t>(all.count)), order(static_cast<std::size_t>(all.count));
  std::vector<Word> sig(static_cast<std::size_t>(all.count));
  for (int k = 0; k < all.count; ++k) {
    const Word* ck = at(all, k);
    literals[static_cast<std::size_t>(k)] = cubeLiterals(ck, words_) * 65536 - bits::countBits(ck + 2 * words_, outWords_);
    sig[static_cast<std::size_t>(k)] = signature(ck);
    order[static_cast<std::size_t>(k)] = k;
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return literals[static_cast<std::size_t>(a)] < literals[static_cast<std::size_t>(b)];
  });
  std::vector<int> kept;
  for (int k : order) {
    const Word* ck = at(all, k);
    const Word sk = sig[static_cast<std::size_t>(k)];
    bool contained = false;
    for (std::size_t i = 0; i < kept.size() && !contained; ++i) {
      const int h = kept[i];
      contained = !(sig[static_cast<std::size_t>(h)] & ~sk) && contains(at(all, h), ck);
    }
    if (contained) continue;
    kept.push_back(k);
    push(out, ck);
    if ((kept.size() & 1023) == 0 && (overLimit(out) || probe_.expired())) return false;
  }
  return !overLimit(out);
}

/// \brief The cubes of `set` with their output sets in the generator's layout.
MvList listOf(const Generator& g, const CubeSet& set, int outputs) {
  MvList r;
  std::vector<Word> c(g.stride(), 0);
  for (int k = 0; k < set.cubes.size(); ++k) {
    std::copy(set.cubes.cube(k), set.cubes.cube(k) + 2 * g.words(), c.begin());
    std::fill(c.begin() + 2 * g.words(), c.end(), 0);
    set.outputs[static_cast<std::size_t>(k)].forEach([&](int j) {
      if (j < outputs) bits::setBit(c.data() + 2 * g.words(), j);
    });
    r.data.insert(r.data.end(), c.begin(), c.end());
    ++r.count;
  }
  return r;
}

}  // namespace

bool GeneratePrimes(const CubeSet& off, int inputs, int outputs, const PrimeParams& params, PrimeSet& primes,
                    PrimeStats& stats) {
  Generator g(inputs, outputs, params, stats);
  MvList r = listOf(g, off, outputs);
  std::vector<Word> allowed(static_cast<std::size_t>(g.outWords()), 0);
  for (int j = 0; j < outputs; ++j) bits::setBit(allowed.data(), j);
  MvList out;
  stats.complete = g.primes(r, allowed, out);
  primes.cubes = CubeList(inputs);
  primes.outputs.clear();
  if (!stats.complete) return false;
  for (int k = 0; k < out.count; ++k) {
    const Word* p = out.data.data() + static_cast<std::size_t>(k) * g.stride();
    primes.cubes.push(p);
    OutputSet o(outputs);
    bits::forEachBit(p + 2 * g.words(), g.outWords(), [&](int j) { o.set(j); });
    primes.outputs.push_back(o);
  }
  return true;
}

}  // namespace vorn
