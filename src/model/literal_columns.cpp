#include "model/literal_columns.h"

#include <algorithm>

namespace vorn {

namespace {
// Above this many column words (8 bytes each) the columns are not worth their memory.
constexpr std::size_t kMaxColumnWords = std::size_t{1} << 23;
}  // namespace

bool LiteralColumns::fits(int inputs, int cubes) {
  const std::size_t blocks = (static_cast<std::size_t>(std::max(cubes, 1)) + 63) / 64;
  return 2 * static_cast<std::size_t>(inputs) * blocks <= kMaxColumnWords;
}

LiteralColumns::LiteralColumns(const CubeList& cubes, int capacity)
    : inputs_(cubes.inputs()), words_(cubes.words()), count_(std::max(cubes.size(), capacity)) {
  blocks_ = (static_cast<std::size_t>(count_) + 63) / 64;
  cols_ = WordRows(2 * inputs_, static_cast<int>(blocks_));
  for (int k = 0; k < cubes.size(); ++k) add(k, cubes.cube(k));
}

LiteralColumns::LiteralColumns(int inputs, int capacity)
    : inputs_(inputs), words_(bits::wordsFor(inputs)), count_(capacity) {
  blocks_ = (static_cast<std::size_t>(count_) + 63) / 64;
  cols_ = WordRows(2 * inputs_, static_cast<int>(blocks_));
}

void LiteralColumns::add(int k, const std::uint64_t* p) {
  forEachLiteral(p, words_, [&](int i) { bitspan::set(col(i, literalIsOne(p, words_, i)), k); });
}

void LiteralColumns::fillAll(std::uint64_t* out) const {
  std::fill(out, out + blocks_, ~std::uint64_t{0});
  if (count_ & 63) out[blocks_ - 1] = (std::uint64_t{1} << (count_ & 63)) - 1;
}

// Once the set is down to a few words (as it soon is when the cubes are
// minterms), the remaining literals are ANDed over those words only: the
// words outside [lo, hi) are zero already.
template <typename Step>
bool LiteralColumns::narrow(const std::uint64_t* p, std::uint64_t* out, Step&& step) const {
  std::size_t lo = 0, hi = blocks_;
  forEachLiteral(p, words_, [&](int i) {
    if (lo == hi) return;
    step(out + lo, i, literalIsOne(p, words_, i), lo, hi - lo);
    while (lo < hi && out[lo] == 0) ++lo;
    while (hi > lo && out[hi - 1] == 0) --hi;
  });
  return bitspan::any(out + lo, hi - lo);
}

namespace {
/// The step that keeps the cubes meeting a literal: those not holding its opposite.
struct KeepMeeting {
  const LiteralColumns& cols;
  void operator()(std::uint64_t* o, int i, int v, std::size_t from, std::size_t n) const {
    bitspan::andNotInto(o, cols.blocked(i, v) + from, n);
  }
};
}  // namespace

void LiteralColumns::meeting(const std::uint64_t* p, std::uint64_t* out) const {
  fillAll(out);
  narrow(p, out, KeepMeeting{*this});
}

bool LiteralColumns::meetsAnyOf(const std::uint64_t* p, const std::uint64_t* among, std::uint64_t* scratch) const {
  // Starting from `among` instead of every cube, the set empties (and the scan stops) sooner.
  std::copy(among, among + blocks_, scratch);
  return narrow(p, scratch, KeepMeeting{*this});
}

void LiteralColumns::inside(const std::uint64_t* p, std::uint64_t* out) const {
  // A cube inside p holds every literal of p; a cube with no literal at all
  // is inside only the full cube.
  fillAll(out);
  narrow(p, out, [&](std::uint64_t* o, int i, int v, std::size_t from, std::size_t n) {
    bitspan::andInto(o, holds(i, v) + from, n);
  });
}

}  // namespace vorn
