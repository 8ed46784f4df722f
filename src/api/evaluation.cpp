// The value of a function at given points of its input space, for testing a
// cover on samples it was not made from.  Each sample becomes a minterm cube
// once; each term that says something about an output is then asked whether
// it contains it with the packed cube test (a few word operations per 64
// inputs), never character by character.
#include <string>
#include <vector>

#include <vorn/vorn.hpp>

#include "api/function_value.h"
#include "model/function.h"

namespace vorn {

namespace {

/// A term that decides some outputs, and those outputs.
struct Deciding {
  const Cube* input;
  std::vector<int> outputs;
};

}  // namespace

std::vector<std::uint8_t> evaluate(const Function& f, const std::uint8_t* samples, std::size_t count) {
  const FunctionPtr g = toTermList(f);
  // The on-set of an r function is what its '0' terms leave; every other type gives it by '1'.
  const bool byOffSet = g->type == kTypeR;
  const char deciding = byOffSet ? '0' : '1';
  std::vector<Deciding> terms;
  forEachTerm(*g, [&](const TPfnct& t) {
    Deciding d{&t.input, {}};
    for (int j = 0; j < g->outputCount; ++j)
      if (outputAt(t, j) == deciding) d.outputs.push_back(j);
    if (!d.outputs.empty()) terms.push_back(std::move(d));
  });
  const std::size_t inputs = static_cast<std::size_t>(g->inputCount), outputs = static_cast<std::size_t>(g->outputCount);
  std::vector<std::uint8_t> values(count * outputs, byOffSet ? 1 : 0);
  std::string text(inputs, '0');
  for (std::size_t s = 0; s < count; ++s) {
    const std::uint8_t* row = samples + s * inputs;
    for (std::size_t i = 0; i < inputs; ++i) text[i] = row[i] ? '1' : '0';
    const Cube point(text);
    std::uint8_t* value = values.data() + s * outputs;
    for (const Deciding& d : terms)
      if (d.input->contains(point))
        for (int j : d.outputs) value[j] = byOffSet ? 0 : 1;
  }
  return values;
}

}  // namespace vorn
