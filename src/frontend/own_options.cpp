#include "frontend/own_options.h"

#include <cstdint>
#include <sstream>

#include "frontend/exit.h"
#include "model/function.h"

namespace vorn {

namespace {

int typeOfWord(const std::string& word) {
  static const std::pair<const char*, int> kTypes[] = {{"f", kTypeF}, {"fd", kTypeFd}, {"fr", kTypeFr}, {"fdr", kTypeFdr}};
  for (const auto& [name, type] : kTypes)
    if (word == name) return type;
  return kTypeFd;  // not reached: the word was checked against the table
}

const std::vector<OwnOption> kOptions = {
    {"-seed", OptionKind::Number, 0, UINT32_MAX, "", "seed", "the clock, in whole seconds", "-seedN",
     "Seeds the random source with N: the same file, options and seed repeat a run",
     [](CommandLine& cl, const std::string&, long long n) { cl.seed = static_cast<std::uint32_t>(n); }},
    {"-j", OptionKind::Number, 1, 256, "", "job count", "1", "-jN",
     "Runs N minimizations at once, seeded S, S+1, ... (-seedS or the clock);\n"
     "the cheapest cover wins, ties go to the lowest seed",
     [](CommandLine& cl, const std::string&, long long n) { cl.jobs = static_cast<int>(n); }},
    {"-q", OptionKind::Flag, 0, 0, "", "", "", "-q", "Quiet: no banner, summary, step lines or status line",
     [](CommandLine& cl, const std::string&, long long) { cl.quiet = true; }},
    {"-stats", OptionKind::Text, 0, 0, "", "file name", "", "-statsFILE",
     "Writes the figures of the run as JSON to FILE after the result;\n"
     "-stats- writes them to standard output (needs a destination file)",
     [](CommandLine& cl, const std::string& text, long long) { cl.statsPath = text; }},
    {"-refine", OptionKind::Flag, 0, 0, "", "", "", "-refine",
     "Improves the best cover after the search, judging coverage minterm by minterm",
     [](CommandLine& cl, const std::string&, long long) { cl.settings.refine = 1; }},
    {"-o", OptionKind::Word, 0, 0, "f fd fr fdr", "output type", "fd with ~", "-o TYPE",
     "Writes the minimized result as TYPE: f, fd (both with 0, not ~), fr (with the\n"
     "off-set computed) or fdr (with don't-care set and off-set); also -oTYPE",
     [](CommandLine& cl, const std::string& text, long long) { cl.outputType = typeOfWord(text); }},
    {"-Tverify", OptionKind::Mode, 0, 0, "", "", "", "-Tverify",
     "vorn -Tverify SOURCE RESULT: checks that RESULT is a valid cover of SOURCE\n"
     "(exit 0 valid, 2 not valid, 1 errors)",
     [](CommandLine& cl, const std::string&, long long) { cl.mode = RunMode::Verify; }},
    {"-exact", OptionKind::Flag, 0, 0, "", "", "", "-exact",
     "A cover of minimum cost by the criterion (-Q) from all prime implicants,\n"
     "proven, or with a lower bound when stopped (-St, a signal)",
     [](CommandLine& cl, const std::string&, long long) { cl.settings.exact = 1; }},
};

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

/// The words of a Word option as the messages list them: "f, fd, fr or fdr".
std::string wordList(const char* words) {
  std::istringstream in(words);
  std::vector<std::string> w;
  for (std::string x; in >> x;) w.push_back(x);
  std::string s;
  for (std::size_t k = 0; k < w.size(); ++k) s += (k == 0 ? "" : k + 1 == w.size() ? " or " : ", ") + w[k];
  return s;
}

bool isWord(const char* words, const std::string& text) {
  std::istringstream in(words);
  for (std::string x; in >> x;)
    if (x == text) return true;
  return false;
}

// A number must be read whole: a seed or a count silently taken as another defeats its purpose.
long long numberValue(const OwnOption& o, const std::string& arg) {
  const std::string digits = arg.substr(std::string(o.name).size());
  long long value = 0;
  bool ok = !digits.empty() && digits.size() <= 18;
  for (char c : digits) {
    if (c < '0' || c > '9') ok = false;
    if (ok) value = value * 10 + (c - '0');
  }
  if (!ok || value < o.lowest || value > o.highest)
    fail("Invalid " + std::string(o.what) + " " + arg + " (expected " + o.name + " and a number from " +
         std::to_string(o.lowest) + " to " + std::to_string(o.highest) + ")\n");
  return value;
}

/// The option args[i] names, or none.  Flags and modes match whole words, the others their prefix.
const OwnOption* find(const std::string& arg) {
  for (const OwnOption& o : kOptions) {
    const bool whole = o.kind == OptionKind::Flag || o.kind == OptionKind::Mode;
    if (whole ? arg == o.name : startsWith(arg, o.name)) return &o;
  }
  return nullptr;
}

}  // namespace

const std::vector<OwnOption>& ownOptions() { return kOptions; }

bool parseOwnOption(const std::vector<std::string>& args, std::size_t& i, CommandLine& cl) {
  const std::string& arg = args[i];
  const OwnOption* o = find(arg);
  if (!o) return false;
  std::string text = arg.substr(std::string(o->name).size());
  switch (o->kind) {
    case OptionKind::Flag:
    case OptionKind::Mode:
      o->apply(cl, "", 0);
      break;
    case OptionKind::Number:
      o->apply(cl, "", numberValue(*o, arg));
      break;
    case OptionKind::Text:
      if (text.empty())
        fail(std::string(o->name) + " needs a " + o->what + ": " + o->usage + ", or " + o->name +
             "- for standard output\n");
      o->apply(cl, text, 0);
      break;
    case OptionKind::Word:
      if (text.empty()) {  // the value is the next argument
        if (i + 1 == args.size()) fail(std::string(o->name) + " needs a type: " + wordList(o->words) + "\n");
        text = args[++i];
      }
      if (!isWord(o->words, text))
        fail("Unknown " + std::string(o->what) + " " + text + " (" + wordList(o->words) + ")\n");
      o->apply(cl, text, 0);
      break;
  }
  return true;
}

std::string ownOptionsHelp() {
  std::string s;
  for (const OwnOption& o : kOptions) {
    std::string help = o.help;
    if (o.kind == OptionKind::Number)
      help += "\nN from " + std::to_string(o.lowest) + " to " + std::to_string(o.highest) + "; default: " + o.defaultValue;
    else if (*o.defaultValue)
      help += std::string("\ndefault: ") + o.defaultValue;
    std::string usage = o.usage;
    usage.resize(std::max<std::size_t>(usage.size() + 1, 13), ' ');
    s += "    " + usage;
    for (char c : help) s += c == '\n' ? std::string("\n") + std::string(17, ' ') : std::string(1, c);
    s += "\n";
  }
  return s;
}

}  // namespace vorn
