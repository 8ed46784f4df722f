// Purging marked terms and unlinking single terms keep head, tail and count right.
#include "model/term_removal.h"

#include <gtest/gtest.h>

#include "model/function.h"

namespace vorn {
namespace {

FunctionPtr fiveTerms() {
  FunctionPtr f = create(3, 1, 0, kTypeFr);
  for (const char* in : {"000", "001", "010", "011", "100"}) appendTerm(*f, in, "1", 0);
  return f;
}

std::string listed(const TBoolFnct& f) {
  std::string s;
  int n = 0;
  const TPfnct* last = nullptr;
  forEachTerm(f, [&](const TPfnct& t) {
    s += t.input.str() + " ";
    last = &t;
    ++n;
  });
  EXPECT_EQ(n, f.termCount);
  EXPECT_EQ(last, f.tail);
  return s;
}

void mark(TBoolFnct& f, std::initializer_list<int> positions) {
  int k = 0;
  for (TPfnct* t = f.head.get(); t; t = t->next.get(), ++k)
    for (int p : positions)
      if (p == k) t->keep = 0;
}

TEST(TermRemoval, PurgeAtHeadInsideAndTail) {
  FunctionPtr f = fiveTerms();
  mark(*f, {0});
  PurgeMarkedTerms(*f);
  EXPECT_EQ(listed(*f), "001 010 011 100 ");

  mark(*f, {1, 2});
  PurgeMarkedTerms(*f);
  EXPECT_EQ(listed(*f), "001 100 ");

  mark(*f, {1});
  PurgeMarkedTerms(*f);
  EXPECT_EQ(listed(*f), "001 ");
  EXPECT_EQ(f->head.get(), f->tail);

  // Appending after a tail purge links behind the new tail.
  appendTerm(*f, "111", "1", 0);
  EXPECT_EQ(listed(*f), "001 111 ");
}

TEST(TermRemoval, PurgeEverythingAndNothing) {
  FunctionPtr f = fiveTerms();
  PurgeMarkedTerms(*f);
  EXPECT_EQ(listed(*f), "000 001 010 011 100 ");
  mark(*f, {0, 1, 2, 3, 4});
  PurgeMarkedTerms(*f);
  EXPECT_EQ(f->termCount, 0);
  EXPECT_EQ(f->head, nullptr);
  EXPECT_EQ(f->tail, nullptr);
  PurgeMarkedTerms(*f);
  EXPECT_EQ(f->termCount, 0);
}

TEST(TermRemoval, RemoveTermAtHeadInsideAndTail) {
  FunctionPtr f = fiveTerms();
  TPfnct* next = RemoveTerm(*f, f->head.get(), nullptr);
  EXPECT_EQ(next, f->head.get());
  EXPECT_EQ(listed(*f), "001 010 011 100 ");

  TPfnct* before = f->head.get();
  next = RemoveTerm(*f, before->next.get(), before);
  EXPECT_EQ(next->input.str(), "011");
  EXPECT_EQ(listed(*f), "001 011 100 ");

  before = f->head->next.get();
  next = RemoveTerm(*f, f->tail, before);
  EXPECT_EQ(next, nullptr);
  EXPECT_EQ(f->tail, before);
  EXPECT_EQ(listed(*f), "001 011 ");

  RemoveTerm(*f, f->head->next.get(), f->head.get());
  RemoveTerm(*f, f->head.get(), nullptr);
  EXPECT_EQ(f->termCount, 0);
  EXPECT_EQ(f->tail, nullptr);
}

}  // namespace
}  // namespace vorn
