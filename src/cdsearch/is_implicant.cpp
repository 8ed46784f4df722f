// Implicant test.  The fr test is a scan for an off-set entry that meets the
// cube; two cubes meet unless one holds '0' where the other holds '1', which
// is (a.zero & b.one) | (a.one & b.zero) == 0 in every word.
//
// The fd test subtracts the on-set and then the don't-care entries from the
// cube.  The remainder is kept as a list of disjoint pieces; subtracting an
// entry P from a piece Q that meets it splits Q along the positions where Q is
// free and P has a literal: Q keeps the complement of P's first such literal,
// and for every further one a new piece takes P's literals so far and the
// complement of the next.  A piece inside P disappears.  The cube is covered
// exactly when no piece is left.  Pieces live in one flat scratch buffer that
// is reused from call to call, so a test allocates only while the buffer
// grows.
#include "cdsearch/is_implicant.h"

#include <algorithm>

#include "unate/containment.h"

namespace vorn {

namespace {

inline bool meets(const std::uint64_t* az, const std::uint64_t* ao, const std::uint64_t* bz,
                  const std::uint64_t* bo, int words) {
  for (int w = 0; w < words; ++w)
    if ((az[w] & bo[w]) | (ao[w] & bz[w])) return false;
  return true;
}

// Remainder of a cube while entries are subtracted from it.
class Remainder {
 public:
  void start(const Cube& cube) {
    words_ = cube.words();
    pieces_.assign(cube.zero(), cube.zero() + words_);
    pieces_.insert(pieces_.end(), cube.one(), cube.one() + words_);
    count_ = 1;
  }
  bool empty() const { return count_ == 0; }

  // Removes the entry with masks (pz, po) from every piece.
  void subtract(const std::uint64_t* pz, const std::uint64_t* po) {
    const int visit = count_;  // pieces added by this walk are not visited by it
    bool anyGone = false;
    gone_.assign(visit, 0);
    for (int q = 0; q < visit; ++q) {
      if (!meets(z(q), o(q), pz, po, words_)) continue;
      bool split = false;
      for (int w = 0; w < words_; ++w) {
        if ((po[w] | pz[w]) & ~(z(q)[w] | o(q)[w])) {
          split = true;
          break;
        }
      }
      if (!split) {
        gone_[q] = 1;
        anyGone = true;
        continue;
      }
      splitPiece(q, pz, po);
    }
    if (anyGone) compact(visit);
  }

 private:
  std::uint64_t* z(int q) { return pieces_.data() + static_cast<std::size_t>(2 * q) * words_; }
  std::uint64_t* o(int q) { return z(q) + words_; }

  // Q becomes the part of Q outside P's first free literal; the running cube
  // takes P's literal there, and every further free literal of P splits off
  // one more piece.
  void splitPiece(int q, const std::uint64_t* pz, const std::uint64_t* po) {
    run_.resize(2 * words_);
    bool first = true;
    for (int w = 0; w < words_; ++w) {
      std::uint64_t freeLits = (pz[w] | po[w]) & ~(z(q)[w] | o(q)[w]);
      while (freeLits) {
        const std::uint64_t b = freeLits & (~freeLits + 1);
        freeLits &= freeLits - 1;
        const bool pOne = (po[w] & b) != 0;
        if (first) {
          first = false;
          // complement of P's literal into Q, P's literal into the running cube
          if (pOne)
            z(q)[w] |= b;
          else
            o(q)[w] |= b;
          std::copy(z(q), z(q) + 2 * words_, run_.begin());
          run_[w] ^= b;
          run_[words_ + w] ^= b;
        } else {
          const std::size_t at = pieces_.size();
          pieces_.insert(pieces_.end(), run_.begin(), run_.end());
          ++count_;
          if (pOne)
            pieces_[at + w] |= b;
          else
            pieces_[at + words_ + w] |= b;
          if (pOne)
            run_[words_ + w] |= b;
          else
            run_[w] |= b;
        }
      }
    }
  }

  void compact(int visit) {
    int to = 0;
    for (int q = 0; q < count_; ++q) {
      if (q < visit && gone_[q]) continue;
      if (to != q) std::copy(z(q), z(q) + 2 * words_, z(to));
      ++to;
    }
    count_ = to;
    pieces_.resize(static_cast<std::size_t>(2 * count_) * words_);
  }

  int words_ = 0;
  int count_ = 0;
  std::vector<std::uint64_t> pieces_;
  std::vector<std::uint64_t> run_;
  std::vector<char> gone_;
};

// Covered-by test over any sequence of lists; `entry(list, k)` gives masks.
template <typename Lists>
bool coveredBy(const Cube& cube, const Lists& lists) {
  Remainder rest;
  rest.start(cube);
  for (const auto& list : lists) {
    for (int k = 0; k < list.count() && !rest.empty(); ++k) {
      const std::uint64_t* pz = list.zero(k);
      const std::uint64_t* po = list.one(k);
      if (!meets(cube.zero(), cube.one(), pz, po, cube.words())) continue;
      rest.subtract(pz, po);
    }
    if (rest.empty()) return true;
  }
  return rest.empty();
}

// Adapters giving a term list and a packed list the same face.
struct ListView {
  const TermList* list;
  int count() const { return static_cast<int>(list->size()); }
  const std::uint64_t* zero(int k) const { return (*list)[k].input.zero(); }
  const std::uint64_t* one(int k) const { return (*list)[k].input.one(); }
};

bool validOutput(const TBoolFnct& f, int output) {
  return f.indexed && output >= 0 && output < f.outputCount && output < static_cast<int>(f.onLists.size());
}

}  // namespace

int IsImplicant(const TBoolFnct& f, const Cube& cube, int output) {
  if (!validOutput(f, output)) return 0;
  if (f.type == 1) {
    const int words = cube.words();
    for (const ListEntry& e : f.offLists[output]) {
      if (e.separated) continue;
      if (meets(cube.zero(), cube.one(), e.input.zero(), e.input.one(), words)) return 0;
    }
    return 1;
  }
  if (f.type == 0) {
    CubeList allowed(f.inputCount);
    for (const ListEntry& e : f.onLists[output]) allowed.push(e.input);
    for (const ListEntry& e : f.dcLists[output]) allowed.push(e.input);
    return CubeCovered(cube, allowed) ? 1 : 0;
  }
  return 0;
}

int IsImplicantBySubtraction(const TBoolFnct& f, const Cube& cube, int output) {
  if (!validOutput(f, output) || f.type != 0) return 0;
  const ListView lists[2] = {{&f.onLists[output]}, {&f.dcLists[output]}};
  return coveredBy(cube, lists) ? 1 : 0;
}

int IsImplicant(const TBoolFnct& f, const TPfnct& cube, int output) { return IsImplicant(f, cube.input, output); }

void PackedCubes::assign(const TermList& list, int wordCount) {
  words = wordCount;
  count = static_cast<int>(list.size());
  masks.resize(static_cast<std::size_t>(2 * count) * words);
  std::uint64_t* to = masks.data();
  for (const ListEntry& e : list) {
    to = std::copy(e.input.zero(), e.input.zero() + words, to);
    to = std::copy(e.input.one(), e.input.one() + words, to);
  }
}

ImplicantTester::ImplicantTester(const TBoolFnct& f, int output)
    : type_(validOutput(f, output) ? f.type : -1), words_((f.inputCount + 63) / 64) {
  if (type_ == 1) {
    off_.assign(f.offLists[output], words_);
    unseparateAll();
  } else if (type_ == 0) {
    allowed_ = CubeList(f.inputCount);
    for (const ListEntry& e : f.onLists[output]) allowed_.push(e.input);
    for (const ListEntry& e : f.dcLists[output]) allowed_.push(e.input);
    check_ = std::make_unique<ContainmentCheck>(f.inputCount);
    packed_.assign(allowed_.stride(), 0);
  }
}

bool ImplicantTester::test(const Cube& cube) {
  if (type_ == 1) {
    const std::uint64_t* cz = cube.zero();
    const std::uint64_t* co = cube.one();
    const std::uint64_t* e = live_.data();
    const int stride = 2 * words_;
    if (words_ == 1) {
      const std::uint64_t z = cz[0], o = co[0];
      for (int k = 0; k < liveCount_; ++k, e += 2)
        if (((z & e[1]) | (o & e[0])) == 0) return false;
      return true;
    }
    for (int k = 0; k < liveCount_; ++k, e += stride)
      if (meets(cz, co, e, e + words_, words_)) return false;
    return true;
  }
  if (type_ == 0) {
    packCube(cube, words_, packed_.data());
    return check_->covered(packed_.data(), allowed_);
  }
  return false;
}

void ImplicantTester::separate(int p, bool value) {
  if (type_ != 1) return;
  const int w = p >> 6;
  const std::uint64_t b = std::uint64_t{1} << (p & 63);
  // an entry holding the opposite literal at p can no longer meet the cube
  const int opposite = value ? 0 : words_;  // offset of the zero or the one mask
  const int stride = 2 * words_;
  int to = 0;
  for (int k = 0; k < liveCount_; ++k) {
    const std::uint64_t* e = live_.data() + static_cast<std::size_t>(k) * stride;
    if (e[opposite + w] & b) continue;
    if (to != k) std::copy(e, e + stride, live_.data() + static_cast<std::size_t>(to) * stride);
    ++to;
  }
  liveCount_ = to;
}

void ImplicantTester::unseparateAll() {
  if (type_ != 1) return;
  live_ = off_.masks;
  liveCount_ = off_.count;
}

}  // namespace vorn
