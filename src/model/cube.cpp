#include "model/cube.h"

namespace vorn {

namespace {
inline int wordOf(int i) { return i >> 6; }
inline std::uint64_t bitOf(int i) { return std::uint64_t{1} << (i & 63); }
}  // namespace

Cube::Cube(int n, char fill) : size_(n < 0 ? 0 : n), words_((size_ + 63) / 64) {
  if (words_ > kInlineWords) heap_.assign(3 * static_cast<std::size_t>(words_), 0);
  if (fill != '-')
    for (int i = 0; i < size_; ++i) set(i, fill);
}

Cube::Cube(std::string_view text) : Cube(static_cast<int>(text.size())) {
  for (int i = 0; i < size_; ++i) set(i, text[i]);
}

char Cube::get(int i) const {
  const int w = wordOf(i);
  const std::uint64_t b = bitOf(i);
  if (zero()[w] & b) return '0';
  if (one()[w] & b) return '1';
  if (tilde()[w] & b) return '~';
  return '-';
}

void Cube::set(int i, char c) {
  const int w = wordOf(i);
  const std::uint64_t b = bitOf(i);
  zeroBits()[w] &= ~b;
  oneBits()[w] &= ~b;
  tildeBits()[w] &= ~b;
  if (c == '0')
    zeroBits()[w] |= b;
  else if (c == '1')
    oneBits()[w] |= b;
  else if (c == '~')
    tildeBits()[w] |= b;
}

bool Cube::isLiteral(int i) const {
  const int w = wordOf(i);
  return ((zero()[w] | one()[w]) & bitOf(i)) != 0;
}

Cube& Cube::supercube(const Cube& other) {
  std::uint64_t *az = zeroBits(), *ao = oneBits(), *at = tildeBits();
  const std::uint64_t *bz = other.zero(), *bo = other.one(), *bt = other.tilde();
  for (int w = 0; w < words_; ++w) {
    const std::uint64_t differ = (az[w] ^ bz[w]) | (ao[w] ^ bo[w]) | (at[w] ^ bt[w]);
    az[w] &= ~differ;
    ao[w] &= ~differ;
    at[w] &= ~differ;
  }
  return *this;
}

int Cube::countLiterals() const {
  int n = 0;
  for (int w = 0; w < words_; ++w) n += __builtin_popcountll(zero()[w] | one()[w]);
  return n;
}

int Cube::countDashes() const {
  int n = size_;
  for (int w = 0; w < words_; ++w) n -= __builtin_popcountll(zero()[w] | one()[w] | tilde()[w]);
  return n;
}

std::string Cube::str() const {
  std::string s(size_, '-');
  for (int i = 0; i < size_; ++i) s[i] = get(i);
  return s;
}

bool Cube::operator==(const Cube& other) const {
  if (size_ != other.size_) return false;
  const std::uint64_t *a = bits(), *b = other.bits();
  for (int w = 0; w < 3 * words_; ++w)
    if (a[w] != b[w]) return false;
  return true;
}

std::size_t Cube::hash() const {
  std::uint64_t h = 1469598103934665603ULL ^ static_cast<std::uint64_t>(size_);
  const std::uint64_t* b = bits();
  for (int i = 0; i < 3 * words_; ++i) {
    const std::uint64_t w = b[i];
    h ^= w;
    h *= 1099511628211ULL;
    h ^= h >> 29;
  }
  return static_cast<std::size_t>(h);
}

}  // namespace vorn
