#include "model/pla.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

#include "model/destination_file.h"
#include "model/numbers.h"

namespace vorn {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

/// The character a term character is stored as, or 0 when it is skipped.
char mapTermChar(char c) {
  switch (c) {
    case '0': case '1': case '-': case '~': return c;
    case '2': return '-';
    case '3': return '~';
    case '4': return '1';
    default: return 0;
  }
}

bool beginsTerm(std::string_view word) {
  return !word.empty() && std::string_view("01234-~").find(word[0]) != std::string_view::npos;
}

/// Reads the file word by word.  A word beginning with '#' that is the first
/// word of its line makes the rest of the line a comment.
class WordReader {
 public:
  explicit WordReader(const std::string& text) : text_(text) {}

  std::optional<std::string_view> next() {
    for (;;) {
      while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
      if (pos_ >= text_.size()) return std::nullopt;
      if (text_[pos_] == '#' && atLineStart(pos_)) {
        skipLine();
        continue;
      }
      start_ = pos_;
      while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
      return std::string_view(text_).substr(start_, pos_ - start_);
    }
  }

  void skipLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
  }

  /// \brief The 1-based line of the word read last.
  int line() const {
    int n = 1;
    for (std::size_t i = 0; i < start_ && i < text_.size(); ++i) n += text_[i] == '\n';
    return n;
  }

 private:
  bool atLineStart(std::size_t at) const {
    while (at > 0) {
      const char c = text_[--at];
      if (c == '\n' || c == '\r') return true;
      if (!isBlank(c)) return false;
    }
    return true;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;
};

/// Gathers the characters of one term part across words.
struct TermCursor {
  WordReader& words;
  std::string_view word;
  std::size_t at = 0;

  /// \brief True when the next character of the current word is stored as a term character.
  bool atTermChar() const { return at < word.size() && mapTermChar(word[at]) != 0; }

  /// Collects `count` stored characters; false when the file ends first.
  bool collect(int count, std::string& out) {
    out.clear();
    while (static_cast<int>(out.size()) < count) {
      if (at >= word.size()) {
        auto w = words.next();
        if (!w) return false;
        word = *w;
        at = 0;
      }
      if (char c = mapTermChar(word[at++])) out.push_back(c);
    }
    return true;
  }
};

class Reader {
 public:
  explicit Reader(const std::string& text) : words_(text) {}

  ReadResult run() {
    while (error_.empty() && readOne()) {
    }
    ReadResult r;
    if (!error_.empty())
      r.error = error_;
    else if (f_ && f_->termCount > 0)
      r.function = std::move(f_);
    else
      r.reason = "holds no term";  // a term cut off by the end of the file is no term
    return r;
  }

 private:
  // Reads and acts on one word; false when reading ends.
  bool readOne() {
    auto w = words_.next();
    if (!w) return false;
    const std::string_view word = *w;
    if (word.size() >= 2 && word[0] == '.' && (word[1] == 'e' || word[1] == 'E')) return false;
    if (equalsNoCase(word, ".i")) return dimension(inputs_, f_ ? f_->inputCount : -1, "inputs");
    if (equalsNoCase(word, ".o")) return dimension(outputs_, f_ ? f_->outputCount : -1, "outputs");
    if (equalsNoCase(word, ".type")) {
      auto t = words_.next();
      if (t && !f_) type_ = typeOf(*t, type_);
      return true;
    }
    if (const char* what = unsupported(word)) {
      error_ = "line " + std::to_string(words_.line()) + ": the keyword " + std::string(word) + " (" + what +
               ") cannot be read";
      return false;
    }
    if (equalsNoCase(word, ".ilb")) return names(f_ ? f_->inputCount : inputs_, inputNames_);
    if (equalsNoCase(word, ".ob")) return names(f_ ? f_->outputCount : outputs_, outputNames_);
    if (word[0] == '.') {
      words_.skipLine();
      return true;
    }
    if (beginsTerm(word)) return term(word);
    return true;  // any other word is skipped by itself
  }

  // fd is the starting type, so naming it changes nothing: a later ".type fd"
  // does not undo an earlier type.  An unknown word leaves the type as it is.
  static int typeOf(std::string_view word, int current) {
    if (equalsNoCase(word, "fr")) return kTypeFr;
    if (equalsNoCase(word, "f")) return kTypeF;
    if (equalsNoCase(word, "fdr")) return kTypeFdr;
    if (equalsNoCase(word, "r")) return kTypeR;
    return current;
  }

  // Keywords of multiple-valued, symbolic and state-machine descriptions, and
  // the output phase assignment: read as plain words they would give another
  // function without a word of warning.
  static const char* unsupported(std::string_view word) {
    static const std::pair<const char*, const char*> kRefused[] = {
        {".mv", "multiple-valued variables"},   {".kiss", "state machine"},
        {".symbolic", "symbolic variables"},    {".symbolic-output", "symbolic outputs"},
        {".pair", "paired inputs"},             {".phase", "output phase assignment"},
    };
    for (const auto& [keyword, what] : kRefused)
      if (equalsNoCase(word, keyword)) return what;
    return nullptr;
  }

  // The dimensions are fixed by the first term; a later keyword may only repeat them.
  bool dimension(int& value, int fixed, const char* what) {
    auto w = words_.next();
    if (!w) return false;
    const int n = parseInt(*w);
    if (n < 0 || n >= kMaxVariables) {
      error_ = "Number of " + std::string(what) + " out of range: " + std::to_string(n) + " (0 to " +
               std::to_string(kMaxVariables - 1) + " allowed)";
      return false;
    }
    if (fixed >= 0 && n != fixed) {
      error_ = "Number of " + std::string(what) + " changed after the first term: " + std::to_string(n) +
               " instead of " + std::to_string(fixed);
      return false;
    }
    value = n;
    return true;
  }

  // Reads `count` name words; names after the first term are read and ignored.
  bool names(int count, std::vector<std::string>& into) {
    std::vector<std::string> read;
    for (int i = 0; i < count; ++i) {
      auto w = words_.next();
      if (!w) return false;
      read.emplace_back(*w);
    }
    if (!f_) into = std::move(read);
    return true;
  }

  void makeFunction() {
    f_ = create(inputs_, outputs_, 0, type_);
    for (int i = 0; i < inputs_; ++i)
      (*f_->inputLabels)[i] = i < static_cast<int>(inputNames_.size()) ? inputNames_[i] : "x" + std::to_string(i);
    for (int i = 0; i < outputs_; ++i)
      (*f_->outputLabels)[i] = i < static_cast<int>(outputNames_.size()) ? outputNames_[i] : "y" + std::to_string(i);
  }

  bool term(std::string_view word) {
    if (!f_) makeFunction();
    TermCursor cursor{words_, word, 0};
    if (!cursor.collect(f_->inputCount, input_)) return false;  // cut off: dropped
    // A character after the input part inside the same word separates the
    // parts (01-1|10) unless it is a term character itself: 01-110 is the
    // input part 01-1 followed by the outputs 10.  With no inputs the part is
    // empty and the blank before the outputs already separated it.
    if (f_->inputCount > 0 && !cursor.atTermChar()) ++cursor.at;
    const bool complete = cursor.collect(f_->outputCount, output_);
    if (!complete) output_.resize(f_->outputCount, '~');  // no information for the missing outputs
    const Cube cube(input_);
    appendTerm(*f_, cube, output_, cube.countDashes());
    return complete;
  }

  WordReader words_;
  int inputs_ = 0, outputs_ = 0, type_ = 0;
  std::vector<std::string> inputNames_, outputNames_;
  FunctionPtr f_;
  std::string input_, output_, error_;
};

}  // namespace

ReadResult readText(const std::string& text, const ProgressHooks& progress) {
  progress.begin("Loading PLA file", 0, 1);
  ReadResult r = Reader(text).run();
  progress.end();
  return r;
}

ReadResult read(const std::string& path, const ProgressHooks& progress) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  ReadResult r;
  if (!in) {
    r.reason = "cannot open " + path + ": " + (errno ? std::strerror(errno) : "unknown error");
    return r;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    r.reason = "cannot read " + path + ": " + (errno ? std::strerror(errno) : "read error");
    return r;
  }
  r = readText(buffer.str(), progress);
  if (!r.function && r.error.empty()) r.reason = path + " " + r.reason;
  if (!r.error.empty()) r.error = path + ": " + r.error;
  return r;
}

std::string formatPla(const TBoolFnct& f, const WriterOptions& options, const ProgressHooks& progress) {
  std::string s;
  s.reserve(static_cast<std::size_t>(f.termCount) * (f.inputCount + f.outputCount + 2) + 256);
  s += ".i " + std::to_string(f.inputCount) + "\n";
  s += ".o " + std::to_string(f.outputCount) + "\n";
  s += ".p " + std::to_string(f.termCount) + "\n";
  if (options.writeLabels) {
    if (f.inputLabels) {
      s += ".ilb";
      for (int i = 0; i < f.inputCount; ++i) s += " " + (*f.inputLabels)[i];
      s += "\n";
    }
    if (f.outputLabels) {
      s += ".ob";
      for (int i = 0; i < f.outputCount; ++i) s += " " + (*f.outputLabels)[i];
      s += "\n";
    }
  }
  s += std::string(".type ") + typeName(f.type) + "\n";
  progress.begin("Saving PLA", f.termCount, 1);
  int index = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get()) {
    for (int i = 0; i < f.inputCount; ++i) s += t->input.get(i);
    s += ' ';
    s.append(t->output, 0, static_cast<std::size_t>(f.outputCount));
    s += '\n';
    if (progress.step(index++, 0) != 0) break;
  }
  s += ".e\n";
  progress.end();
  return s;
}

bool write(const TBoolFnct& f, const std::string& path, std::string& error, const WriterOptions& options,
           const ProgressHooks& progress) {
  const std::string text = formatPla(f, options, progress);
  if (path.empty()) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout) {
      error = "Cannot write the result to standard output";
      return false;
    }
    return true;
  }
  return writeDestination(path, text, error);
}

}  // namespace vorn
