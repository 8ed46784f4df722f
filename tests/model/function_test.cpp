#include <gtest/gtest.h>

#include "model/function.h"
#include "support/oracle.h"

using namespace vorn;

namespace {
std::vector<std::string> inputs(const TBoolFnct& f) {
  std::vector<std::string> v;
  forEachTerm(f, [&](const TPfnct& t) { v.push_back(t.input.str()); });
  return v;
}
}  // namespace

TEST(Function, AppendCopiesExactlyTheDimensions) {
  auto f = create(3, 2, 0, kTypeFr);
  TPfnct* t = appendTerm(*f, "01-1111", "10xx", 1);
  EXPECT_EQ(t->input.str(), "01-");
  EXPECT_EQ(t->output, "10");
  EXPECT_EQ(t->keep, 1);
  EXPECT_EQ(f->termCount, 1);
  EXPECT_EQ(f->head.get(), t);
  EXPECT_EQ(f->tail, t);
}

TEST(Function, PrependOnEmptyThenAppendKeepsOrderAndTail) {
  auto f = create(2, 1, 0, kTypeFr);
  prependTerm(*f, Cube("00"), "1", 0);
  TPfnct* last = appendTerm(*f, "11", "1", 0);
  prependTerm(*f, Cube("10"), "1", 0);
  EXPECT_EQ(inputs(*f), (std::vector<std::string>{"10", "00", "11"}));
  EXPECT_EQ(f->termCount, 3);
  EXPECT_EQ(f->tail, last);
}

TEST(Function, AbsorbAppendsCopiesInOrderAndHandlesEmptySides) {
  auto f = create(2, 1, 0, kTypeFr);
  appendTerm(*f, "00", "1", 0);
  auto g = derive(*f);
  absorb(*f, std::move(g));  // empty other: nothing changes
  EXPECT_EQ(f->termCount, 1);
  auto h = derive(*f);
  appendTerm(*h, "01", "1", 0);
  appendTerm(*h, "11", "0", 0);
  auto empty = derive(*f);
  absorb(*empty, std::move(h));
  EXPECT_EQ(inputs(*empty), (std::vector<std::string>{"01", "11"}));
  EXPECT_EQ(empty->tail->input.str(), "11");
  EXPECT_EQ(empty->termCount, 2);
}

TEST(Function, DeriveSharesLabelsThatOutliveTheSource) {
  auto f = create(1, 1, 0, kTypeFr);
  (*f->inputLabels)[0] = "a";
  auto g = derive(*f);
  EXPECT_EQ(g->source, f.get());
  EXPECT_EQ(g->inputLabels.get(), f->inputLabels.get());
  f.reset();
  EXPECT_EQ((*g->inputLabels)[0], "a");
}

TEST(Function, BuildListsPushesAtTheHeadPerType) {
  auto f = test::pla(".i 2\n.o 3\n.type fr\n00 10-\n01 1~0\n11 01-\n.e\n");
  buildLists(*f);
  ASSERT_EQ(f->onCounts, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(f->onLists[0][0].input().str(), "01");  // the last term with '1' heads the list
  EXPECT_EQ(f->onLists[0][1].input().str(), "00");
  EXPECT_EQ(f->offCounts, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(f->dcCounts, (std::vector<int>{0, 0, 0}));  // '-' means nothing in fr
  EXPECT_EQ(f->maxOnCount, 2);
  EXPECT_EQ(f->indexed, 1);
  auto d = test::pla(".i 1\n.o 2\n0 -0\n.e\n");
  buildLists(*d);
  EXPECT_EQ(d->dcCounts, (std::vector<int>{1, 0}));
  EXPECT_EQ(d->offCounts, (std::vector<int>{0, 0}));  // '0' means nothing in fd
  freeLists(*d);
  EXPECT_EQ(d->indexed, 0);
  EXPECT_TRUE(d->onLists.empty());
}

TEST(Function, CopyTermKeepsCoversInOrderAndLeavesTheSource) {
  auto f = create(2, 1, 0, kTypeFr);
  TPfnct* t = appendTerm(*f, "0-", "1", 1);
  t->covers = {{nullptr, 3, 0}, {nullptr, 1, 0}, {nullptr, 0, 0}};
  t->coverCount = 3;
  t->coverKeys = std::vector<int>{0, 1, 3};
  auto c = copyTerm(*t);
  ASSERT_EQ(c->covers.size(), 3u);
  EXPECT_EQ(c->covers[0].onIndex, 3);
  EXPECT_EQ(c->covers[2].onIndex, 0);
  EXPECT_EQ(*c->coverKeys, (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(t->covers.size(), 3u);
  auto reversed = copyCoversReversed(t->covers);
  EXPECT_EQ(reversed[0].onIndex, 0);
  clearCovers(*c);
  EXPECT_TRUE(c->covers.empty());
  EXPECT_FALSE(c->coverKeys.has_value());
}

TEST(Function, ReleasingAHundredThousandTermsDoesNotRecurse) {
  auto f = create(4, 1, 0, kTypeFr);
  for (int i = 0; i < 100000; ++i) appendTerm(*f, "01-1", "1", 1);
  EXPECT_EQ(f->termCount, 100000);
  f.reset();  // would overflow the stack if the chain were released recursively
}
