// EXPAND on literal columns.
//
// With the off-set and the cover held column-wise (LiteralColumns), the
// blocking rows of a cube are read per literal instead of per off-set cube:
// the off-set cubes literal l keeps out of the cube are the column of the
// opposite literal, and the terms of the cover that hold l are a column too.
// For every off-set cube the number of kept literals blocking it is held in
// bit-sliced counters, so "may l go" (no off-set cube is blocked by l alone)
// is a few word operations per 64 off-set cubes.
//
// Each cube is expanded two ways and the prime that holds more terms of the
// cover wins (then the one with fewer literals):
// - built up: from no literal, keep the literal with the best information
//   gain between the terms it still holds and the off-set cubes it still
//   meets (the literal choice of greedy rule learners), until it meets none.
//   One step costs a pass over the columns of the cube's literals, so this
//   scales to thousands of terms and hundreds of inputs, and on sampled
//   functions (minterm on- and off-sets) it finds the large cubes.  Given a
//   random source (a refinement from a drawn start), each step keeps a
//   literal drawn among those within kGainSlack of the best gain, so that
//   repeated refinements build different primes;
// - chased: the blocking-matrix greedy of EXPAND.  Drop the literal that most
//   terms in reach need dropped (terms carrying only outputs the cube carries
//   count twice); a term is in reach while the supercube of the cube and the
//   term meets no off-set cube, judged again only for the terms that held the
//   dropped literal.  When none is in reach, keep the literals blocking the
//   most off-set cubes not yet blocked until all are.  The terms steered
//   towards are the kReach needing the fewest literals dropped, and the chase
//   runs only where its estimated work stays under kChaseWork: on dense
//   functions it gives the better cubes, on wide sparse ones it would cost
//   the most and gain the least.
// Both end by giving back every kept literal no off-set cube needs, so the
// cube is prime.  A cube already prime (every literal the only one blocking
// some off-set cube) comes out of either way as it is, so it is left as it is
// unless its choices are drawn: in the passes after REDUCE most cubes are.
#include "refine/column_expand.h"

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {

/// Per off-set cube, the number of kept literals that block it, as bit-sliced counters: row b of
/// the kernel rows holds the counters of off-set cubes 64b..64b+63, word p of the row their bit p.
class BlockerCounts {
 public:
  /// \brief All counts zero, room for counts up to `most`.
  void reset(std::size_t blocks, int most) {
    int planes = 1;
    while ((1 << planes) <= most) ++planes;
    bits_.reshape(planes);
    bits_.resize(static_cast<int>(blocks));
  }
  /// \brief One more blocker for every cube of the span m.
  void add(const Word* m) {
    const int planes = bits_.words();
    Word* x = bits_.row(0);
    for (int b = 0, blocks = bits_.rows(); b < blocks; ++b, x += planes) {
      Word carry = m[b];
      for (int p = 0; p < planes && carry; ++p) {
        const Word t = x[p] & carry;
        x[p] ^= carry;
        carry = t;
      }
    }
  }
  /// \brief One blocker less for every cube of the span m (each has one).
  void sub(const Word* m) {
    const int planes = bits_.words();
    Word* x = bits_.row(0);
    for (int b = 0, blocks = bits_.rows(); b < blocks; ++b, x += planes) {
      Word borrow = m[b];
      for (int p = 0; p < planes && borrow; ++p) {
        const Word t = ~x[p] & borrow;
        x[p] ^= borrow;
        borrow = t;
      }
    }
  }
  /// \brief True when some cube of the span m has exactly one blocker.
  bool anySingle(const Word* m) const {
    const int planes = bits_.words();
    const Word* x = bits_.row(0);
    for (int b = 0, blocks = bits_.rows(); b < blocks; ++b, x += planes) {
      if (!m[b]) continue;
      Word high = 0;
      for (int p = 1; p < planes; ++p) high |= x[p];
      if (m[b] & x[0] & ~high) return true;
    }
    return false;
  }

 private:
  WordRows bits_;
};

/// The most terms one cube's expansion steers towards: those needing the fewest literals dropped.
constexpr std::size_t kReach = 256;
/// The most word operations (roughly) one cube's chase may take; past it the cube is only built up.
constexpr double kChaseWork = 1 << 22;
/// How far (a fraction of the best gain) a literal drawn when building up may fall short of the best.
constexpr double kGainSlack = 0.1;

enum LiteralState : char { kOpen, kKept, kDropped };

struct Literal {
  int input, value;
};

class ColumnExpander {
 public:
  ColumnExpander(const RefineSource& s, const ImplicantTest& t, Cover& c, const ExpandParams& p, ExpandStats& st)
      : source_(s), test_(t), cover_(c), params_(p), stats_(st), words_(c.in.words()), off_(s.off), terms_(c.in) {
    tb_ = terms_.blocks();
    rb_ = off_.columns.blocks();
    live_ = BitSet(static_cast<int>(tb_ * 64));
    of_.assign(static_cast<std::size_t>(s.outputs), std::vector<std::uint64_t>(tb_, 0));
    for (int k = 0; k < c.size(); ++k) {
      if (!c.alive[static_cast<std::size_t>(k)] || !c.out[static_cast<std::size_t>(k)].any()) continue;
      bitspan::set(live_.data(), k);
      c.out[static_cast<std::size_t>(k)].forEach([&](int j) { bitspan::set(of_[static_cast<std::size_t>(j)].data(), k); });
    }
    cand_.resize(tb_);
    sub_.resize(tb_);
    scratch_.resize(tb_);
    rel_.resize(rb_);
    hit_.resize(rb_);
    literalAt_.assign(static_cast<std::size_t>(words_) * 64, -1);
    keptAt_.assign(static_cast<std::size_t>(words_), 0);
    droppedAt_.assign(static_cast<std::size_t>(words_), 0);
  }

  /// \brief Expands every live term on its own, in term order: no other term steers it, none goes.
  void runAlone() {
    alone_ = true;
    const Deadline none;
    DeadlineProbe outOfTime(params_.deadline ? *params_.deadline : none, 4);
    for (int k = 0; k < cover_.size(); ++k) {
      if (outOfTime.expired()) break;
      if (bitspan::test(live_.data(), k)) expandOne(k);
    }
  }

  void run() {
    std::vector<int> order, literals(static_cast<std::size_t>(cover_.size()));
    for (int k = 0; k < cover_.size(); ++k) {
      if (!bitspan::test(live_.data(), k)) continue;
      order.push_back(k);
      literals[static_cast<std::size_t>(k)] = cover_.literals(k);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return literals[static_cast<std::size_t>(a)] < literals[static_cast<std::size_t>(b)]; });
    const Deadline none;
    DeadlineProbe outOfTime(params_.deadline ? *params_.deadline : none, 4);
    for (int k : order) {
      if (outOfTime.expired()) break;
      if (bitspan::test(live_.data(), k)) expandOne(k);
    }
  }

 private:
  const std::uint64_t* mask(int t) const { return masks_.data() + static_cast<std::size_t>(t) * rb_; }
  const std::uint64_t* holds(int t) const {
    const Literal& l = lits_[static_cast<std::size_t>(t)];
    return terms_.holds(l.input, l.value);
  }

  /// The cube's literals in input order, and for each the off-set cubes of its outputs it blocks.
  void gatherLiterals(const std::uint64_t* c, const OutputSet& mine) {
    std::fill(rel_.begin(), rel_.end(), 0);
    mine.forEach([&](int j) { bitspan::orInto(rel_.data(), off_.ofBits[static_cast<std::size_t>(j)].data(), rb_); });
    cube_ = c;
    lits_.clear();
    forEachLiteral(c, words_, [&](int i) {
      literalAt_[static_cast<std::size_t>(i)] = static_cast<int>(lits_.size());
      lits_.push_back({i, literalIsOne(c, words_, i)});
    });
    std::fill(keptAt_.begin(), keptAt_.end(), 0);
    std::fill(droppedAt_.begin(), droppedAt_.end(), 0);
    masks_.resize(lits_.size() * rb_);
    for (std::size_t t = 0; t < lits_.size(); ++t) {
      std::uint64_t* m = masks_.data() + t * rb_;
      const std::uint64_t* blocked = off_.columns.blocked(lits_[t].input, lits_[t].value);
      for (std::size_t b = 0; b < rb_; ++b) m[b] = blocked[b] & rel_[b];
    }
    state_.assign(lits_.size(), kOpen);
  }

  /// The other live terms sharing an output with term k that are not inside its cube, and among
  /// them those whose outputs it carries all of.
  void gatherCandidates(int k, const std::uint64_t* c, const OutputSet& mine) {
    std::fill(cand_.begin(), cand_.end(), 0);
    if (alone_) {
      std::fill(sub_.begin(), sub_.end(), 0);
      return;
    }
    mine.forEach([&](int j) { bitspan::orInto(cand_.data(), of_[static_cast<std::size_t>(j)].data(), tb_); });
    bitspan::reset(cand_.data(), k);
    terms_.inside(c, scratch_.data());
    bitspan::andNotInto(cand_.data(), scratch_.data(), tb_);
    if (source_.outputs == 1) {
      sub_ = cand_;
      return;
    }
    std::fill(sub_.begin(), sub_.end(), 0);
    bitspan::forEach(cand_.data(), tb_, [&](int d) {
      if (cover_.out[static_cast<std::size_t>(d)].subsetOf(mine)) bitspan::set(sub_.data(), d);
    });
  }

  /// The terms in reach (at most kReach, those needing the fewest literals dropped, the first of
  /// equals), each with the positions of the cube's literals it holds, and per position the terms in
  /// reach holding its literal.
  void selectReach() {
    const std::size_t words = static_cast<std::size_t>(words_);
    reach_.clear();
    if (static_cast<std::size_t>(bitspan::count(cand_.data(), tb_)) > kReach) {
      nearest();
    } else {
      bitspan::forEach(cand_.data(), tb_, [&](int d) { reach_.push_back(d); });
    }
    mb_ = (reach_.size() + 63) / 64;
    feasible_.assign(mb_, 0);
    subIn_.assign(mb_, 0);
    heldAt_.reshape(words_);
    heldAt_.resize(static_cast<int>(mb_ * 64));
    for (std::size_t i = 0; i < reach_.size(); ++i) {
      bitspan::set(feasible_.data(), static_cast<int>(i));
      if (bitspan::test(sub_.data(), reach_[i])) bitspan::set(subIn_.data(), static_cast<int>(i));
      const std::uint64_t* d = cover_.in.cube(reach_[i]);
      for (std::size_t w = 0; w < words; ++w)
        heldAt_.row(static_cast<int>(i))[w] = sharedLiteralsIn(cube_, d, words_, static_cast<int>(w));
    }
    // The rows per position are the held positions read the other way: 64 terms by 64 positions
    // at a time, one transposition instead of one bit test per term and literal.
    holdsAt_.reshape(static_cast<int>(mb_));
    holdsAt_.resize(words_ * 64);
    std::uint64_t block[64];
    for (std::size_t ib = 0; ib < mb_; ++ib)
      for (std::size_t w = 0; w < words; ++w) {
        for (std::size_t r = 0; r < 64; ++r) block[r] = heldAt_.row(static_cast<int>(ib * 64 + r))[w];
        bits::transpose64(block);
        for (std::size_t q = 0; q < 64; ++q) holdsAt_.row(static_cast<int>(w * 64 + q))[ib] = block[q];
      }
    for (std::size_t i = 0; i < reach_.size(); ++i)
      if (!reachable(static_cast<int>(i))) bitspan::reset(feasible_.data(), static_cast<int>(i));
  }

  /// Sets reach_ to the kReach candidates needing the fewest literals dropped, the first of equals,
  /// in term order.  The literals a candidate shares with the cube are counted on the two cubes' words
  /// (a few word operations per candidate), then a count of candidates per number of literals lacking
  /// gives the largest number taken whole, instead of a sort of every candidate.
  void nearest() {
    const int n = static_cast<int>(lits_.size());
    lacking_.clear();
    std::vector<int> many(static_cast<std::size_t>(n) + 1, 0);
    bitspan::forEach(cand_.data(), tb_, [&](int d) {
      const std::uint64_t* term = cover_.in.cube(d);
      const int shared = bits::countWords(words_, [&](int w) { return sharedLiteralsIn(cube_, term, words_, w); });
      lacking_.push_back(n - shared);
      ++many[static_cast<std::size_t>(n - shared)];
    });
    // Candidates lacking fewer than `whole` literals are all taken, of those lacking exactly `whole`
    // the first `left`.
    std::size_t left = kReach;
    int whole = 0;
    while (whole <= n && static_cast<std::size_t>(many[static_cast<std::size_t>(whole)]) <= left)
      left -= static_cast<std::size_t>(many[static_cast<std::size_t>(whole++)]);
    std::size_t at = 0;
    bitspan::forEach(cand_.data(), tb_, [&](int d) {
      const int lacks = lacking_[at++];
      if (lacks < whole || (lacks == whole && left > 0)) {
        if (lacks == whole) --left;
        reach_.push_back(d);
      }
    });
  }

  /// The terms in reach holding literal t of the cube.
  const std::uint64_t* holdsIn(int t) const {
    return holdsAt_.row(lits_[static_cast<std::size_t>(t)].input);
  }

  /// True when the cube can still come to hold term reach_[i]: it holds every kept literal, and the
  /// literals left that it holds block every off-set cube (the supercube of the cube and the term is
  /// an implicant).
  bool reachable(int i) {
    const std::uint64_t* held = heldAt_.row(i);
    if (bits::anyWord(words_, [&](int w) { return keptAt_[static_cast<std::size_t>(w)] & ~held[w]; })) return false;
    shared_.resize(lits_.size());
    std::size_t count = 0;
    bits::forEachWordBit(words_, [&](int w) { return held[w] & ~droppedAt_[static_cast<std::size_t>(w)]; },
                         [&](int p) { shared_[count++] = mask(literalAt_[static_cast<std::size_t>(p)]); });
    // Every shared literal on every word: a test of the word after each would be guessed wrong
    // about as often as not.
    for (std::size_t b = 0; b < rb_; ++b) {
      std::uint64_t v = rel_[b];
      for (std::size_t q = 0; q < count; ++q) v &= ~shared_[q][b];
      if (v) return false;
    }
    return true;
  }

  /// Drops, while terms in reach need any, the open literal the most of them need dropped (terms
  /// carrying only outputs the cube carries count twice); after each drop the terms holding the
  /// literal are judged again, the others' reach is unchanged.
  void chaseTerms() {
    const std::size_t n = lits_.size();
    for (;;) {
      int best = -1, bestScore = 0;
      for (std::size_t t = 0; t < n; ++t) {
        if (state_[t] != kOpen) continue;
        const std::uint64_t* h = holdsIn(static_cast<int>(t));
        const int score = bits::countWords(static_cast<int>(mb_), [&](int w) { return feasible_[w] & ~h[w]; }) +
                          bits::countWords(static_cast<int>(mb_), [&](int w) { return feasible_[w] & subIn_[w] & ~h[w]; });
        if (score > bestScore) {
          best = static_cast<int>(t);
          bestScore = score;
        }
      }
      if (best < 0) return;
      if (counts_.anySingle(mask(best))) {
        // Needed after all (a term in reach never asks for such a literal): keep it.
        keep(best);
        bitspan::andInto(feasible_.data(), holdsIn(best), mb_);
        continue;
      }
      counts_.sub(mask(best));
      state_[static_cast<std::size_t>(best)] = kDropped;
      bits::setBit(droppedAt_.data(), lits_[static_cast<std::size_t>(best)].input);
      std::vector<std::uint64_t>& again = scratchIn_;
      again.assign(feasible_.begin(), feasible_.end());
      bitspan::andInto(again.data(), holdsIn(best), mb_);
      bitspan::forEach(again.data(), mb_, [&](int i) {
        if (!reachable(i)) bitspan::reset(feasible_.data(), i);
      });
    }
  }

  /// Builds the cube up from no literal: keeps, one at a time, the literal with the best information
  /// gain between the terms it still holds and the off-set cubes it still meets, until it meets
  /// none; then every literal not kept goes.  Work per step: one pass over the columns of the
  /// open literals, whatever the number of terms.
  void keepForTerms() {
    const std::size_t n = lits_.size();
    std::vector<std::uint64_t>& inside = scratchIn_;
    inside.assign(rel_.begin(), rel_.end());
    bitspan::andNotInto(inside.data(), hit_.data(), rb_);
    int rows = bitspan::count(inside.data(), rb_);
    // One output: every candidate carries only the cube's output, and the two spans are one.
    const bool oneSpan = sub_ == cand_;
    // The spans only shrink: each step reads the words still live (terms inside sub_ are in cand_).
    liveRows_.resize(rb_);
    liveTerms_.resize(tb_);
    for (std::size_t b = 0; b < rb_; ++b) liveRows_[b] = static_cast<int>(b);
    for (std::size_t b = 0; b < tb_; ++b) liveTerms_[b] = static_cast<int>(b);
    int rowWords = bits::keepLiveWords(inside.data(), liveRows_.data(), static_cast<int>(rb_));
    int termWords = bits::keepLiveWords(cand_.data(), liveTerms_.data(), static_cast<int>(tb_));
    auto heldBoth = [&](const std::uint64_t* h) {
      const int held = bits::countCommonBitsAt(cand_.data(), h, liveTerms_.data(), termWords);
      return oneSpan ? 2 * held : held + bits::countCommonBitsAt(sub_.data(), h, liveTerms_.data(), termWords);
    };
    int terms = heldBoth(liveAll());
    while (rows > 0) {
      // With no term left to hold, the gain falls as the off-set cubes left grow: the first literal
      // leaving the fewest is the best, without a logarithm.
      const bool fewestLeft = terms == 0 && !params_.random;
      const double before = fewestLeft ? 0 : std::log2((terms + 1.0) / (terms + rows + 1.0));
      near_.clear();
      int best = -1;
      double bestGain = 0;
      int bestRows = 0;
      for (std::size_t t = 0; t < n; ++t) {
        if (state_[t] != kOpen) continue;
        const int left = rows - bits::countCommonBitsAt(inside.data(), mask(static_cast<int>(t)), liveRows_.data(), rowWords);
        if (left == rows) continue;
        if (fewestLeft) {
          if (best < 0 || left < bestRows) {
            best = static_cast<int>(t);
            bestRows = left;
          }
          continue;
        }
        const int held = heldBoth(holds(static_cast<int>(t)));
        const double gain = (held + 1.0) * (std::log2((held + 1.0) / (held + left + 1.0)) - before);
        if (params_.random) near_.push_back({static_cast<int>(t), left, gain});
        if (best < 0 || gain > bestGain || (gain == bestGain && left < bestRows)) {
          best = static_cast<int>(t);
          bestGain = gain;
          bestRows = left;
        }
      }
      if (best < 0) break;
      if (params_.random) drawNear(best, bestGain, bestRows);
      keep(best);
      bitspan::andNotInto(inside.data(), mask(best), rb_);
      bitspan::andInto(cand_.data(), holds(best), tb_);
      if (!oneSpan) bitspan::andInto(sub_.data(), holds(best), tb_);
      rowWords = bits::keepLiveWords(inside.data(), liveRows_.data(), rowWords);
      termWords = bits::keepLiveWords(cand_.data(), liveTerms_.data(), termWords);
      rows = bestRows;
      terms = heldBoth(liveAll());
    }
    if (oneSpan) sub_ = cand_;
    for (std::size_t t = 0; t < n; ++t)
      if (state_[t] == kOpen) state_[t] = kDropped;
  }

  /// A span of terms with every bit set, to count a span's own bits with countCommonBitsAt.
  const std::uint64_t* liveAll() {
    if (all_.size() < tb_) all_.assign(tb_, ~std::uint64_t{0});
    return all_.data();
  }

  /// With a random source: the literal kept is drawn among those whose gain comes within
  /// kGainSlack of the best one, so that every refinement from a drawn start builds other cubes.
  void drawNear(int& best, double bestGain, int& bestRows) {
    const double floor = bestGain - kGainSlack * std::fabs(bestGain);
    std::size_t eligible = 0;
    for (const Choice& c : near_) eligible += c.gain >= floor;
    if (eligible > 1) {
      int pick = params_.random->randomBelow(static_cast<int>(eligible));
      for (const Choice& c : near_) {
        if (c.gain < floor || pick-- > 0) continue;
        best = c.literal;
        bestRows = c.left;
        break;
      }
    }
    near_.clear();
  }

  /// True when the cube's literals together block every off-set cube of its outputs.
  bool blocksAll() const {
    const std::size_t n = lits_.size();
    for (std::size_t b = 0; b < rb_; ++b) {
      std::uint64_t v = rel_[b];
      for (std::size_t t = 0; t < n && v; ++t) v &= ~mask(static_cast<int>(t))[b];
      if (v) return false;
    }
    return true;
  }

  /// True when every literal of the cube is the only one blocking some off-set cube of its outputs:
  /// no literal can go.  Off-set cubes blocked once and more than once are marked literal by literal.
  bool isPrime() {
    const std::size_t n = lits_.size();
    once_.assign(rb_, 0);
    twice_.assign(rb_, 0);
    for (std::size_t t = 0; t < n; ++t) {
      const std::uint64_t* m = mask(static_cast<int>(t));
      for (std::size_t b = 0; b < rb_; ++b) {
        twice_[b] |= once_[b] & m[b];
        once_[b] |= m[b];
      }
    }
    for (std::size_t t = 0; t < n; ++t) {
      const std::uint64_t* m = mask(static_cast<int>(t));
      if (!bits::anyWord(static_cast<int>(rb_), [&](int b) { return m[b] & once_[b] & ~twice_[b]; })) return false;
    }
    return true;
  }

  void keep(int t) {
    state_[static_cast<std::size_t>(t)] = kKept;
    bits::setBit(keptAt_.data(), lits_[static_cast<std::size_t>(t)].input);
    bitspan::orInto(hit_.data(), mask(t), rb_);
  }

  /// Keeps open literals, those blocking the most off-set cubes not yet blocked first, until every
  /// one is blocked; drops the other open literals.
  void blockRest() {
    const std::size_t n = lits_.size();
    for (;;) {
      int best = -1, bestScore = 0;
      for (std::size_t t = 0; t < n; ++t) {
        if (state_[t] != kOpen) continue;
        const int score = bitspan::countAndNot(mask(static_cast<int>(t)), hit_.data(), rb_);
        if (score > bestScore) {
          best = static_cast<int>(t);
          bestScore = score;
        }
      }
      if (best < 0) break;
      keep(best);
    }
    for (std::size_t t = 0; t < n; ++t)
      if (state_[t] == kOpen) state_[t] = kDropped;
  }

  /// Gives back every kept literal that no off-set cube needs, in input order.
  void makePrime() {
    const std::size_t n = lits_.size();
    counts_.reset(rb_, static_cast<int>(n));
    for (std::size_t t = 0; t < n; ++t)
      if (state_[t] == kKept) counts_.add(mask(static_cast<int>(t)));
    for (std::size_t t = 0; t < n; ++t) {
      if (state_[t] != kKept || counts_.anySingle(mask(static_cast<int>(t)))) continue;
      counts_.sub(mask(static_cast<int>(t)));
      state_[t] = kDropped;
    }
  }

  /// Tries both ways of choosing the literals (building up when the terms in reach are too many
  /// to chase) and keeps the prime that holds more terms, or has fewer literals.
  void chooseLiterals() {
    const std::size_t n = lits_.size();
    const std::vector<std::uint64_t> cand = cand_, sub = sub_;
    std::fill(hit_.begin(), hit_.end(), 0);
    keepForTerms();
    makePrime();
    const std::size_t reach = std::min<std::size_t>(kReach, static_cast<std::size_t>(bitspan::count(cand.data(), tb_)));
    const double chaseWork = static_cast<double>(reach) * static_cast<double>(n) * static_cast<double>(n + 8 * rb_);
    if (reach == 0 || chaseWork > kChaseWork) return;
    const std::vector<char> built = state_;
    const Score builtScore = score(cand, sub);
    cand_ = cand;
    sub_ = sub;
    std::fill(hit_.begin(), hit_.end(), 0);
    state_.assign(n, kOpen);
    std::fill(keptAt_.begin(), keptAt_.end(), 0);
    std::fill(droppedAt_.begin(), droppedAt_.end(), 0);
    counts_.reset(rb_, static_cast<int>(n));
    for (std::size_t t = 0; t < n; ++t) counts_.add(mask(static_cast<int>(t)));
    selectReach();
    chaseTerms();
    blockRest();
    makePrime();
    if (builtScore < score(cand, sub)) return;
    state_ = built;
  }

  /// How good the chosen literals are: the terms of `cand` they hold (twice those of `sub`), then
  /// the fewer literals the better.
  struct Score {
    int held, literals;
    bool operator<(const Score& o) const { return held != o.held ? held < o.held : literals > o.literals; }
  };
  Score score(const std::vector<std::uint64_t>& cand, const std::vector<std::uint64_t>& sub) {
    std::vector<std::uint64_t>& in = scratch_;
    in = cand;
    int literals = 0;
    for (std::size_t t = 0; t < lits_.size(); ++t) {
      if (state_[t] == kDropped) continue;
      ++literals;
      bitspan::andInto(in.data(), holds(static_cast<int>(t)), tb_);
    }
    return {bitspan::count(in.data(), tb_) + bitspan::countBoth(in.data(), sub.data(), tb_), literals};
  }

  void expandOne(int k) {
    if (params_.raiseOutputs && params_.outputsFirst) raiseOutputs(k);
    std::uint64_t* c = cover_.in.cube(k);
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    gatherLiterals(c, mine);
    const std::size_t n = lits_.size();
    stats_.rows += bitspan::count(rel_.data(), rb_);
    if (n > 0) {
      if (!blocksAll()) return;  // not an implicant: leave it as it is
      // A prime keeps every literal whichever way they are chosen; only drawn choices must still
      // be made, for the draws.
      const bool prime = !params_.random && isPrime();
      if (!prime) {
        gatherCandidates(k, c, mine);
        chooseLiterals();
      }
      bool grew = false;
      for (std::size_t t = 0; t < n && !prime; ++t) {
        if (state_[t] != kDropped) continue;
        const Literal& l = lits_[t];
        freePosition(c, words_, l.input);
        terms_.free(k, l.input, l.value);
        grew = true;
      }
      if (grew) ++stats_.expanded;
    }
    if (params_.raiseOutputs) raiseOutputs(k);
    if (!alone_) absorbHeld(k);
  }

  /// Connects every output the cube may carry and whose on-set it meets.
  void raiseOutputs(int k) {
    OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    const OutputSet gain = OutputsToRaise(source_, test_, cover_.in.cube(k), mine);
    gain.forEach([&](int j) { bitspan::set(of_[static_cast<std::size_t>(j)].data(), k); });
    mine.unite(gain);
  }

  /// Terms inside the cube lose the outputs it carries; those left with none go.
  void absorbHeld(int k) {
    const OutputSet& mine = cover_.out[static_cast<std::size_t>(k)];
    terms_.inside(cover_.in.cube(k), scratch_.data());
    bitspan::andInto(scratch_.data(), live_.data(), tb_);
    bitspan::reset(scratch_.data(), k);
    bitspan::forEach(scratch_.data(), tb_, [&](int d) {
      OutputSet& theirs = cover_.out[static_cast<std::size_t>(d)];
      if (!theirs.meets(mine)) return;
      mine.forEach([&](int j) { bitspan::reset(of_[static_cast<std::size_t>(j)].data(), d); });
      theirs.remove(mine);
      if (theirs.any()) return;
      cover_.alive[static_cast<std::size_t>(d)] = 0;
      bitspan::reset(live_.data(), d);
      ++stats_.removed;
    });
  }

  const RefineSource& source_;
  const ImplicantTest& test_;
  Cover& cover_;
  const ExpandParams& params_;
  ExpandStats& stats_;
  int words_;
  const CubeSet& off_;
  LiteralColumns terms_;        ///< the cover's cubes as they grow
  std::size_t tb_ = 0, rb_ = 0;  ///< words per span of terms, of off-set cubes
  BitSet live_;                                   ///< live terms with some output
  std::vector<std::vector<std::uint64_t>> of_;    ///< per output: the live terms carrying it
  std::vector<std::uint64_t> cand_, sub_, scratch_, rel_, hit_, masks_;
  std::vector<Literal> lits_;
  std::vector<int> reach_, lacking_;
  std::vector<const std::uint64_t*> shared_;  ///< the blocking rows of the literals a term in reach shares
  const std::uint64_t* cube_ = nullptr;      ///< the cube being expanded
  std::vector<int> literalAt_;                ///< per position of the cube's literals, the literal's index
  /// Positions of the literals kept and dropped while chasing, and per term in reach the positions of
  /// the cube's literals it holds (words_ words each).
  std::vector<std::uint64_t> keptAt_, droppedAt_;
  WordRows heldAt_;
  std::size_t mb_ = 0;  ///< words per span of terms in reach
  /// Per position (64 per word of the cube), the terms in reach holding the cube's literal there.
  WordRows holdsAt_;
  std::vector<std::uint64_t> feasible_, subIn_, scratchIn_, all_;
  std::vector<std::uint64_t> once_, twice_;  ///< off-set cubes blocked by one literal of the cube, by more
  std::vector<int> liveRows_, liveTerms_;  ///< the words of the spans still live while building up
  std::vector<char> state_;
  bool alone_ = false;  ///< every term expanded on its own
  BlockerCounts counts_;
  struct Choice {
    int literal, left;
    double gain;
  };
  std::vector<Choice> near_;  ///< the open literals of a build-up step with their gains
};

}  // namespace

namespace {

/// True when the source has off-set columns and the cover's columns fit in memory.
bool columnsFit(const RefineSource& source, const ImplicantTest& test, const Cover& cover) {
  const CubeSet* off = ExplicitOffSet(source, test);
  return off && off->hasColumns() && LiteralColumns::fits(source.inputs, cover.size()) &&
         LiteralColumns::fits((source.outputs + 1) / 2, cover.size());
}

}  // namespace

bool ExpandByColumns(const RefineSource& source, const ImplicantTest& test, Cover& cover, const ExpandParams& params,
                     ExpandStats& stats) {
  if (!columnsFit(source, test, cover)) return false;
  ColumnExpander e(source, test, cover, params, stats);
  e.run();
  return true;
}

bool ExpandEachAloneByColumns(const RefineSource& source, const ImplicantTest& test, Cover& cover,
                              const ExpandParams& params, ExpandStats& stats) {
  if (!columnsFit(source, test, cover)) return false;
  ColumnExpander e(source, test, cover, params, stats);
  e.runAlone();
  return true;
}

}  // namespace vorn
