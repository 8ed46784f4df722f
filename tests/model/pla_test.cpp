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
  // Without a separator nothing is lost: the term character after the input part begins the outputs.
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 2\n01-110\n")), (std::vector<std::string>{"01-1 10"}));
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 3\n0000000\n1111 111\n")), (std::vector<std::string>{"0000 000", "1111 111"}));
  EXPECT_EQ(terms(*test::pla(".i 2\n.o 1\n0-2 ~1:0\n")), (std::vector<std::string>{"0- -", "~1 0"}));
  // The separator may also begin the word of the outputs.
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 2\n01-1 |10\n")), (std::vector<std::string>{"01-1 10"}));
}

TEST(PlaReader, MapsDigits) {
  EXPECT_EQ(terms(*test::pla(".i 4\n.o 3\n2340 340\n")), (std::vector<std::string>{"-~10 ~10"}));
}

TEST(PlaReader, WordsThatAreNotTermsOrKeywordsAreSkippedAlone) {
  // A '#' word outside a term comments out the rest of its line, also after
  // blanks, after a keyword's value and right after a term's outputs.
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n# comment 1 0\n0 1\n")), (std::vector<std::string>{"0 1"}));
  EXPECT_EQ(terms(*test::pla("# 2-bit by 2-bit adder\n.i 2\n.o 1\n  #x 1 1\n11 1\n")),
            (std::vector<std::string>{"11 1"}));
  EXPECT_EQ(terms(*test::pla(".i 1 # inputs\n.o 1\n0 1 # a term\n1 0# tam\n")), (std::vector<std::string>{"0 1", "1 0"}));
  // An unknown dot keyword skips the rest of its line, .p included.
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n.p 1 1\n.foo 1 1\n0 1\n")), (std::vector<std::string>{"0 1"}));
}

TEST(PlaReader, EndWordsAndEndOfFile) {
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n0 1\n.END\n1 1\n")), (std::vector<std::string>{"0 1"}));
  EXPECT_EQ(terms(*test::pla(".i 1\n.o 1\n0 1\n1 0")), (std::vector<std::string>{"0 1", "1 0"}));  // no line end
}

TEST(PlaReader, NoTermOrNoFileGivesNoneWithTheReason) {
  EXPECT_FALSE(parse(".i 2\n.o 1\n.e\n00 1\n").function);
  EXPECT_TRUE(parse(".i 2\n.o 1\n.e\n").error.empty());
  EXPECT_EQ(parse(".i 2\n.o 1\n.e\n").reason, "holds no term");
  const ReadResult missing = read("/nonexistent/file.pla");
  EXPECT_FALSE(missing.function);
  EXPECT_EQ(missing.reason, "cannot open /nonexistent/file.pla: No such file or directory");
}

TEST(PlaReader, TypesAsRead) {
  const std::pair<const char*, int> kinds[] = {{"fr", kTypeFr}, {"fd", kTypeFd}, {"f", kTypeF},
                                               {"FDR", kTypeFdr}, {"r", kTypeR}};
  for (const auto& [word, type] : kinds)
    EXPECT_EQ(test::pla(std::string(".i 1\n.o 1\n.type ") + word + "\n1 1\n")->type, type) << word;
  EXPECT_EQ(parse(".i 1\n.o 1\n.type xyz\n1 1\n").error, "line 3: unknown type xyz (f, fd, fr, fdr or r)");
  EXPECT_EQ(test::pla(".i 1\n.o 1\n.type fdr\n.type fd\n1 1\n")->type, kTypeFdr);  // fd is the start, never a change
  // Fixed at the first term: another type after it is refused, since the terms after it would be misread.
  EXPECT_EQ(parse(".i 1\n.o 1\n1 1\n.type r\n0 0\n").error, "line 4: Type changed after the first term: r instead of fd");
}

TEST(PlaReader, ListsFollowTheType) {
  // One term per output character: 1, 0, -, ~ at the four outputs.
  const struct {
    const char* type;
    int on, off, dc;  // how many of the four outputs get an entry in each list
  } kinds[] = {{"fd", 1, 0, 1}, {"fr", 1, 1, 0}, {"f", 1, 0, 0}, {"fdr", 1, 1, 1}, {"r", 0, 1, 0}};
  for (const auto& k : kinds) {
    auto f = test::pla(std::string(".i 2\n.o 4\n.type ") + k.type + "\n1- 10-~\n");
    buildLists(*f);
    EXPECT_EQ(f->onCounts, (std::vector<int>{k.on, 0, 0, 0})) << k.type;
    EXPECT_EQ(f->offCounts, (std::vector<int>{0, k.off, 0, 0})) << k.type;
    EXPECT_EQ(f->dcCounts, (std::vector<int>{0, 0, k.dc, 0})) << k.type;
  }
}

TEST(PlaReader, RefusesWhatItCannotReadNamingKeywordAndLine) {
  const std::pair<const char*, const char*> refused[] = {
      {".mv 4 2 3 3", "multiple-valued variables"}, {".kiss", "state machine"},
      {".symbolic a b ;", "symbolic variables"},    {".symbolic-output x ;", "symbolic outputs"},
      {".pair 1 (a b)", "paired inputs"},           {".phase 10", "output phase assignment"},
  };
  for (const auto& [line, what] : refused) {
    const ReadResult r = parse(std::string("# header\n.i 2\n.o 2\n.type fr\n") + line + "\n00 10\n.e\n");
    EXPECT_FALSE(r.function) << line;
    const std::string keyword = std::string(line).substr(0, std::string(line).find(' '));
    EXPECT_EQ(r.error, "line 5: the keyword " + keyword + " (" + what + ") cannot be read") << line;
  }
  EXPECT_EQ(parse(".i 1\n.o 1\n.MV 2\n").error, "line 3: the keyword .MV (multiple-valued variables) cannot be read");
  // Other unknown keywords still skip their line.
  EXPECT_TRUE(parse(".i 1\n.o 1\n.mvx 1 0\n1 1\n").function);
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

TEST(PlaReader, NamesComeFromTheirOwnLineWhereverItStands) {
  // Checked against the counts in force at the first term.
  const ReadResult f = parse(".ilb a b\n.i 2\n.o 1\n00 1\n");
  EXPECT_EQ(*f.function->inputLabels, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(f.warnings.empty());
  const ReadResult g = parse(".i 1\n.ilb a\n.i 2\n.o 1\n00 1\n");
  EXPECT_EQ(*g.function->inputLabels, (std::vector<std::string>{"a", "x1"}));
  EXPECT_EQ(g.warnings, (std::vector<std::string>{"line 2: warning: .ilb names 1 of 2 inputs; the others get default names"}));
}

TEST(PlaWriter, FormatsKeywordsLabelsAndTerms) {
  auto f = test::pla(".i 2\n.o 2\n.ilb a b\n.type fr\n0- 1~\n11 30\n");
  EXPECT_EQ(formatPla(*f), ".i 2\n.o 2\n.p 2\n.ilb a b\n.ob y0 y1\n.type fr\n0- 1~\n11 ~0\n.e\n");
  auto empty = derive(*f);
  empty->type = kTypeFd;
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
