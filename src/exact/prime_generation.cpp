#include "exact/prime_generation.h"

#include <algorithm>

#include "model/bits.h"
#include "model/counting_order.h"
#include "model/cube_list.h"
#include "model/packed_cube.h"
#include "unate/meet_index.h"

namespace vorn {

namespace {

/// Above this many pairs of cofactor primes the primes without the split input come from the merged
/// off-set instead of from the products.
constexpr long long kMaxProducts = 1 << 20;

/// Below this many cubes an off-set is cleared of cubes that another one contains before it is split.
constexpr int kContainmentPassBound = 400;

/// How many products ahead of the one tested the containment pass fetches.
constexpr std::size_t kAhead = 8;

/// Up to this many inputs a cube's signature holds its literals exactly.
constexpr int kExactSignatureInputs = 32;

/// Kept cubes by the bits of their signatures and by their outputs, one column per bit or output and
/// one bit per cube, the columns of 64 cubes side by side: the cubes whose literals all lie in a given
/// set are those in no column of a bit outside it, and those holding given outputs lie in each of
/// their columns, 64 cubes a word.  On multi-output functions most cubes whose literals lie in a
/// product's lack one of its outputs, and comparing their output sets one by one took a fifth of the
/// generation's time.  Up to 32 inputs a signature is the literal set itself; above, it is folded and
/// the cubes it lets through are compared in full.
class SignatureColumns {
 public:
  explicit SignatureColumns(int outWords) : outWords_(outWords), width_(64 + 64 * static_cast<std::size_t>(outWords)) {}
  /// \brief Adds the next cube, of signature s and output set `out` (outWords words).
  void add(Word s, const Word* out) {
    if ((count_ & 63) == 0) columns_.resize(columns_.size() + width_, 0);
    Word* block = columns_.data() + columns_.size() - width_;
    const Word bit = bits::bitOf(count_);
    used_ |= s;
    bits::forEachBit(&s, 1, [&](int b) { block[b] |= bit; });
    bits::forEachBit(out, outWords_, [&](int j) { block[64 + static_cast<std::size_t>(j)] |= bit; });
    ++count_;
  }
  /// \brief True when fn(k) holds for some cube k added with its signature in s and every output of
  /// `out` (fn is asked only about those).
  template <typename Fn>
  bool anyWithin(Word s, const Word* out, Fn&& fn) const {
    const Word outside = used_ & ~s;
    const std::size_t blocks = (static_cast<std::size_t>(count_) + 63) / 64;
    for (std::size_t b = 0; b < blocks; ++b) {
      const Word* block = columns_.data() + b * width_;
      Word m = b + 1 == blocks && (count_ & 63) ? bits::bitOf(count_) - 1 : ~Word{0};
      // A product has few outputs and a literal set's complement many bits: the outputs go first.
      bits::findWordBit(outWords_, [&](int q) { return out[q]; }, [&](int j) {
        m &= block[64 + static_cast<std::size_t>(j)];
        return m == 0;
      });
      if (m == 0) continue;
      bits::findWordBit(1, [&](int) { return outside; }, [&](int o) {
        m &= ~block[o];
        return m == 0;
      });
      const int base = static_cast<int>(b * 64);
      if (bits::findWordBit(1, [&](int) { return m; }, [&](int k) { return fn(base + k); }) >= 0) return true;
    }
    return false;
  }

 private:
  int outWords_;
  std::size_t width_;          ///< words per block of 64 cubes: 64 signature bits, then the outputs
  std::vector<Word> columns_;  ///< block after block
  Word used_ = 0;
  int count_ = 0;
};

class Generator {
 public:
  Generator(int inputs, int outputs, const PrimeParams& params, PrimeStats& stats)
      : inputs_(inputs),
        outputs_(outputs),
        words_(bits::wordsFor(inputs)),
        outWords_(bits::wordsFor(outputs)),
        stride_(static_cast<std::size_t>(2 * words_ + outWords_)),
        params_(params),
        stats_(stats),
        probe_(params.deadline, 256) {
    if (params.within) withinIndex_ = MeetIndex(params.within->cubes);
  }

  std::size_t stride() const { return stride_; }
  int words() const { return words_; }
  int outWords() const { return outWords_; }
  /// \brief An empty list of cubes with output sets, in the generator's layout.
  CubeList list() const { return CubeList(inputs_, outputs_); }

  /// \brief Appends the primes of not r whose output sets lie in `allowed` (those that are wanted); false
  /// once a bound is passed.
  bool primes(CubeList& r, std::vector<Word> allowed, CubeList& out);

 private:
  /// \brief True when c meets a cube of `params.within` at a shared output, or there is none.  The parts
  /// of a prime below the split inputs are free at them, so the test is the same at every level.
  bool wanted(const Word* c) const;
  /// \brief Appends c to l when it is wanted.
  void pushWanted(CubeList& l, const Word* c) const {
    if (wanted(c)) l.push(c);
  }
  bool anyOutput(const Word* o) const { return bits::anyBit(o, outWords_); }
  /// \brief True when b's output set lies in a's and b's cube in a's.
  bool contains(const Word* a, const Word* b) const {
    return cubeContains(a, b, words_) && bits::isSubset(b + 2 * words_, a + 2 * words_, outWords_);
  }
  /// \brief Cuts every output set down to `allowed` and drops the cubes left without outputs; takes the
  /// outputs of cubes without literals out of `allowed` (every minterm there is off).
  void normalize(CubeList& r, std::vector<Word>& allowed) const;
  /// \brief Drops cubes that another cube contains (input part and output set).
  void dropContained(CubeList& r) const;
  /// \brief True when the prime p meets some cube of r at a shared output.
  bool meetsAny(const Word* p, const CubeList& r) const;
  /// \brief The input to split on and whether it is binate; -1 when no cube has a literal.
  int splitVariable(const CubeList& r, bool& binate, int& unateValue) const;
  /// \brief The cubes of r that admit x = value, with x freed (value -1: every cube).
  CubeList cofactor(const CubeList& r, int x, int value) const;
  /// \brief Appends the cubes of `side` that meet `other`, each with the literal x = value (those wanted).
  bool addSide(const CubeList& side, const CubeList& other, int x, int value, CubeList& out) const;
  bool overLimit(const CubeList& out) const { return out.size() > params_.maxPrimes; }
  /// \brief The literals of the packed cube folded onto 64 bits: a cube can contain another only when
  /// its signature has no bit outside the other's.
  Word signature(const Word* c) const;
  /// \brief Appends the largest of the intersections of a cube of p0 and a cube of p1 that share outputs
  /// (those wanted).
  bool addProducts(const CubeList& p0, const CubeList& p1, CubeList& out);

  int inputs_, outputs_, words_, outWords_;
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

void Generator::normalize(CubeList& r, std::vector<Word>& allowed) const {
  for (bool again = true; again;) {
    again = false;
    int kept = 0;
    for (int k = 0; k < r.size(); ++k) {
      Word* c = r.cube(k);
      Word* o = c + 2 * words_;
      bits::assignWords(o, outWords_, [&](int q) { return o[q] & allowed[static_cast<std::size_t>(q)]; });
      if (!anyOutput(o)) continue;
      if (isUniversal(c, words_)) {
        bits::assignWords(allowed.data(), outWords_, [&](int q) { return allowed[static_cast<std::size_t>(q)] & ~o[q]; });
        again = true;
        continue;
      }
      if (kept != k) std::copy(c, c + stride_, r.cube(kept));
      ++kept;
    }
    r.truncate(kept);
  }
}

void Generator::dropContained(CubeList& r) const {
  std::vector<char> gone(static_cast<std::size_t>(r.size()), 0);
  for (int a = 0; a < r.size(); ++a) {
    if (gone[static_cast<std::size_t>(a)]) continue;
    for (int b = 0; b < r.size(); ++b)
      if (b != a && !gone[static_cast<std::size_t>(b)] && contains(r.cube(a), r.cube(b)))
        gone[static_cast<std::size_t>(b)] = 1;
  }
  CubeList kept = list();
  for (int k = 0; k < r.size(); ++k)
    if (!gone[static_cast<std::size_t>(k)]) kept.push(r.cube(k));
  r = std::move(kept);
}

bool Generator::meetsAny(const Word* p, const CubeList& r) const {
  for (int k = 0; k < r.size(); ++k) {
    const Word* c = r.cube(k);
    if (bits::anyCommonBit(p + 2 * words_, c + 2 * words_, outWords_) && cubesMeet(p, c, words_)) return true;
  }
  return false;
}

int Generator::splitVariable(const CubeList& r, bool& binate, int& unateValue) const {
  const int n = words_ * 64;
  std::vector<int> zeros(static_cast<std::size_t>(n), 0), ones(static_cast<std::size_t>(n), 0);
  for (int k = 0; k < r.size(); ++k) {
    const Word* c = r.cube(k);
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

CubeList Generator::cofactor(const CubeList& r, int x, int value) const {
  CubeList out = list();
  out.reserve(r.size());
  for (int k = 0; k < r.size(); ++k) {
    const Word* c = r.cube(k);
    // A cube holding the opposite literal has no part where x = value.
    if (value >= 0 && !meetsLiteral(c, words_, x, value == 1)) continue;
    out.push(c);
    freePosition(out.cube(out.size() - 1), words_, x);
  }
  return out;
}

bool Generator::addSide(const CubeList& side, const CubeList& other, int x, int value, CubeList& out) const {
  std::vector<Word> c(stride_);
  for (int k = 0; k < side.size(); ++k) {
    const Word* p = side.cube(k);
    if (!meetsAny(p, other)) continue;  // an implicant of the other cofactor: x is not needed
    std::copy(p, p + stride_, c.begin());
    putLiteral(c.data(), words_, x, value == 1);
    pushWanted(out, c.data());
  }
  return !overLimit(out);
}

bool Generator::primes(CubeList& r, std::vector<Word> allowed, CubeList& out) {
  ++stats_.nodes;
  if (stats_.nodes > params_.maxNodes || probe_.expired()) return false;
  normalize(r, allowed);
  if (!anyOutput(allowed.data())) return true;
  std::vector<Word> cube(stride_, 0);
  std::copy(allowed.begin(), allowed.end(), cube.begin() + 2 * words_);
  if (r.size() == 0) {
    pushWanted(out, cube.data());
    return !overLimit(out);
  }
  if (r.size() == 1) {
    const Word* c = r.cube(0);
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
  if (r.size() <= kContainmentPassBound) dropContained(r);
  bool binate = false;
  int unateValue = 0;
  const int x = splitVariable(r, binate, unateValue);
  if (binate) {
    CubeList r0 = cofactor(r, x, 0), r1 = cofactor(r, x, 1);
    CubeList p0 = list(), p1 = list();
    CubeList copy(r0);  // r0 is read again below, whole
    if (!primes(copy, allowed, p0)) return false;
    copy = r1;
    if (!primes(copy, allowed, p1)) return false;
    if (!addSide(p0, r1, x, 0, out) || !addSide(p1, r0, x, 1, out)) return false;
    // Many products cost more than the primes of the merged off-set, which are the same set.
    if (static_cast<long long>(p0.size()) * p1.size() <= kMaxProducts) return addProducts(p0, p1, out);
    p0 = list();
    p1 = list();
    CubeList merged = cofactor(r, x, -1);
    r = list();
    return primes(merged, allowed, out) && !overLimit(out);
  }
  // x holds only the value v in r: the cofactor at not v (the cubes without x) is contained in the
  // cofactor at v, so the primes without x are those of the cofactor at v, and the side at not v keeps
  // the primes that meet the cubes with the literal.
  CubeList middle = cofactor(r, x, -1);
  CubeList free = cofactor(r, x, 1 - unateValue), withLiteral = list();
  for (int k = 0; k < middle.size(); ++k)
    if (hasLiteral(r.cube(k), words_, x)) withLiteral.push(middle.cube(k));
  r = list();
  CubeList side = list();
  if (!primes(free, allowed, side)) return false;
  if (!addSide(side, withLiteral, x, 1 - unateValue, out)) return false;
  return primes(middle, allowed, out) && !overLimit(out);
}

Word Generator::signature(const Word* c) const {
  // The words of the ones are folded half a word over those of the zeros, so that up to 32 inputs
  // the signature keeps every literal apart; folding by OR keeps containment of literal sets.
  Word s = 0;
  for (int w = 0; w < words_; ++w) s |= c[w] | (c[words_ + w] << 32 | c[words_ + w] >> 32);
  return s;
}

bool Generator::addProducts(const CubeList& p0, const CubeList& p1, CubeList& out) {
  // The primes without x are the largest of the intersections of a prime of each cofactor.
  CubeList all = list();
  std::vector<Word> c(stride_);
  Word* co = c.data() + 2 * words_;
  for (int a = 0; a < p0.size(); ++a) {
    const Word* pa = p0.cube(a);
    // p1's rows are walked by a pointer: pushing onto `all` would make the compiler read p1 afresh.
    const Word* pb = p1.cube(0);
    for (int b = 0, count = p1.size(); b < count; ++b, pb += stride_) {
      if (!cubesMeet(pa, pb, words_)) continue;
      bits::assignWords(co, outWords_, [&](int q) { return pa[2 * words_ + q] & pb[2 * words_ + q]; });
      if (!anyOutput(co)) continue;
      cubeIntersection(c.data(), pa, pb, words_);
      // A product that is not wanted has no wanted product inside it to keep out.
      if (!wanted(c.data())) continue;
      all.push(c.data());
      if (all.size() > params_.maxPrimes * 4) return false;
    }
    // A row of products can take long on many inputs: the clock is read after every one.
    if (params_.deadline.expired()) return false;
  }
  // Largest first (fewest literals, then most outputs); a cube is kept unless a kept one contains it.
  // Two counting passes order them: by outputs, most first, then by literals, fewest first.
  std::vector<int> literals(static_cast<std::size_t>(all.size())), outputs(static_cast<std::size_t>(all.size()));
  std::vector<Word> sig(static_cast<std::size_t>(all.size()));
  for (int k = 0; k < all.size(); ++k) {
    const Word* ck = all.cube(k);
    literals[static_cast<std::size_t>(k)] = cubeLiterals(ck, words_);
    outputs[static_cast<std::size_t>(k)] = bits::countBits(ck + 2 * words_, outWords_);
    sig[static_cast<std::size_t>(k)] = signature(ck);
  }
  const int mostOutputs = 64 * outWords_;
  const std::vector<int> byOutputs = CountingOrder(all.size(), mostOutputs + 1, [&](int k) {
    return mostOutputs - outputs[static_cast<std::size_t>(k)];
  });
  std::vector<int> order = CountingOrder(all.size(), inputs_ + 1, [&](int k) {
    return literals[static_cast<std::size_t>(byOutputs[static_cast<std::size_t>(k)])];
  });
  for (int& k : order) k = byOutputs[static_cast<std::size_t>(k)];
  // The kept cubes whose literals may lie in a product's (by their signatures) and whose outputs hold
  // its outputs are found by columns, 64 at a time; up to 32 inputs that settles it, above the ones
  // found are compared in full.  They join `out` at the end, in the order kept.
  CubeList kept = list();
  const bool exact = inputs_ <= kExactSignatureInputs;
  SignatureColumns columns(outWords_);
  int looked = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    // A product's containment test may read every kept cube: the clock is read every 64 of them.
    if ((++looked & 63) == 0 && params_.deadline.expired()) return false;
    // The products are read in an order of their own, far apart in memory: the next ones are fetched
    // while this one is tested.
    if (i + kAhead < order.size()) {
      const int next = order[i + kAhead];
      __builtin_prefetch(all.cube(next));
      __builtin_prefetch(all.cube(next) + 2 * words_);
      __builtin_prefetch(&sig[static_cast<std::size_t>(next)]);
    }
    const int k = order[i];
    const Word* ck = all.cube(k);
    const Word sk = sig[static_cast<std::size_t>(k)];
    const bool contained =
        columns.anyWithin(sk, ck + 2 * words_, [&](int a) { return exact || cubeContains(kept.cube(a), ck, words_); });
    if (contained) continue;
    columns.add(sk, ck + 2 * words_);
    kept.push(ck);
    if ((kept.size() & 1023) == 0 && out.size() + kept.size() > params_.maxPrimes) return false;
  }
  for (int k = 0; k < kept.size(); ++k) out.push(kept.cube(k));
  return !overLimit(out);
}

/// \brief The cubes of `set` with their output sets in the generator's layout.
CubeList listOf(const Generator& g, const CubeSet& set, int outputs) {
  CubeList r = g.list();
  std::vector<Word> c(g.stride(), 0);
  for (int k = 0; k < set.cubes.size(); ++k) {
    std::copy(set.cubes.cube(k), set.cubes.cube(k) + 2 * g.words(), c.begin());
    std::fill(c.begin() + 2 * g.words(), c.end(), 0);
    set.outputs[static_cast<std::size_t>(k)].forEach([&](int j) {
      if (j < outputs) bits::setBit(c.data() + 2 * g.words(), j);
    });
    r.push(c.data());
  }
  return r;
}

}  // namespace

bool GeneratePrimes(const CubeSet& off, int inputs, int outputs, const PrimeParams& params, PrimeSet& primes,
                    PrimeStats& stats) {
  Generator g(inputs, outputs, params, stats);
  CubeList r = listOf(g, off, outputs);
  std::vector<Word> allowed(static_cast<std::size_t>(g.outWords()), 0);
  for (int j = 0; j < outputs; ++j) bits::setBit(allowed.data(), j);
  CubeList out = g.list();
  stats.complete = g.primes(r, allowed, out);
  primes.cubes = CubeList(inputs);
  primes.outputs.clear();
  if (!stats.complete) return false;
  for (int k = 0; k < out.size(); ++k) {
    primes.cubes.push(out.cube(k));
    OutputSet o(outputs);
    bits::forEachBit(out.out(k), g.outWords(), [&](int j) { o.set(j); });
    primes.outputs.push_back(o);
  }
  return true;
}

}  // namespace vorn
