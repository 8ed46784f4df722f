// The outputs a term is connected to (or a source cube belongs to), one bit
// per output.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

class OutputSet {
 public:
  OutputSet() = default;
  /// \brief An empty set over m outputs.
  explicit OutputSet(int m) : w_(static_cast<std::size_t>((m + 63) / 64), 0) {}

  bool test(int j) const { return (w_[static_cast<std::size_t>(j >> 6)] >> (j & 63)) & 1; }
  void set(int j) { w_[static_cast<std::size_t>(j >> 6)] |= std::uint64_t{1} << (j & 63); }
  void reset(int j) { w_[static_cast<std::size_t>(j >> 6)] &= ~(std::uint64_t{1} << (j & 63)); }
  /// \brief True when some output is in the set.
  bool any() const {
    for (std::uint64_t w : w_)
      if (w) return true;
    return false;
  }
  /// \brief Number of outputs in the set.
  int count() const {
    int n = 0;
    for (std::uint64_t w : w_) n += __builtin_popcountll(w);
    return n;
  }
  /// \brief Every output of this set is in `o`.
  bool subsetOf(const OutputSet& o) const {
    for (std::size_t k = 0; k < w_.size(); ++k)
      if (w_[k] & ~o.w_[k]) return false;
    return true;
  }
  /// \brief Some output is in both sets.
  bool meets(const OutputSet& o) const {
    for (std::size_t k = 0; k < w_.size(); ++k)
      if (w_[k] & o.w_[k]) return true;
    return false;
  }
  /// \brief Removes the outputs of `o`.
  void remove(const OutputSet& o) {
    for (std::size_t k = 0; k < w_.size(); ++k) w_[k] &= ~o.w_[k];
  }
  /// \brief Adds the outputs of `o`.
  void unite(const OutputSet& o) {
    for (std::size_t k = 0; k < w_.size(); ++k) w_[k] |= o.w_[k];
  }
  /// \brief Calls fn(j) for every output j of the set, in increasing order.
  template <typename Fn>
  void forEach(Fn&& fn) const {
    for (std::size_t k = 0; k < w_.size(); ++k)
      for (std::uint64_t b = w_[k]; b; b &= b - 1) fn(static_cast<int>(k * 64) + __builtin_ctzll(b));
  }
  bool operator==(const OutputSet& o) const { return w_ == o.w_; }

 private:
  std::vector<std::uint64_t> w_;
};

}  // namespace vorn
