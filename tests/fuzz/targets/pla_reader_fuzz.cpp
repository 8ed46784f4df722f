// libFuzzer target: the PLA reader on any bytes.  Whatever it reads must be a
// well-formed function (every term's cube and output part as long as the
// function says, counts that agree with the list), and writing it and
// reading the text back must give the same function.  Anything else, and
// every crash or sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "model/pla.h"

namespace {

[[noreturn]] void finding(const std::string& what) {
  std::fprintf(stderr, "finding: %s\n", what.c_str());
  std::abort();
}

void checkShape(const vorn::TBoolFnct& f) {
  int linked = 0;
  const vorn::TPfnct* last = nullptr;
  for (const vorn::TPfnct* t = f.head.get(); t; t = t->next.get(), ++linked) {
    if (t->input.size() != f.inputCount) finding("cube of " + std::to_string(t->input.size()) + " positions");
    if (static_cast<int>(t->output.size()) != f.outputCount) finding("output part of " + std::to_string(t->output.size()));
    if (t->freeCount != t->input.countDashes()) finding("free count " + std::to_string(t->freeCount));
    for (char c : t->output)
      if (c != '0' && c != '1' && c != '-' && c != '~') finding(std::string("output character ") + c);
    last = t;
  }
  if (linked != f.termCount) finding("term count " + std::to_string(f.termCount) + " for " + std::to_string(linked));
  if (f.tail != last) finding("tail is not the last term");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  vorn::ReadResult r = vorn::readText(text);
  if (!r.function) {
    if (r.error.empty() && r.reason.empty()) finding("no function, no error and no reason");
    return 0;
  }
  const vorn::TBoolFnct& f = *r.function;
  checkShape(f);
  const std::string written = vorn::formatPla(f);
  vorn::ReadResult back = vorn::readText(written);
  if (!back.function) finding("the written text does not read back: " + back.error + back.reason);
  const vorn::TBoolFnct& g = *back.function;
  if (g.inputCount != f.inputCount || g.outputCount != f.outputCount || g.termCount != f.termCount ||
      g.type != f.type)
    finding("the written text reads back with other dimensions");
  for (const vorn::TPfnct *a = f.head.get(), *b = g.head.get(); a && b; a = a->next.get(), b = b->next.get())
    if (a->input.str() != b->input.str() || a->output != b->output)
      finding("term " + a->input.str() + " " + a->output + " reads back as " + b->input.str() + " " + b->output);
  return 0;
}
