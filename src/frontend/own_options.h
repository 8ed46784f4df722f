// The options of vorn's own, added after the usage text was fixed, each
// declared once in one table: its spelling, the values it takes, its default
// and its help line.  Parsing, the checks of values and the further options
// of -h all read the table, so an option added there is parsed, checked and
// listed alike.
#pragma once

#include <string>
#include <vector>

#include "frontend/cli.h"

namespace vorn {

/// How an option carries its value.
enum class OptionKind {
  Flag,    ///< the word alone (-q)
  Number,  ///< digits glued to the name (-j4), within [lowest, highest]
  Text,    ///< any non-empty text glued to the name (-statsFILE)
  Word,    ///< one of `words`, glued to the name or as the next argument (-ofr, -o fr)
  Mode,    ///< the word alone, choosing the run mode (-Tverify)
};

struct OwnOption {
  const char* name;           ///< the word, or the prefix the value is glued to
  OptionKind kind;
  long long lowest, highest;  ///< Number: the values allowed
  const char* words;          ///< Word: the values allowed, blank-separated
  const char* what;           ///< what the value is, for messages ("seed", "job count", "output type")
  const char* defaultValue;   ///< what holds without the option (for the help; empty: nothing to say)
  const char* usage;          ///< the option as the help writes it ("-seedN")
  const char* help;           ///< its help text; a '\n' begins an indented further line
  void (*apply)(CommandLine& cl, const std::string& text, long long number);
};

/// \brief The options of vorn's own, in the order the help lists them.
const std::vector<OwnOption>& ownOptions();
/// \brief When args[i] is one of them, applies it (taking args[i + 1] too for a Word option given
/// alone, then advancing i) and returns true; ends the run on a bad value.
bool parseOwnOption(const std::vector<std::string>& args, std::size_t& i, CommandLine& cl);
/// \brief Their lines in the help, each as "    USAGE  HELP (default ...)".
std::string ownOptionsHelp();

}  // namespace vorn
