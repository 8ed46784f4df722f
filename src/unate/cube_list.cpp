#include "unate/cube_list.h"

#include <algorithm>

namespace vorn {

CubeList::CubeList(int n) : inputs_(n < 0 ? 0 : n), words_((inputs_ + 63) / 64) {}

void packCube(const Cube& c, int words, std::uint64_t* out) {
  const int have = std::min(words, c.words());
  for (int w = 0; w < words; ++w) {
    out[w] = w < have ? c.zero()[w] : 0;
    out[words + w] = w < have ? c.one()[w] : 0;
  }
}

Cube unpackCube(const std::uint64_t* packed, int n) {
  Cube c(n);
  const int words = (n + 63) / 64;
  for (int i = 0; i < n; ++i) {
    const std::uint64_t b = std::uint64_t{1} << (i & 63);
    if (packed[i >> 6] & b)
      c.set(i, '0');
    else if (packed[words + (i >> 6)] & b)
      c.set(i, '1');
  }
  return c;
}

void CubeList::push(const Cube& c) { packCube(c, words_, grow()); }

void CubeList::push(const std::uint64_t* packed) {
  data_.insert(data_.end(), packed, packed + stride());
  ++count_;
}

std::uint64_t* CubeList::grow() {
  const std::size_t at = data_.size();
  data_.resize(at + stride(), 0);
  ++count_;
  return data_.data() + at;
}

void CubeList::truncate(int k) {
  if (k >= count_) return;
  count_ = k < 0 ? 0 : k;
  data_.resize(static_cast<std::size_t>(count_) * stride());
}

Cube CubeList::get(int k) const { return unpackCube(cube(k), inputs_); }

}  // namespace vorn
