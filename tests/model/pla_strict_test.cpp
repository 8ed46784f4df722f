// What the reader refuses rather than guess at, each with the line it names,
// and what it reads with a warning.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "model/pla.h"

using namespace vorn;

namespace {

std::string refusal(const std::string& text) {
  const ReadResult r = readText(text);
  EXPECT_FALSE(r.function) << text;
  return r.error;
}

std::vector<std::string> terms(const TBoolFnct& f) {
  std::vector<std::string> v;
  forEachTerm(f, [&](const TPfnct& t) { v.push_back(t.input.str() + " " + t.output); });
  return v;
}

}  // namespace

TEST(PlaStrictReading, StrayCharactersInsideATerm) {
  EXPECT_EQ(refusal(".i 3\n.o 1\n0a1 1\n100 1\n"), "line 3: character 'a' inside the input part of a term");
  EXPECT_EQ(refusal(".i 3\n.o 2\n000 1x\n"), "line 3: character 'x' inside the output part of a term");
  // Only one separator: a second one is a stray character.
  EXPECT_EQ(refusal(".i 2\n.o 1\n01||1\n"), "line 3: character '|' inside the output part of a term");
  EXPECT_EQ(refusal(".i 2\n.o 1\n01 \x01" "1\n"), "line 3: character byte 0x01 inside the output part of a term");
  // After a complete output part only a '#' comment may follow in the same word.
  EXPECT_EQ(refusal(".i 2\n.o 1\n01 1x\n"), "line 3: character 'x' after the output part of a term");
  EXPECT_EQ(refusal(".i 2\n.o 1\n01 10\n"), "line 3: the output part of a term holds more than 1 character");
  EXPECT_EQ(refusal(".i 2\n.o 2\n01 100\n"), "line 3: the output part of a term holds more than 2 characters");
  // A separator that begins the output word must be a punctuation mark: a
  // letter or digit there is a stray character, not a separator.
  EXPECT_EQ(refusal(".i 3\n.o 1\n001 x1\n"), "line 3: character 'x' inside the output part of a term");
  EXPECT_EQ(refusal(".i 3\n.o 1\n001 x\n011 1\n"), "line 3: character 'x' inside the output part of a term");
  EXPECT_EQ(refusal(".i 3\n.o 1\n001 9\n"), "line 3: character '9' inside the output part of a term");
  for (const char* text : {".i 3\n.o 1\n001 |1\n", ".i 3\n.o 1\n001 | 1\n", ".i 3\n.o 1\n001|1\n"}) {
    const ReadResult r = readText(text);
    ASSERT_TRUE(r.function) << text << r.error;
    EXPECT_EQ(terms(*r.function), (std::vector<std::string>{"001 1"})) << text;
  }
  // A word that is no keyword, term or comment.
  EXPECT_EQ(refusal(".i 2\n.o 1\nabc 1\n"), "line 3: the word abc is neither a keyword, a term nor a '#' comment");
  // Control bytes of a binary file are shown, not sent to the terminal; other text stays as it is.
  EXPECT_EQ(refusal("\x1b[2J\x7f\n"), "line 1: the word \\x1b[2J\\x7f is neither a keyword, a term nor a '#' comment");
  EXPECT_EQ(refusal(".i 2\n.o 1\nGr\xc3\xb6\xc3\x9f" "e\n"),
            "line 3: the word Gr\xc3\xb6\xc3\x9f" "e is neither a keyword, a term nor a '#' comment");
  EXPECT_EQ(refusal(".i 2\n.o 1\n.type \x01\n"), "line 3: unknown type \\x01 (f, fd, fr, fdr or r)");
}

TEST(PlaStrictReading, OutputsTakingTheNextTermAreCaught) {
  // Two outputs but one given: the next line's input part would become
  // outputs.  The line named is the short term's, where the fault is.
  const char* kShort = "line 3: a term that goes on to line 4, where more characters follow than the term has room for"
                       " (a part of it is short)";
  EXPECT_EQ(refusal(".i 3\n.o 2\n000 1\n011 11\n"), kShort);
  // A short input part does the same, one line further down the file.
  EXPECT_EQ(refusal(".i 3\n.o 1\n000 1\n00 1\n011 1\n"),
            "line 4: a term that goes on to line 5, where more characters follow than the term has room for"
            " (a part of it is short)");
  // A term that goes on over lines and fits is read (with a warning).
  const ReadResult wrapped = readText(".i 3\n.o 2\n000 1\n1\n011 11\n");
  ASSERT_TRUE(wrapped.function) << wrapped.error;
  EXPECT_EQ(terms(*wrapped.function), (std::vector<std::string>{"000 11", "011 11"}));
}

TEST(PlaStrictReading, TermsCutOff) {
  EXPECT_EQ(refusal(".i 3\n.o 2\n000 11\n01"),
            "line 4: a term cut off by the end of the file (its input part has 2 of 3 characters)");
  EXPECT_EQ(refusal(".i 3\n.o 2\n000 11\n011 1"),
            "line 4: a term cut off by the end of the file (its output part has 1 of 2 characters)");
  EXPECT_EQ(refusal(".i 3\n.o 2\n011 1\n.e\n"),
            "line 4: a term of line 3 cut off by .e (its output part has 1 of 2 characters)");
}

TEST(PlaStrictReading, TermsNeedTheirDimensions) {
  EXPECT_EQ(refusal("01 1\n"), "line 1: a term before .i and .o gave the numbers of inputs and outputs");
  EXPECT_EQ(refusal(".i 2\n01 1\n"), "line 2: a term before .i and .o gave the numbers of inputs and outputs");
  EXPECT_EQ(refusal(".i 0\n.o 0\n-\n"), "line 3: a term of a function with 0 inputs and 0 outputs");
  EXPECT_EQ(refusal(".i x\n.o 1\n"), "line 1: .i needs the number of inputs, not x");
  EXPECT_EQ(refusal(".i 2\n.o\n01 1\n"), "line 2: .o needs the number of outputs");
  EXPECT_EQ(refusal(".i 2\n.o 1\n.type\n"), "line 3: .type without a type (f, fd, fr, fdr or r)");
}

TEST(PlaStrictReading, TheFirstTermFixesDimensionsAndType) {
  EXPECT_EQ(refusal(".i 2\n.o 1\n01 1\n.i 3\n011 1\n"), "line 4: Number of inputs changed after the first term: 3 instead of 2");
  EXPECT_EQ(refusal(".i 2\n.o 1\n01 1\n.o 2\n01 11\n"), "line 4: Number of outputs changed after the first term: 2 instead of 1");
  // Terms after it would mean something else than the file's author meant ('0' is off-set only in fr).
  EXPECT_EQ(refusal(".i 2\n.o 1\n01 1\n.type fr\n10 0\n"), "line 4: Type changed after the first term: fr instead of fd");
  EXPECT_EQ(refusal(".i 2\n.o 1\n.type fr\n01 1\n.type fd\n10 0\n"), "line 5: Type changed after the first term: fd instead of fr");
  // Repeating what holds is no change.
  const ReadResult same = readText(".i 2\n.o 1\n.type fr\n01 1\n.i 2\n.o 1\n.type FR\n10 0\n");
  ASSERT_TRUE(same.function) << same.error;
  EXPECT_EQ(same.function->type, kTypeFr);
  EXPECT_EQ(terms(*same.function), (std::vector<std::string>{"01 1", "10 0"}));
  // Before the first term a later fd leaves an earlier fr in place, as it always did.
  const ReadResult before = readText(".i 2\n.o 1\n.type fr\n.type fd\n01 1\n");
  ASSERT_TRUE(before.function) << before.error;
  EXPECT_EQ(before.function->type, kTypeFr);
}

TEST(PlaStrictReading, FilesThatAreNotText) {
  EXPECT_EQ(refusal(std::string("\x1f\x8b\x08\x00 rest", 8)), "line 1: not a PLA text: looks like gzip data (unpack it first)");
  EXPECT_EQ(refusal("BZh91AY&SY"), "line 1: not a PLA text: looks like bzip2 data (unpack it first)");
  EXPECT_EQ(refusal(std::string("\xfd" "7zXZ\0\0", 7)), "line 1: not a PLA text: looks like xz data (unpack it first)");
  EXPECT_EQ(refusal(std::string(".i 1\n.o 1\n1 1\0\n", 15)), "line 3: not a PLA text: it holds NUL bytes");
  // A byte-order mark is not part of the first keyword.
  EXPECT_TRUE(readText("\xef\xbb\xbf.i 1\n.o 1\n1 1\n").function);
}

TEST(PlaStrictReading, NameListsFromTheirLineOnly) {
  const ReadResult few = readText(".i 2\n.o 3\n.ob f g\n01 100\n.e\n");
  ASSERT_TRUE(few.function) << few.error;
  EXPECT_EQ(*few.function->outputLabels, (std::vector<std::string>{"f", "g", "y2"}));
  EXPECT_EQ(few.warnings, (std::vector<std::string>{"line 3: warning: .ob names 2 of 3 outputs; the others get default names"}));
  EXPECT_EQ(terms(*few.function), (std::vector<std::string>{"01 100"}));
  EXPECT_EQ(refusal(".i 2\n.o 1\n.ilb a b c\n01 1\n"), "line 3: .ilb names 3 inputs, but the function has 2");
  EXPECT_EQ(refusal(".i 2\n.o 1\n.ob f g\n01 1\n"), "line 3: .ob names 2 outputs, but the function has 1");
  // A comment ends the list.
  EXPECT_EQ(*readText(".i 2\n.o 1\n.ilb a b # names\n01 1\n").function->inputLabels, (std::vector<std::string>{"a", "b"}));
}

TEST(PlaStrictReading, TermsGoingOnOverLinesAreReadWithOneWarning) {
  const ReadResult one = readText(".i 3\n.o 2\n000\n11\n111 00\n");
  ASSERT_TRUE(one.function) << one.error;
  EXPECT_EQ(terms(*one.function), (std::vector<std::string>{"000 11", "111 00"}));
  EXPECT_EQ(one.warnings, (std::vector<std::string>{"line 3: warning: the term goes on to line 4"}));
  const ReadResult many = readText(".i 4\n.o 2\n00\n00 1\n1\n1111 00\n11\n11\n11\n");
  ASSERT_TRUE(many.function) << many.error;
  EXPECT_EQ(terms(*many.function), (std::vector<std::string>{"0000 11", "1111 00", "1111 11"}));
  EXPECT_EQ(many.warnings, (std::vector<std::string>{"line 3: warning: the term goes on to line 5, and so do 1 more terms"}));
}

TEST(PlaStrictReading, ReadFromAFileNamesThePath) {
  const std::string path = testing::TempDir() + "vorn_strict_test.pla";
  const std::pair<std::string, std::string> cases[] = {
      {".i 3\n.o 1\n0a1 1\n", path + ": line 3: character 'a' inside the input part of a term"},
      {std::string("\x1f\x8b\x08\x00", 4), path + ": line 1: not a PLA text: looks like gzip data (unpack it first)"},
  };
  for (const auto& [text, message] : cases) {
    { std::ofstream(path, std::ios::binary) << text; }
    EXPECT_EQ(read(path).error, message);
  }
  { std::ofstream(path) << ".i 2\n.o 2\n.ob f\n01 11\n"; }
  EXPECT_EQ(read(path).warnings,
            (std::vector<std::string>{path + ": line 3: warning: .ob names 1 of 2 outputs; the others get default names"}));
  std::remove(path.c_str());
}
