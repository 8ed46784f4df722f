// -oTYPE and -o TYPE: the written result, read back, is a valid cover of the
// source in the type asked for, and -Tverify agrees.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/pla.h"
#include "support/cover_check.h"
#include "support/process.h"

using namespace vorn;
using test::runVorn;

TEST(OutputType, EveryTypeReadsBackAsAValidCover) {
  const char* sources[] = {
      ".i 4\n.o 2\n.type fr\n11-- 10\n0-1- 01\n1000 00\n0100 0~\n1011 ~1\n",
      ".i 4\n.o 2\n11-- 10\n0-1- 01\n10-0 -1\n",  // fd
  };
  for (const char* text : sources) {
    const std::string src = test::writeFile(test::tempPath("otype_src.pla"), text);
    for (const char* type : {"f", "fd", "fr", "fdr"}) {
      for (bool glued : {true, false}) {
        const std::string dst = test::tempPath(std::string("otype_") + type + ".pla");
        const auto run = glued ? runVorn({"-q", "-Si2", "-seed1", std::string("-o") + type, src, dst})
                               : runVorn({"-q", "-Si2", "-seed1", "-o", type, src, dst});
        ASSERT_EQ(run.exitCode, 0) << type << run.err;
        const ReadResult back = read(dst);
        ASSERT_TRUE(back.function) << back.error;
        EXPECT_EQ(typeName(back.function->type), std::string(type));
        std::string written = test::readFile(dst);
        if (std::string(type) == "f" || std::string(type) == "fd") {
          EXPECT_EQ(written.find('~'), std::string::npos) << written;
        }
        test::PlainFunction s, r;
        ASSERT_TRUE(test::readPlain(src, s));
        ASSERT_TRUE(test::readPlain(dst, r));
        EXPECT_EQ(test::checkCover(s, r), "") << type << "\n" << written;
        const auto verdict = runVorn({"-q", "-Tverify", src, dst});
        EXPECT_EQ(verdict.exitCode, 0) << type << verdict.err;
        std::remove(dst.c_str());
      }
    }
    std::remove(src.c_str());
  }
}

TEST(OutputType, UnknownTypesAreRefusedBeforeTheRun) {
  const std::string src = test::writeFile(test::tempPath("otype_bad.pla"), ".i 1\n.o 1\n1 1\n");
  const std::string dst = test::tempPath("otype_bad_out.pla");
  auto r = runVorn({"-o", "eqntott", src, dst});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Unknown output type eqntott (f, fd, fr or fdr)\n");
  r = runVorn({"-or", src, dst});
  EXPECT_EQ(r.err, test::banner() + "Unknown output type r (f, fd, fr or fdr)\n");
  r = runVorn({src, dst, "-o"});
  EXPECT_EQ(r.err, test::banner() + "-o needs a type: f, fd, fr or fdr\n");
  EXPECT_EQ(test::readFile(dst), "<missing>");
  std::remove(src.c_str());
}

TEST(OutputType, AnOffSetPastItsBoundsIsRefusedAndNothingIsWritten) {
  // x0x1 + x2x3 + ... + x28x29: already minimal, and its complement needs 2^15 cubes.
  std::string text = ".i 30\n.o 1\n";
  for (int i = 0; i < 15; ++i) {
    std::string cube(30, '-');
    cube[2 * i] = cube[2 * i + 1] = '1';
    text += cube + " 1\n";
  }
  const std::string src = test::writeFile(test::tempPath("otype_pairs.pla"), text);
  const std::string dst = test::tempPath("otype_pairs_out.pla");
  for (const char* type : {"fr", "fdr"}) {
    const auto r = runVorn({"-q", "-seed1", std::string("-o") + type, src, dst});
    EXPECT_EQ(r.exitCode, 1) << type;
    const std::string message = std::string("Cannot write the result as ") + type +
                                ": its off-set is too large to compute (write it as f or fd)\n";
    ASSERT_GE(r.err.size(), message.size());
    EXPECT_EQ(r.err.substr(r.err.size() - message.size()), message);
    EXPECT_EQ(test::readFile(dst), "<missing>") << type;
  }
  // The types without an off-set are written.
  EXPECT_EQ(runVorn({"-q", "-seed1", "-of", src, dst}).exitCode, 0);
  EXPECT_EQ(runVorn({"-q", "-Tverify", src, dst}).exitCode, 0);
  std::remove(dst.c_str());
  std::remove(src.c_str());
}
