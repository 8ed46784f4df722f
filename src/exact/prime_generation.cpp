#include "exact/prime_generation.h"

#include <algorithm>

#include "unate/cofactor.h"

namespace vorn {

namespace {

/// Cubes with output sets, back to back: the zero mask, the one mask, then the output words.
struct MvList {
  int count = 0;
  std::vector<std::uint64_t> data;
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
        probe_(params.deadline, 256) {}

  std::size_t stride() const { return stride_; }
  int words() const { return words_; }
  int outWords() const { return outWords_; }

  /// \brief Appends the primes of not r whose output sets lie in `allowed`; false once a bound is passed.
  bool primes(MvList& r, std::vector<std::uint64_t> allowed, MvList& out);

 private:
  std::uint64_t* at(MvList& l, int k) const { return l.data.data() + static_cast<std::size_t>(k) * stride_; }
  const std::uint64_t* at(const MvList& l, int k) const {
    return l.data.data() + static_cast<std::size_t>(k) * stride_;
  }
  void push(MvList& l, const std::uint64_t* c) const {
    l.data.insert(l.data.end(), c, c + stride_);
    ++l.count;
  }
  bool anyOutput(const std::uint64_t* o) const {
    for (int k = 0; k < outWords_; ++k)
      if (o[k]) return true;
    return false;
  }
  bool noLiteral(const std::uint64_t* c) const {
    for (int k = 0; k < 2 * words_; ++k)
      if (c[k]) return false;
    return true;
  }
  /// \brief Cuts every output set down to `allowed` and drops the cubes left without outputs; takes the
  /// outputs of cubes without literals out of `allowed` (every minterm there is off).
  void normalize(MvList& r, std::vector<std::uint64_t>& allowed) const;
  /// \brief Drops cubes that another cube contains (input part and output set).
  void dropContained(MvList& r) const;
  /// \brief True when the prime p meets some cube of r at a shared output.
  bool meetsAny(const std::uint64_t* p, const MvList& r) const;
  /// \brief The input to split on and whether it is binate; -1 when no cube has a literal.
  int splitVariable(const MvList& r, bool& binate, int& unateValue) const;
  /// \brief The cubes of r that admit x = value, with x freed (value -1: every cube).
  MvList cofactor(const MvList& r, int x, int value) const;
  /// \brief Appends the cubes of `side` that meet `other`, each with the literal x = value.
  bool addSide(const MvList& side, const MvList& other, int x, int value, MvList& out) const;
  bool overLimit(const MvList& out) const { return out.count > params_.maxPrimes; }
  /// \brief The literals of the packed cube folded onto 64 bits: a cube can contain another only when
  /// its signature has no bit outside the other's.
  std::uint64_t signature(const std::uint64_t* c) const;
  /// \brief Appends the largest of the intersections of a cube of p0 and a cube of p1 that share outputs.
  bool addProducts(const MvList& p0, const MvList& p1, MvList& out);

  int words_, outWords_;
  std::size_t stride_;
  const PrimeParams& params_;
  PrimeStats& stats_;
  DeadlineProbe probe_;
};

void Generator::normalize(MvList& r, std::vector<std::uint64_t>& allowed) const {
  for (bool again = true; again;) {
    again = false;
    int kept = 0;
    for (int k = 0; k < r.count; ++k) {
      std::uint64_t* c = at(r, k);
      std::uint64_t* o = c + 2 * words_;
      for (int q = 0; q < outWords_; ++q) o[q] &= allowed[static_cast<std::size_t>(q)];
      if (!anyOutput(o)) continue;
      if (noLiteral(c)) {
        for (int q = 0; q < outWords_; ++q) allowed[static_cast<std::size_t>(q)] &= ~o[q];
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
    const std::uint64_t* ca = at(r, a);
    for (int b = 0; b < r.count; ++b) {
      if (b == a || gone[static_cast<std::size_t>(b)]) continue;
      const std::uint64_t* cb = at(r, b);
      if (!packedContains(ca, cb, words_)) continue;
      bool sub = true;
      for (int q = 0; q < outWords_ && sub; ++q) sub = (cb[2 * words_ + q] & ~ca[2 * words_ + q]) == 0;
      if (sub) gone[static_cast<std::size_t>(b)] = 1;
    }
  }
  MvList kept;
  for (int k = 0; k < r.count; ++k)
    if (!gone[static_cast<std::size_t>(k)]) push(kept, at(r, k));
  r = std::move(kept);
}

bool Generator::meetsAny(const std::uint64_t* p, const MvList& r) const {
  for (int k = 0; k < r.count; ++k) {
    const std::uint64_t* c = at(r, k);
    bool shared = false;
    for (int q = 0; q < outWords_ && !shared; ++q) shared = (p[2 * words_ + q] & c[2 * words_ + q]) != 0;
    if (shared && packedMeet(p, c, words_)) return true;
  }
  return false;
}

int Generator::splitVariable(const MvList& r, bool& binate, int& unateValue) const {
  const int n = words_ * 64;
  std::vector<int> zeros(static_cast<std::size_t>(n), 0), ones(static_cast<std::size_t>(n), 0);
  for (int k = 0; k < r.count; ++k) {
    const std::uint64_t* c = at(r, k);
    for (int w = 0; w < words_; ++w) {
      for (std::uint64_t b = c[w]; b; b &= b - 1) ++zeros[static_cast<std::size_t>(w * 64 + __builtin_ctzll(b))];
      for (std::uint64_t b = c[words_ + w]; b; b &= b - 1)
        ++ones[static_cast<std::size_t>(w * 64 + __builtin_ctzll(b))];
    }
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
  const int w = x >> 6;
  const std::uint64_t bit = std::uint64_t{1} << (x & 63);
  MvList out;
  out.data.reserve(r.data.size());
  for (int k = 0; k < r.count; ++k) {
    const std::uint64_t* c = at(r, k);
    // A cube holding the opposite literal has no part where x = value.
    if (value == 0 && (c[words_ + w] & bit)) continue;
    if (value == 1 && (c[w] & bit)) continue;
    push(out, c);
    std::uint64_t* d = at(out, out.count - 1);
    d[w] &= ~bit;
    d[words_ + w] &= ~bit;
  }
  return out;
}

bool Generator::addSide(const MvList& side, const MvList& other, int x, int value, MvList& out) const {
  const int w = x >> 6;
  const std::uint64_t bit = std::uint64_t{1} << (x & 63);
  for (int k = 0; k < side.count; ++k) {
    const std::uint64_t* p = at(side, k);
    if (!meetsAny(p, other)) continue;  // an implicant of the other cofactor: x is not needed
    push(out, p);
    at(out, out.count - 1)[value == 0 ? w : words_ + w] |= bit;
  }
  return !overLimit(out);
}

bool Generator::primes(MvList& r, std::vector<std::uint64_t> allowed, MvList& out) {
  ++stats_.nodes;
  if (stats_.nodes > params_.maxNodes || probe_.expired()) return false;
  normalize(r, allowed);
  if (!anyOutput(allowed.data())) return true;
  std::vector<std::uint64_t> cube(stride_, 0);
  std::copy(allowed.begin(), allowed.end(), cube.begin() + 2 * words_);
  if (r.count == 0) {
    push(out, cube.data());
    return !overLimit(out);
  }
  if (r.count == 1) {
    const std::uint64_t* c = at(r, 0);
    // not (c x J) = (the opposite of each literal of c) x allowed + (the whole space) x (allowed - J).
    for (int w = 0; w < 2 * words_; ++w)
      for (std::uint64_t b = c[w]; b; b &= b - 1) {
        std::fill(cube.begin(), cube.begin() + 2 * words_, 0);
        cube[static_cast<std::size_t>(w < words_ ? w + words_ : w - words_)] = b & (~b + 1);
        push(out, cube.data());
      }
    std::fill(cube.begin(), cube.begin() + 2 * words_, 0);
    bool rest = false;
    for (int q = 0; q < outWords_; ++q) {
      cube[static_cast<std::size_t>(2 * words_ + q)] = allowed[static_cast<std::size_t>(q)] & ~c[2 * words_ + q];
      rest = rest || cube[static_cast<std::size_t>(2 * words_ + q)];
    }
    if (rest) push(out, cube.data());
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
  for (int k = 0; k < middle.count; ++k) {
    const std::uint64_t* c = at(r, k);
    const bool has = (c[x >> 6] | c[words_ + (x >> 6)]) & (std::uint64_t{1} << (x & 63));
    if (has) push(withLiteral, at(middle, k));
  }
  r = MvList{};
  MvList side;
  if (!primes(free, allowed, side)) return false;
  if (!addSide(side, withLiteral, x, 1 - unateValue, out)) return false;
  return primes(middle, allowed, out) && !overLimit(out);
}

std::uint64_t Generator::signature(const std::uint64_t* c) const {
  std::uint64_t s = 0;
  for (int w = 0; w < 2 * words_; ++w) s |= c[w];
  return s;
}

bool Generator::addProducts(const MvList& p0, const MvList& p1, MvList& out) {
  // The primes without x are the largest of the intersections of a prime of each cofactor.
  MvList all;
  std::vector<std::uint64_t> c(stride_);
  for (int a = 0; a < p0.count; ++a) {
    const std::uint64_t* pa = at(p0, a);
    for (int b = 0; b < p1.count; ++b) {
      const std::uint64_t* pb = at(p1, b);
      if (!packedMeet(pa, pb, words_)) continue;
      bool shared = false;
      for (int q = 0; q < outWords_; ++q) {
        c[static_cast<std::size_t>(2 * words_ + q)] = pa[2 * words_ + q] & pb[2 * words_ + q];
        shared = shared || c[static_cast<std::size_t>(2 * words_ + q)];
      }
      if (!shared) continue;
      for (int w = 0; w < 2 * words_; ++w) c[static_cast<std::size_t>(w)] = pa[w] | pb[w];
      push(all, c.data());
      if (all.count > params_.maxPrimes * 4) return false;
    }
    if (probe_.expired()) return false;
  }
  // Largest first (fewest literals, then most outputs); a cube is kept unless a kept one contains it.
  std::vector<int> literals(static_cast<std::size_t>(all.count)), order(static_cast<std::size_t>(all.count));
  std::vector<std::uint64_t> sig(static_cast<std::size_t>(all.count));
  for (int k = 0; k < all.count; ++k) {
    const std::uint64_t* ck = at(all, k);
    int n = 0, o = 0;
    for (int w = 0; w < 2 * words_; ++w) n += __builtin_popcountll(ck[w]);
    for (int q = 0; q < outWords_; ++q) o += __builtin_popcountll(ck[2 * words_ + q]);
    literals[static_cast<std::size_t>(k)] = n * 65536 - o;
    sig[static_cast<std::size_t>(k)] = signature(ck);
    order[static_cast<std::size_t>(k)] = k;
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return literals[static_cast<std::size_t>(a)] < literals[static_cast<std::size_t>(b)];
  });
  std::vector<int> kept;
  for (int k : order) {
    const std::uint64_t* ck = at(all, k);
    const std::uint64_t sk = sig[static_cast<std::size_t>(k)];
    bool contained = false;
    for (std::size_t i = 0; i < kept.size() && !contained; ++i) {
      const int h = kept[i];
      if (sig[static_cast<std::size_t>(h)] & ~sk) continue;
      const std::uint64_t* ch = at(all, h);
      if (!packedContains(ch, ck, words_)) continue;
      bool sub = true;
      for (int q = 0; q < outWords_ && sub; ++q) sub = (ck[2 * words_ + q] & ~ch[2 * words_ + q]) == 0;
      contained = sub;
    }
    if (contained) continue;
    kept.push_back(k);
    push(out, ck);
    if ((kept.size() & 1023) == 0 && (overLimit(out) || probe_.expired())) return false;
  }
  return !overLimit(out);
}

}  // namespace

bool GeneratePrimes(const CubeSet& off, int inputs, int outputs, const PrimeParams& params, PrimeSet& primes,
                    PrimeStats& stats) {
  Generator g(inputs, outputs, params, stats);
  MvList r;
  std::vector<std::uint64_t> c(g.stride(), 0);
  for (int k = 0; k < off.cubes.size(); ++k) {
    std::copy(off.cubes.cube(k), off.cubes.cube(k) + 2 * g.words(), c.begin());
    std::fill(c.begin() + 2 * g.words(), c.end(), 0);
    off.outputs[static_cast<std::size_t>(k)].forEach(
        [&](int j) { c[static_cast<std::size_t>(2 * g.words() + (j >> 6))] |= std::uint64_t{1} << (j & 63); });
    r.data.insert(r.data.end(), c.begin(), c.end());
    ++r.count;
  }
  std::vector<std::uint64_t> allowed(static_cast<std::size_t>(g.outWords()), 0);
  for (int j = 0; j < outputs; ++j) allowed[static_cast<std::size_t>(j >> 6)] |= std::uint64_t{1} << (j & 63);
  MvList out;
  stats.complete = g.primes(r, allowed, out);
  primes.cubes = CubeList(inputs);
  primes.outputs.clear();
  if (!stats.complete) return false;
  for (int k = 0; k < out.count; ++k) {
    const std::uint64_t* p = out.data.data() + static_cast<std::size_t>(k) * g.stride();
    primes.cubes.push(p);
    OutputSet o(outputs);
    for (int j = 0; j < outputs; ++j)
      if ((p[2 * g.words() + (j >> 6)] >> (j & 63)) & 1) o.set(j);
    primes.outputs.push_back(o);
  }
  return true;
}

}  // namespace vorn
