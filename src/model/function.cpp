#include "model/function.h"

#include <algorithm>

namespace vorn {

const char* typeName(int type) {
  switch (type) {
    case kTypeFr: return "fr";
    case kTypeF: return "f";
    case kTypeFdr: return "fdr";
    case kTypeR: return "r";
    default: return "fd";
  }
}

TBoolFnct::~TBoolFnct() {
  // Release the chain one term at a time: letting unique_ptr recurse down a
  // list of a hundred thousand terms would exhaust the stack.
  while (head) head = std::move(head->next);
}

FunctionPtr create(int inputCount, int outputCount, int termCount, int type) {
  auto f = std::make_unique<TBoolFnct>();
  f->inputCount = inputCount;
  f->outputCount = outputCount;
  f->termCount = 0;
  (void)termCount;  // every caller passes 0: terms are counted as they are added
  f->type = type;
  f->inputLabels = std::make_shared<std::vector<std::string>>(inputCount);
  f->outputLabels = std::make_shared<std::vector<std::string>>(outputCount);
  return f;
}

FunctionPtr derive(TBoolFnct& source) {
  auto f = std::make_unique<TBoolFnct>();
  f->inputCount = source.inputCount;
  f->outputCount = source.outputCount;
  f->type = source.type;
  f->inputLabels = source.inputLabels;
  f->outputLabels = source.outputLabels;
  f->source = &source;
  return f;
}

Cube cubeOf(std::string_view text, int n) {
  Cube c(n);
  const int len = std::min<int>(n, static_cast<int>(text.size()));
  for (int i = 0; i < len; ++i) c.set(i, text[i]);
  return c;
}

namespace {

std::string outputOf(std::string_view text, int m) {
  std::string s(text.substr(0, static_cast<std::size_t>(std::max(m, 0))));
  if (!text.empty() && static_cast<int>(s.size()) < m) s.resize(m, '~');
  return s;
}

std::unique_ptr<TPfnct> makeTerm(const TBoolFnct& f, const Cube& input, std::string_view output, int freeCount) {
  auto t = std::make_unique<TPfnct>();
  t->input = input.size() == f.inputCount ? input : cubeOf(input.str(), f.inputCount);
  t->output = outputOf(output, f.outputCount);
  t->freeCount = freeCount;
  return t;
}

TPfnct* linkAtEnd(TBoolFnct& f, std::unique_ptr<TPfnct> t) {
  TPfnct* raw = t.get();
  if (f.tail)
    f.tail->next = std::move(t);
  else
    f.head = std::move(t);
  f.tail = raw;
  ++f.termCount;
  return raw;
}

}  // namespace

TPfnct* appendEmptyTerm(TBoolFnct& f) { return linkAtEnd(f, std::make_unique<TPfnct>()); }

TPfnct* appendTerm(TBoolFnct& f, const Cube& input, std::string_view output, int freeCount) {
  return linkAtEnd(f, makeTerm(f, input, output, freeCount));
}

TPfnct* appendTerm(TBoolFnct& f, std::string_view input, std::string_view output, int freeCount) {
  return linkAtEnd(f, makeTerm(f, cubeOf(input, f.inputCount), output, freeCount));
}

TPfnct* prependTerm(TBoolFnct& f, const Cube& input, std::string_view output, int freeCount) {
  auto t = makeTerm(f, input, output, freeCount);
  TPfnct* raw = t.get();
  t->next = std::move(f.head);
  f.head = std::move(t);
  if (!f.tail) f.tail = raw;
  ++f.termCount;
  return raw;
}

std::unique_ptr<TPfnct> copyTerm(const TPfnct& s) {
  auto t = std::make_unique<TPfnct>();
  t->input = s.input;
  t->output = s.output;
  t->freeCount = s.freeCount;
  t->keep = s.keep;
  t->covers = s.covers;
  t->coverCount = s.coverCount;
  t->coverKeys = s.coverKeys;
  t->coverSignature = s.coverSignature;
  return t;
}

void absorb(TBoolFnct& target, FunctionPtr other) {
  if (!other) return;
  for (TPfnct* t = other->head.get(); t; t = t->next.get()) linkAtEnd(target, copyTerm(*t));
}

void clearCovers(TPfnct& t) {
  t.covers.clear();
  t.coverKeys.reset();
  t.coverSignature = 0;
}

std::vector<CoverEntry> copyCoversReversed(const std::vector<CoverEntry>& covers) {
  return std::vector<CoverEntry>(covers.rbegin(), covers.rend());
}

void buildLists(TBoolFnct& f) {
  if (f.indexed) return;
  const int m = f.outputCount;
  f.onLists.assign(m, {});
  f.offLists.assign(m, {});
  f.dcLists.assign(m, {});
  f.onCounts.assign(m, 0);
  f.offCounts.assign(m, 0);
  f.dcCounts.assign(m, 0);
  f.maxOnCount = 0;
  // Every cube is copied before the first entry points at one.
  f.listCubes.clear();
  f.listCubes.reserve(static_cast<std::size_t>(f.termCount));
  std::vector<const TPfnct*> terms;
  terms.reserve(static_cast<std::size_t>(f.termCount));
  for (const TPfnct* t = f.head.get(); t; t = t->next.get()) {
    f.listCubes.push_back(t->input);
    terms.push_back(t);
  }
  // A list holds its terms newest first, as if each entry had been pushed at
  // its head in term order.
  for (int k = static_cast<int>(terms.size()) - 1; k >= 0; --k) {
    const TPfnct& t = *terms[static_cast<std::size_t>(k)];
    const int outputs = std::min(m, static_cast<int>(t.output.size()));
    for (int i = 0; i < outputs; ++i) {
      const char c = t.output[static_cast<std::size_t>(i)];
      TermList* list = nullptr;
      if (c == '1' && typeHasOn(f.type))
        list = &f.onLists[i];
      else if (c == '0' && typeHasOff(f.type))
        list = &f.offLists[i];
      else if (c == '-' && typeHasDc(f.type))
        list = &f.dcLists[i];
      if (list) list->push_back(ListEntry{&f.listCubes[static_cast<std::size_t>(k)], k, t.freeCount, 0});
    }
  }
  for (int i = 0; i < m; ++i) {
    f.onCounts[i] = static_cast<int>(f.onLists[i].size());
    f.offCounts[i] = static_cast<int>(f.offLists[i].size());
    f.dcCounts[i] = static_cast<int>(f.dcLists[i].size());
    f.maxOnCount = std::max(f.maxOnCount, f.onCounts[i]);
  }
  f.indexed = 1;
}

void freeLists(TBoolFnct& f) {
  if (!f.indexed) return;
  f.onLists.clear();
  f.offLists.clear();
  f.dcLists.clear();
  f.listCubes.clear();
  f.onCounts.clear();
  f.offCounts.clear();
  f.dcCounts.clear();
  f.indexed = 0;
}

int countDashes(const TBoolFnct& f, const Cube& cube) {
  if (cube.size() == f.inputCount) return cube.countDashes();
  int n = 0;
  for (int i = 0; i < f.inputCount && i < cube.size(); ++i) n += cube.get(i) == '-';
  return n;
}

CubeList packInputs(const TermList& list, int n) {
  CubeList packed(n);
  for (const ListEntry& e : list) packed.push(e.input());
  return packed;
}

int firstOnOffOutput(const TPfnct& a, const TPfnct& b, int outputs) {
  for (int j = 0; j < outputs; ++j) {
    const char x = outputAt(a, j), y = outputAt(b, j);
    if ((x == '1' && y == '0') || (x == '0' && y == '1')) return j;
  }
  return -1;
}

}  // namespace vorn
