// Splitting into minterms: the fd and fr readings, no inputs, failures, and
// seeded random functions against the minterm oracle.
#include <gtest/gtest.h>

#include <cstdio>

#include "model/settings.h"
#include "modes/minterm_oracle.h"
#include "modes/minterms.h"
#include "support/oracle.h"

namespace vorn {
namespace {

using test::pla;
using test::termTexts;
using Texts = std::vector<std::string>;

class MintermsTest : public ::testing::Test {
 protected:
};

TEST_F(MintermsTest, FdAndFrReadings) {
  auto fd = pla(".i 2\n.o 1\n1- 1\n.e\n");
  FunctionPtr r = SplitIntoMinterms(*fd);
  ASSERT_TRUE(r);
  EXPECT_EQ(termTexts(*r), (Texts{"00/0", "01/0", "10/1", "11/1"}));
  EXPECT_EQ(r->type, 0);
  EXPECT_EQ(r->source, fd.get());
  EXPECT_EQ(test::freeCounts(*r), (std::vector<int>{0, 0, 0, 0}));

  auto fr = pla(".i 2\n.o 1\n.type fr\n1- 1\n.e\n");
  r = SplitIntoMinterms(*fr);
  ASSERT_TRUE(r);
  EXPECT_EQ(termTexts(*r), (Texts{"00/~", "01/~", "10/1", "11/1"}));
  EXPECT_EQ(r->type, 1);
}

TEST_F(MintermsTest, FFdrAndRReadings) {
  // One output per character 1, 0, -, ~ of the term 1-.
  const char* text = ".i 2\n.o 4\n.type %s\n1- 10-~\n.e\n";
  auto typed = [&](const char* type) {
    char buf[64];
    std::snprintf(buf, sizeof buf, text, type);
    return pla(buf);
  };
  auto f = typed("f");  // on-set as given, the rest off
  EXPECT_EQ(termTexts(*SplitIntoMinterms(*f)), (Texts{"00/0000", "01/0000", "10/1000", "11/1000"}));
  auto fdr = typed("fdr");  // every character kept, '~' where no term speaks
  EXPECT_EQ(termTexts(*SplitIntoMinterms(*fdr)), (Texts{"00/~~~~", "01/~~~~", "10/10-~", "11/10-~"}));
  auto r = typed("r");  // on-set is what the off-set leaves
  FunctionPtr m = SplitIntoMinterms(*r);
  EXPECT_EQ(termTexts(*m), (Texts{"00/1111", "01/1111", "10/1011", "11/1011"}));
  EXPECT_EQ(m->type, kTypeR);
  // fdr conflicts like fr.
  EXPECT_FALSE(SplitIntoMinterms(*pla(".i 2\n.o 1\n.type fdr\n1- 1\n-1 0\n")));
}

TEST_F(MintermsTest, FdIgnoresDashAndTildeOutputs) {
  auto fd = pla(".i 1\n.o 3\n- -~1\n1 1-0\n.e\n");
  EXPECT_EQ(termTexts(*SplitIntoMinterms(*fd)), (Texts{"0/001", "1/101"}));
}

TEST_F(MintermsTest, NoInputsGiveOneTermFromEveryTerm) {
  FunctionPtr fr = create(0, 3, 0, kTypeFr);
  appendTerm(*fr, "", "1~~", 0);
  appendTerm(*fr, "", "~0~", 0);
  EXPECT_EQ(termTexts(*SplitIntoMinterms(*fr)), (Texts{"/10~"}));
  FunctionPtr fd = create(0, 2, 0, kTypeFd);
  appendTerm(*fd, "", "1-", 0);
  appendTerm(*fd, "", "~1", 0);
  EXPECT_EQ(termTexts(*SplitIntoMinterms(*fd)), (Texts{"/11"}));
}

TEST_F(MintermsTest, Failures) {
  // fr: '1' against '-' at minterm 11.
  auto fr = pla(".i 2\n.o 1\n.type fr\n1- 1\n-1 -\n.e\n");
  EXPECT_FALSE(SplitIntoMinterms(*fr));
  std::string out;
  EXPECT_EQ(MintermOutputs(*fr, Cube("11"), out), 0);
  EXPECT_EQ(MintermOutputs(*fr, Cube("10"), out), 1);
  EXPECT_EQ(out, "1");
  // The same function typed fd never fails.
  fr->type = kTypeFd;
  EXPECT_TRUE(SplitIntoMinterms(*fr));
  fr->type = 7;
  EXPECT_EQ(MintermOutputs(*fr, Cube("10"), out), 0);
  EXPECT_FALSE(SplitIntoMinterms(*fr));
  // 31 inputs need more terms than a count can hold: refused at once.
  FunctionPtr wide = create(31, 1, 0, kTypeFd);
  appendTerm(*wide, std::string(31, '-'), "1", 31);
  EXPECT_FALSE(SplitIntoMinterms(*wide));
}

TEST_F(MintermsTest, ReportsEveryMinterm) {
  auto fd = pla(".i 2\n.o 1\n1- 1\n.e\n");
  std::vector<std::string> events;
  ProgressHooks hooks = quietHooks();
  hooks.begin = [&](const std::string& m, int total, int kind) {
    events.push_back(m + " " + std::to_string(total) + " " + std::to_string(kind));
    return 0;
  };
  hooks.step = [&](int i, int kind) {
    events.push_back(std::to_string(i) + "/" + std::to_string(kind));
    return 0;
  };
  hooks.end = [&] { events.push_back("end"); };
  SplitIntoMinterms(*fd, hooks);
  EXPECT_EQ(events, (Texts{"Splitting into minterms... 4 1", "0/1", "1/1", "2/1", "3/1", "end"}));
}

TEST_F(MintermsTest, RandomFunctionsMatchTheOracle) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const int inputs = 1 + seed % 7;
    FunctionPtr f = test::randomOverlappingFr(seed, inputs, 1 + seed % 3, 3 + seed % 9, seed % 4 ? 0 : 5);
    if (seed % 3 == 0) f->type = kTypeFd;
    SCOPED_TRACE(testing::Message() << "seed " << seed << " type " << f->type);
    FunctionPtr r = SplitIntoMinterms(*f);
    bool anyClash = false;
    const std::uint64_t count = std::uint64_t{1} << inputs;
    for (std::uint64_t m = 0; m < count; ++m) {
      bool clash = false;
      test::frMintermOutput(*f, m, &clash);
      anyClash = anyClash || clash;
    }
    ASSERT_EQ(static_cast<bool>(r), f->type == kTypeFd || !anyClash);
    if (!r) continue;
    ASSERT_EQ(r->termCount, static_cast<int>(count));
    std::uint64_t m = 0;
    std::string out;
    for (const TPfnct* t = r->head.get(); t; t = t->next.get(), ++m) {
      EXPECT_EQ(t->input.str(), test::mintermText(m, inputs));
      ASSERT_EQ(MintermOutputs(*f, t->input, out), 1);
      EXPECT_EQ(t->output, out);
      if (f->type == kTypeFr) {
        EXPECT_EQ(t->output, test::frMintermOutput(*f, m));
      } else {
        std::string expected(f->outputCount, '0');
        forEachTerm(*f, [&](const TPfnct& s) {
          if (!test::cubeHasMinterm(s.input.str(), m)) return;
          for (int j = 0; j < f->outputCount; ++j)
            if (s.output[j] == '1') expected[j] = '1';
        });
        EXPECT_EQ(t->output, expected);
      }
    }
  }
}

TEST_F(MintermsTest, EighteenInputs) {
  // 262,144 terms; every 997th is checked against the oracle.
  std::string text = ".i 18\n.o 2\n.type fr\n";
  text += "1-0-------------1- 1~\n0---------------11 ~0\n-1-------------0-- 10\n.e\n";
  auto f = pla(text);
  FunctionPtr r = SplitIntoMinterms(*f);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->termCount, 1 << 18);
  std::uint64_t m = 0;
  for (const TPfnct* t = r->head.get(); t; t = t->next.get(), ++m)
    if (m % 997 == 0 || m + 1 == (1u << 18)) {
      EXPECT_EQ(t->input.str(), test::mintermText(m, 18));
      EXPECT_EQ(t->output, test::frMintermOutput(*f, m)) << m;
    }
}

}  // namespace
}  // namespace vorn
