// The cube operations, on cubes packed as bit planes.
//
// A packed cube over n positions is a run of planes of wordsFor(n) words
// each: the `zero` plane (the position holds '0'), then the `one` plane
// ('1'), and, in a Cube, a third `tilde` plane ('~'); a position in no plane
// is '-'.  Input parts in cube lists carry two planes, since they never hold
// '~'.  Every algorithm that meets, contains, joins or cofactors cubes calls
// these; none writes the word loop again.
//
// '~' is no literal: it conflicts with nothing, so two cubes meet unless some
// position holds '0' in one and '1' in the other.  It is still a character
// of its own for containment and the supercube (a '~' is held only by '~'),
// which only the three-plane Cube asks for.
#pragma once

#include <cstddef>
#include <vector>

#include "model/bits.h"

namespace vorn {

/// \brief The positions of packed cube c that hold a literal, in word w.
inline Word literalsIn(const Word* c, int words, int w) { return c[w] | c[words + w]; }

/// \brief The positions, in word w, where one of the packed cubes a and b holds '0' and the other '1'.
inline Word conflictsIn(const Word* a, const Word* b, int words, int w) {
  return (a[w] & b[words + w]) | (a[words + w] & b[w]);
}

/// \brief The positions, in word w, where packed cube a holds a literal that b does not hold (b has '-' or
/// the opposite literal there): those a must free to contain b.
inline Word literalsNotIn(const Word* a, const Word* b, int words, int w) {
  return (a[w] & ~b[w]) | (a[words + w] & ~b[words + w]);
}

/// \brief The positions, in word w, where the packed cubes a and b hold the same literal.
inline Word sharedLiteralsIn(const Word* a, const Word* b, int words, int w) {
  return (a[w] & b[w]) | (a[words + w] & b[words + w]);
}
/// \brief True when no position holds '0' in a and '1' in b or the other way round.
inline bool cubesMeet(const Word* a, const Word* b, int words) {
  return !bits::anyWord(words, [&](int w) { return conflictsIn(a, b, words, w); });
}

/// \brief True when every position of a is '-' or equals b's (over `planes` planes: 2, or 3 with '~').
inline bool cubeContains(const Word* a, const Word* b, int words, int planes = 2) {
  return bits::isSubset(a, b, planes * words);
}

/// \brief Puts '-' into a wherever a and b differ (over `planes` planes).
inline void cubeSupercube(Word* a, const Word* b, int words, int planes = 2) {
  for (int w = 0; w < words; ++w) {
    Word differ = 0;
    for (int p = 0; p < planes; ++p) differ |= a[p * words + w] ^ b[p * words + w];
    for (int p = 0; p < planes; ++p) a[p * words + w] &= ~differ;
  }
}

/// \brief Writes to d the intersection of the packed cubes a and b (every literal of either); they must
/// meet.  d may be a or b.
inline void cubeIntersection(Word* d, const Word* a, const Word* b, int words) {
  bits::assignWords(d, 2 * words, [&](int w) { return a[w] | b[w]; });
}

/// \brief Writes to d the cofactor of c by p (c with p's literal positions freed); c must meet p.
inline void cubeCofactor(Word* d, const Word* c, const Word* p, int words) {
  for (int w = 0; w < words; ++w) {
    const Word free = ~literalsIn(p, words, w);
    d[w] = c[w] & free;
    d[words + w] = c[words + w] & free;
  }
}

/// \brief Number of positions of c holding '0' or '1'.
inline int cubeLiterals(const Word* c, int words) {
  return bits::countWords(words, [&](int w) { return literalsIn(c, words, w); });
}

/// \brief Calls fn(position) for every position of c holding a literal, lowest first.
template <typename Fn>
inline void forEachLiteral(const Word* c, int words, Fn&& fn) {
  bits::forEachWordBit(words, [&](int w) { return literalsIn(c, words, w); }, fn);
}

/// \brief True when c holds no literal (the universal cube).
inline bool isUniversal(const Word* c, int words) {
  return !bits::anyWord(words, [&](int w) { return literalsIn(c, words, w); });
}

/// \brief True when position v of c holds a literal ('0' or '1').
inline bool hasLiteral(const Word* c, int words, int v) { return bits::testBit(c, v) || bits::testBit(c + words, v); }

/// \brief True when position v of c holds '1' (else '0' or no literal).
inline bool literalIsOne(const Word* c, int words, int v) { return bits::testBit(c + words, v); }

/// \brief Puts '-' at position v of c.
inline void freePosition(Word* c, int words, int v) {
  bits::clearBit(c, v);
  bits::clearBit(c + words, v);
}

/// \brief Puts the literal '1' (one) or '0' at position v of c, which must hold '-'.
inline void putLiteral(Word* c, int words, int v, bool one) { bits::setBit(one ? c + words : c, v); }

/// \brief The first of `count` packed cubes (rows `stride` words apart) that meets c, or -1.
///
/// The scan behind every explicit implicant test; one word per plane is the
/// common case and keeps the cube's words in registers.
inline int firstMeeting(const Word* rows, int count, std::size_t stride, const Word* c, int words) {
  if (words == 1) {
    const Word z = c[0], o = c[1];
    for (int k = 0; k < count; ++k, rows += stride)
      if (((z & rows[1]) | (o & rows[0])) == 0) return k;
    return -1;
  }
  for (int k = 0; k < count; ++k, rows += stride)
    if (cubesMeet(rows, c, words)) return k;
  return -1;
}

/// \brief True when cube c has no literal opposite to `value` at position v (it meets v = value).
inline bool meetsLiteral(const Word* c, int words, int v, bool value) {
  return !bits::testBit(value ? c : c + words, v);
}

/// The positions holding '0' in some cube of a run and those holding '1' in
/// some cube: a position in both is binate, in one only unate.
class LiteralUnion {
 public:
  /// \brief Empties the union for cubes of `words` words per plane.
  void reset(int words) {
    words_ = words;
    zero_.assign(static_cast<std::size_t>(words), 0);
    one_.assign(static_cast<std::size_t>(words), 0);
  }
  /// \brief Adds the literals of packed cube c.
  void add(const Word* c) {
    for (int w = 0; w < words_; ++w) {
      zero_[w] |= c[w];
      one_[w] |= c[words_ + w];
    }
  }
  /// \brief The binate positions in word w.
  Word binate(int w) const { return zero_[w] & one_[w]; }
  /// \brief The unate positions in word w.
  Word unate(int w) const { return zero_[w] ^ one_[w]; }
  bool anyBinate() const {
    return bits::anyWord(words_, [&](int w) { return binate(w); });
  }
  bool anyUnate() const {
    return bits::anyWord(words_, [&](int w) { return unate(w); });
  }

 private:
  int words_ = 0;
  std::vector<Word> zero_, one_;
};

/// \brief The position, among those `mask(w)` selects, where the most of `count` packed cubes (rows
/// `stride` words apart) hold a literal; the lowest such position on a tie, -1 when none holds one.
template <typename MaskFn>
int mostLiterals(const Word* rows, int count, std::size_t stride, int words, MaskFn&& mask,
                 std::vector<int>& counts) {
  counts.assign(static_cast<std::size_t>(words) * 64, 0);
  for (int k = 0; k < count; ++k, rows += stride) {
    const Word* c = rows;
    bits::forEachWordBit(words, [&](int w) { return literalsIn(c, words, w) & mask(w); },
                         [&](int v) { ++counts[static_cast<std::size_t>(v)]; });
  }
  int best = -1, bestCount = 0;
  for (std::size_t v = 0; v < counts.size(); ++v)
    if (counts[v] > bestCount) {
      bestCount = counts[v];
      best = static_cast<int>(v);
    }
  return best;
}

}  // namespace vorn
