// The program's side of strict reading: a refused source ends the run with
// its message and exit code 1 before anything is written, and warnings reach
// standard error unless the run is quiet.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/process.h"

using namespace vorn;
using test::runVorn;

TEST(SourceReading, RefusedSourcesEndTheRunBeforeAnythingIsWritten) {
  const std::pair<std::string, std::string> cases[] = {
      {".i 3\n.o 1\n0a1 1\n", "line 3: character 'a' inside the input part of a term"},
      {".i 3\n.o 2\n000 1\n011 11\n",
       "line 3: a term that goes on to line 4, where more characters follow than the term has room for (a part of it is "
       "short)"},
      {".i 3\n.o 1\n001 x\n011 1\n", "line 3: character 'x' inside the output part of a term"},
      {".i 2\n.o 1\n.ilb a b c\n01 1\n", "line 3: .ilb names 3 inputs, but the function has 2"},
      {".i 2\n.o 1\n01 10\n", "line 3: the output part of a term holds more than 1 character"},
      {".i 3\n.o 2\n000 11\n011 1", "line 4: a term cut off by the end of the file (its output part has 1 of 2 characters)"},
      {"01 1\n", "line 1: a term before .i and .o gave the numbers of inputs and outputs"},
      {".i 2\n.o 1\n.type fx\n01 1\n", "line 3: unknown type fx (f, fd, fr, fdr or r)"},
      {".i 2\n.o 1\n.ob f g\n01 1\n", "line 3: .ob names 2 outputs, but the function has 1"},
      {std::string("\x1f\x8b\x08\x00\x00\x00", 6), "line 1: not a PLA text: looks like gzip data (unpack it first)"},
      {std::string(".i 1\n.o 1\n\0", 11), "line 3: not a PLA text: it holds NUL bytes"},
  };
  const std::string dst = test::tempPath("refused_out.pla");
  for (const auto& [text, message] : cases) {
    const std::string src = test::writeFile(test::tempPath("refused.pla"), text);
    for (const char* mode : {"-Si1", "-info", "-Tminterm"}) {
      const auto r = runVorn({mode, src, dst});
      EXPECT_EQ(r.exitCode, 1) << message;
      EXPECT_EQ(r.err, test::banner() + "Input function: " + src + "\n" + src + ": " + message + "\n") << mode;
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(test::readFile(dst), "<missing>") << mode;
    }
    std::remove(src.c_str());
  }
  // Through standard input the message names it.
  const auto piped = test::runVornFed({"-q", "-", dst}, ".i 3\n.o 1\n0a1 1\n");
  EXPECT_EQ(piped.exitCode, 1);
  EXPECT_EQ(piped.err, "standard input: line 3: character 'a' inside the input part of a term\n");
  EXPECT_EQ(test::readFile(dst), "<missing>");
}

TEST(SourceReading, WarningsGoToStandardErrorUnlessQuiet) {
  const std::string src = test::writeFile(test::tempPath("wrapped.pla"), ".i 3\n.o 2\n.ob f\n.type fr\n000\n11\n111 00\n");
  const auto r = runVorn({"-Tcheck", src});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, test::banner() + "Input function: " + src + "\n" + src +
                       ": line 3: warning: .ob names 1 of 2 outputs; the others get default names\n" + src +
                       ": line 5: warning: the term goes on to line 6\n"
                       "Function type: fr\nInput variables: 3\nOutput variables: 2\nDefined terms: 2\n\n"
                       "Function is consistent\n");
  const auto quiet = runVorn({"-q", "-Tcheck", src});
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.err, "Function is consistent\n");
  std::remove(src.c_str());
}
