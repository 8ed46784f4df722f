#include "model/cube.h"

#include <algorithm>

namespace vorn {

Cube::Cube(int n, char fill) : size_(n < 0 ? 0 : n), words_(bits::wordsFor(size_)) {
  if (words_ > kInlineWords) heap_.assign(3 * static_cast<std::size_t>(words_), 0);
  if (fill != '-')
    for (int i = 0; i < size_; ++i) set(i, fill);
}

Cube::Cube(std::string_view text) : Cube(static_cast<int>(text.size())) {
  for (int i = 0; i < size_; ++i) set(i, text[i]);
}

char Cube::get(int i) const {
  if (bits::testBit(zero(), i)) return '0';
  if (bits::testBit(one(), i)) return '1';
  if (bits::testBit(tilde(), i)) return '~';
  return '-';
}

void Cube::set(int i, char c) {
  for (int p = 0; p < 3; ++p) bits::clearBit(bits() + p * words_, i);
  const int plane = c == '0' ? 0 : c == '1' ? 1 : c == '~' ? 2 : -1;
  if (plane >= 0) bits::setBit(bits() + plane * words_, i);
}

bool Cube::isLiteral(int i) const { return (literalsIn(bits(), words_, bits::wordOf(i)) & bits::bitOf(i)) != 0; }

Cube& Cube::supercube(const Cube& other) {
  cubeSupercube(bits(), other.data(), words_, 3);
  return *this;
}

int Cube::countLiterals() const { return cubeLiterals(bits(), words_); }

int Cube::countDashes() const {
  return size_ - bits::countWords(words_, [&](int w) { return literalsIn(bits(), words_, w) | tilde()[w]; });
}

std::string Cube::str() const {
  std::string s(size_, '-');
  for (int i = 0; i < size_; ++i) s[i] = get(i);
  return s;
}

bool Cube::operator==(const Cube& other) const {
  if (size_ != other.size_) return false;
  return std::equal(bits(), bits() + 3 * words_, other.bits());
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
