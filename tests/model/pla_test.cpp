#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "model/pla.h"
#include "support/oracle.h"

using namespace vorn;

namespace {
std::vector<std::string> terms(const TBoolFnct& f) {
  std::vector<std::string> v;
  forEachTerm(f, [&](const TPfnct& t) { v.push_back(t.input.str() + " " + t.output); });
  return v;
}
ReadResult parse(const std::string& text) { return readText(text); }
}  // namespace

TEST(PlaReader, ReadsKeywordsNamesAndTerms) {
  auto f = test::pla(".i 3\n.o 2\n.ilb a b c\n.ob f g\n.p 2\n.type fr\n01- 10\n1-1 0~\n.e\n");
  EXPECT_EQ(f->inputCount, 3);
  EXPECT_EQ(f->outputCount, 2);
  EXPECT_EQ(f->type, 1);
  EXPECT_EQ(*f->inputLabels, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(*f->outputLabels, (std::vector<std::string>{"f", "g"}));
  EXPECT_EQ(terms(*f), (std::vector<std::string>{"01- 10", "1-1 0~"}));
  EXPECT_EQ(f->head->freeCount, 1);
}

TEST(PlaReader, DefaultNamesTypeFdAndCaseInsensitiveKeywords) {
  auto f = test::pla(".I 2\n.O 1\n00 1\n");
  EXPECT_EQ(f->type, 0);
  EXPECT_EQ(*f->inputLabels, (std::vector<std::string>{"x0", "x1"}));
  EXPECT_EQ(*f->outputLabels, (std::vector<std::string>{"y0"}));
  EXPECT_EQ(test::pla(".i 1\n.o 1\n.TYPE FR\n1 1\n")->type, 1);
  EXPECT_EQ(test::pla(".i 1\n.o 1\n.type fr\n.type fd\n1 1\n")->type, 1);  // only "fr" changes the type
}

TEST(PlaReader, TermsSplitOverWordsAndTheSeparatorSkip) {
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 2\n01 -1 10\n")), (std::vector<std::string>{"01-1 10"}));
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 2\n01-1|10\n")), (std::vector<std::string>{"01-1 10"}));
  // Without a separator the fifth character is lost: the outputs are the sixth character and the next word's first.
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 2\n01-110 01\n")), (std::vector<std::string>{"01-1 00"}));
}

TEST(PlaReader, MapsDigitsAndSkipsUnknownCharacters) {
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 3\n2340 3x4z0\n")), (std::vector<std::string>{"-~10 ~10"}));
}

TEST(PlaReader, WordsThatAreNotTermsOrKeywordsAreSkippedAlone) {
  // '#' and 'comment' are skipped word by word; the '1' after them starts a term.
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n# comment 1 0\n")), (std::vector<std::string>{"1 0"}));
  // An unknown dot keyword skips the rest of its line, .p included.
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n.p 1 1\n.foo 1 1\n0 1\n")), (std::vector<std::string>{"0 1"}));
}

TEST(PlaReader, EndWordsAndEndOfFile) {
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n0 1\n.END\n1 1\n")), (std::vector<std::string>{"0 1"}));
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n0 1\n1 0")), (std::vector<std::string>{"0 1", "1 0"}));  // no line end
  // A term cut off in its input part is dropped; cut off in the outputs it is kept with '~'.
  EXPECT_EQ(terms(*test::pla(".i 3\n.o 2\n000 11\n01")), (std::vector<std::string>{"000 11"}));
  EXPECT_EQ(terms(*test::pla(".i 3\n.o 2\n000 11\n011 1")), (std::vector<std::string>{"000 11", "011 1~"}));
}

TEST(PlaReader, NoTermOrNoFileGivesNone) {
  EXPECT_FALSE(parse(".i 2\n.o 1\n.e\n00 1\n").function);
  EXPECT_TRUE(parse(".i 2\n.o 1\n.e\n").error.empty());
  EXPECT_FALSE(read("/nonexistent/file.pla").function);
}

TEST(PlaReader, RejectsDimensionsOutOfRange) {
  EXPECT_NE(parse(".i 65000\n.o 1\n0 1\n").error, "");
  EXPECT_NE(parse(".i 2\n.o -1\n00 1\n").error, "");
  EXPECT_NE(parse(".i 99999999999999\n.o 1\n0 1\n").error, "");  // saturates, then out of range
  EXPECT_EQ(parse(".i 64999\n.o 0\n").error, "");
}

TEST(PlaReader, DimensionKeywordsAfterTheFirstTerm) {
  EXPECT_NE(parse(".i 2\n.o 1\n00 1\n.i 3\n001 1\n").error, "");
  auto same = parse(".i 2\n.o 1\n00 1\n.i 2\n.ilb p q\n11 0\n");
  ASSERT_TRUE(same.function);
  EXPECT_EQ(terms(*same.function), (std::vector<std::string>{"00 1", "11 0"}));
  EXPECT_EQ(*same.function->inputLabels, (std::vector<std::string>{"x0", "x1"}));  // names fixed at the first term
}

TEST(PlaReader, NamesBeforeTheCountsFallBackToDefaults) {
  auto f = test::pla(".ilb a\n.i 2\n.o 1\n00 1\n");
  EXPECT_EQ(*f->inputLabels, (std::vector<std::string>{"x0", "x1"}));
  auto g = test::pla(".i 1\n.ilb a\n.i 2\n.o 1\n00 1\n");
  EXPECT_EQ(*g->inputLabels, (std::vector<std::string>{"a", "x1"}));
}

TEST(PlaWriter, FormatsKeywordsLabelsAndTerms) {
  auto f = test::pla(".i 2\n.o 2\n.ilb a b\n.type fr\n0- 1~\n11 30\n");
  EXPECT_EQ(formatPla(*f), ".i 2\n.o 2\n.p 2\n.ilb a b\n.ob y0 y1\n.type fr\n0- 1~\n11 ~0\n.e\n");
  auto empty = derive(*f);
  empty->type = 0;
  EXPECT_EQ(formatPla(*empty), ".i 2\n.o 2\n.p 0\n.ilb a b\n.ob y0 y1\n.type fd\n.e\n");
}

TEST(PlaWriter, RoundTripGivesAnEqualFunction) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    auto f = test::randomFr(seed, 1 + seed % 6, 1 + seed % 4);
    auto g = test::pla(formatPla(*f));
    EXPECT_EQ(formatPla(*g), formatPla(*f));
    EXPECT_EQ(terms(*g), terms(*f));
  }
  auto zeroInputs = test::pla(".i 0\n.o 2\n 10\n");
  EXPECT_EQ(terms(*zeroInputs), (std::vector<std::string>{" 10"}));
  EXPECT_EQ(formatPla(*test::pla(formatPla(*zeroInputs))), formatPla(*zeroInputs));
}

TEST(PlaWriter, UnwritableDestinationReportsAndLeavesNoFile) {
  auto f = test::pla(".i 1\n.o 1\n1 1\n");
  std::string error;
  EXPECT_FALSE(write(*f, "/nonexistent-dir/out.pla", error));
  EXPECT_NE(error.find("/nonexistent-dir/out.pla"), std::string::npos);
  const std::string path = testing::TempDir() + "vorn_writer_test.pla";
  { std::ofstream(path) << "old contents\n"; }
  ASSERT_TRUE(write(*f, path, error)) << error;
  std::ifstream in(path);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, ".i 1");
  std::remove(path.c_str());
}
