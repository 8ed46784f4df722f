#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <vorn/vorn.hpp>

#include "support/process.h"

namespace {

vorn::Function function(int inputs, int outputs, vorn::Type type, std::vector<vorn::Term> terms) {
  vorn::Function f;
  f.inputs = inputs;
  f.outputs = outputs;
  f.type = type;
  f.terms = std::move(terms);
  return f;
}

std::vector<std::uint8_t> bitsOf(const std::string& text) {
  std::vector<std::uint8_t> bits;
  for (char c : text) bits.push_back(c == '1' ? 1 : 0);
  return bits;
}

}  // namespace

TEST(LibraryEvaluation, TheAdderAddsAtEveryPoint) {
  const vorn::Function adder = vorn::readPla(vorn::test::readFile(std::string(VORN_SOURCE_DIR) + "/examples/adder.pla"));
  std::vector<std::uint8_t> points;
  for (int p = 0; p < 16; ++p)
    for (int i = 3; i >= 0; --i) points.push_back((p >> i) & 1);
  const std::vector<std::uint8_t> values = vorn::evaluate(adder, points.data(), 16);
  ASSERT_EQ(values.size(), 16u * 3);
  for (int p = 0; p < 16; ++p) {
    const int sum = (p >> 2) + (p & 3);
    for (int j = 0; j < 3; ++j) EXPECT_EQ(values[p * 3 + j], (sum >> (2 - j)) & 1) << "point " << p << " output " << j;
  }
  // Its cover gives the same values.
  vorn::MinimizeParams params;
  params.seed = 1;
  EXPECT_EQ(vorn::evaluate(vorn::minimize(adder, params), points.data(), 16), values);
}

TEST(LibraryEvaluation, EachTypeGivesItsOnSet) {
  const std::vector<vorn::Term> terms = {{"1-", "10"}, {"-1", "0-"}, {"00", "~1"}};
  const std::vector<std::uint8_t> points = bitsOf("00011011");  // 00, 01, 10, 11
  // '1' decides for f, fd, fr and fdr: output 0 holds 1- (10, 11), output 1 holds 00.
  for (vorn::Type type : {vorn::Type::f, vorn::Type::fd, vorn::Type::fr, vorn::Type::fdr})
    EXPECT_EQ(vorn::evaluate(function(2, 2, type, terms), points.data(), 4), bitsOf("01001010"));
  // r: everything but what a '0' term holds: output 0 loses -1 (01, 11), output 1 loses 1- (10, 11).
  EXPECT_EQ(vorn::evaluate(function(2, 2, vorn::Type::r, terms), points.data(), 4), bitsOf("11011000"));
}

TEST(LibraryEvaluation, LiteralsBeyondTheFirstWordDecide) {
  std::string cube(130, '-');
  cube[0] = '1';
  cube[129] = '0';
  const vorn::Function f = function(130, 1, vorn::Type::fd, {{cube, "1"}});
  std::vector<std::uint8_t> points(3 * 130, 1);
  points[129] = 0;            // inside
  points[130 + 129] = 1;      // the last literal fails
  points[260] = 0, points[260 + 129] = 0;  // the first literal fails
  EXPECT_EQ(vorn::evaluate(f, points.data(), 3), bitsOf("100"));
  EXPECT_TRUE(vorn::evaluate(f, points.data(), 0).empty());
}

TEST(LibraryEvaluation, AMalformedFunctionIsRefused) {
  const std::vector<std::uint8_t> point = {1, 0};
  EXPECT_THROW(vorn::evaluate(function(2, 1, vorn::Type::fd, {{"1", "1"}}), point.data(), 1), vorn::Error);
}
