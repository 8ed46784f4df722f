#include "api/function_value.h"

#include <string>
#include <string_view>

#include "model/pla.h"

namespace vorn {

namespace {

void checkCount(int n, const char* what) {
  if (n < 0 || n >= kMaxVariables)
    throw Error("Number of " + std::string(what) + " out of range: " + std::to_string(n) + " (0 to " +
                std::to_string(kMaxVariables - 1) + " allowed)");
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

/// A label is one word of the PLA text: not empty, no blank inside.
Labels labelsOf(const std::vector<std::string>& given, int count, const char* what, const char* prefix) {
  if (!given.empty() && static_cast<int>(given.size()) != count)
    throw Error(std::to_string(given.size()) + " " + what + " labels for " + std::to_string(count) + " " + what + "s");
  auto labels = std::make_shared<std::vector<std::string>>();
  labels->reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (given.empty()) {
      labels->push_back(prefix + std::to_string(i));
      continue;
    }
    const std::string& label = given[static_cast<std::size_t>(i)];
    bool word = !label.empty();
    for (char c : label) word = word && !isBlank(c);
    if (!word) throw Error(std::string(what) + " label " + std::to_string(i + 1) + " is empty or holds a blank");
    labels->push_back(label);
  }
  return labels;
}

void checkPart(std::string_view part, int length, int term, const char* what) {
  if (static_cast<int>(part.size()) != length)
    throw Error("term " + std::to_string(term + 1) + ": the " + what + " part has " + std::to_string(part.size()) +
                " characters instead of " + std::to_string(length));
  for (char c : part)
    if (c != '0' && c != '1' && c != '-' && c != '~')
      throw Error("term " + std::to_string(term + 1) + ": the " + what + " part holds '" + std::string(1, c) +
                  "', which is none of 0 1 - ~");
}

}  // namespace

int typeNumber(Type type) {
  switch (type) {
    case Type::f: return kTypeF;
    case Type::fd: return kTypeFd;
    case Type::fr: return kTypeFr;
    case Type::fdr: return kTypeFdr;
    case Type::r: return kTypeR;
  }
  throw Error("Unknown function type " + std::to_string(static_cast<int>(type)));
}

Type typeOf(int number) {
  switch (number) {
    case kTypeF: return Type::f;
    case kTypeFr: return Type::fr;
    case kTypeFdr: return Type::fdr;
    case kTypeR: return Type::r;
    default: return Type::fd;
  }
}

FunctionPtr toTermList(const Function& f) {
  checkCount(f.inputs, "inputs");
  checkCount(f.outputs, "outputs");
  FunctionPtr g = create(f.inputs, f.outputs, 0, typeNumber(f.type));
  g->inputLabels = labelsOf(f.inputLabels, f.inputs, "input", "x");
  g->outputLabels = labelsOf(f.outputLabels, f.outputs, "output", "y");
  for (std::size_t k = 0; k < f.terms.size(); ++k) {
    const Term& t = f.terms[k];
    checkPart(t.input, f.inputs, static_cast<int>(k), "input");
    checkPart(t.output, f.outputs, static_cast<int>(k), "output");
    const Cube cube(t.input);
    appendTerm(*g, cube, t.output, cube.countDashes());
  }
  return g;
}

Function toFunction(const TBoolFnct& f) {
  Function v;
  v.inputs = f.inputCount;
  v.outputs = f.outputCount;
  v.type = typeOf(f.type);
  if (f.inputLabels) v.inputLabels = *f.inputLabels;
  if (f.outputLabels) v.outputLabels = *f.outputLabels;
  v.terms.reserve(static_cast<std::size_t>(f.termCount));
  forEachTerm(f, [&](const TPfnct& t) {
    Term term;
    term.input.reserve(static_cast<std::size_t>(f.inputCount));
    for (int i = 0; i < f.inputCount; ++i) term.input += t.input.get(i);
    term.output.reserve(static_cast<std::size_t>(f.outputCount));
    for (int j = 0; j < f.outputCount; ++j) term.output += outputAt(t, j);
    v.terms.push_back(std::move(term));
  });
  return v;
}

}  // namespace vorn
