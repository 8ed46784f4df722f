// The PLA reader.  It reads what PLA files in the wild hold (terms split over
// words, a separator such as '|' between the parts, the digits 2/3/4 for '-',
// '~', '1', '#' comments, unknown dot keywords) and refuses, naming the line,
// everything it could only guess at: a stray character inside a term, a term
// cut off, terms without dimensions, an unknown type, a name list longer than
// the function, a file that is not text.  A misread function would be
// minimized and verified against a function that is not the file's, without a word.
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/numbers.h"
#include "model/pla.h"

namespace vorn {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

/// The character a term character is stored as, or 0 when it is none.
char mapTermChar(char c) {
  switch (c) {
    case '0': case '1': case '-': case '~': return c;
    case '2': return '-';
    case '3': return '~';
    case '4': return '1';
    default: return 0;
  }
}

bool beginsTerm(std::string_view word) { return !word.empty() && mapTermChar(word[0]) != 0; }

/// A character as a message shows it: itself when printable, else its code.
std::string shown(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 0x21 && u < 0x7f) return std::string("'") + c + "'";
  static const char kHex[] = "0123456789abcdef";
  return std::string("byte 0x") + kHex[u >> 4] + kHex[u & 15];
}

/// A word as a message shows it: control bytes as \xNN, so a binary file's
/// bytes cannot garble the terminal or hide in the message.
std::string shownWord(std::string_view word) {
  static const char kHex[] = "0123456789abcdef";
  std::string s;
  for (char c : word) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f)
      s += std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
    else
      s += c;
  }
  return s;
}

/// Signatures of compressed and archive formats someone may hand over unpacked.
const char* compressedFormat(std::string_view text) {
  static const std::pair<std::string_view, const char*> kMagic[] = {
      {std::string_view("\x1f\x8b", 2), "gzip"},        {std::string_view("\x1f\x9d", 2), "compress (.Z)"},
      {std::string_view("BZh", 3), "bzip2"},            {std::string_view("\xfd" "7zXZ\0", 6), "xz"},
      {std::string_view("\x28\xb5\x2f\xfd", 4), "zstd"}, {std::string_view("PK\x03\x04", 4), "zip"},
      {std::string_view("LZIP", 4), "lzip"},            {std::string_view("7z\xbc\xaf\x27\x1c", 6), "7-zip"},
  };
  for (const auto& [magic, name] : kMagic)
    if (text.substr(0, magic.size()) == magic) return name;
  return nullptr;
}

/// Why a text is no PLA text at all (with the line of the first NUL byte), or nothing.
std::optional<std::string> notText(std::string_view text) {
  if (const char* format = compressedFormat(text))
    return "line 1: not a PLA text: looks like " + std::string(format) + " data (unpack it first)";
  const auto nul = text.find('\0');
  if (nul == std::string_view::npos) return std::nullopt;
  int line = 1;
  for (std::size_t i = 0; i < nul; ++i) line += text[i] == '\n';
  return "line " + std::to_string(line) + ": not a PLA text: it holds NUL bytes";
}

/// Reads the text word by word and keeps the line of each word.
class WordReader {
 public:
  explicit WordReader(std::string_view text) : text_(text) {}

  /// \brief The next word; a '#' word that begins a line is a comment line and is skipped.
  std::optional<std::string_view> next() {
    for (;;) {
      skipBlanks();
      if (pos_ >= text_.size()) return std::nullopt;
      if (text_[pos_] == '#' && lineStart_) {
        skipLine();
        continue;
      }
      return word();
    }
  }

  /// \brief The next word of the current line, or nothing at the line end.
  std::optional<std::string_view> nextOnLine() {
    while (pos_ < text_.size() && isBlank(text_[pos_]) && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r') return std::nullopt;
    return word();
  }

  /// \brief Skips the rest of the current line.
  void skipLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
  }

  /// \brief The 1-based line of the word read last.
  int line() const { return wordLine_; }

 private:
  void skipBlanks() {
    for (; pos_ < text_.size() && isBlank(text_[pos_]); ++pos_) {
      if (text_[pos_] == '\n') ++line_;
      if (text_[pos_] == '\n' || text_[pos_] == '\r') lineStart_ = true;
    }
  }

  std::string_view word() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
    wordLine_ = line_;
    lineStart_ = false;
    return text_.substr(start, pos_ - start);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1, wordLine_ = 1;
  bool lineStart_ = true;
};

/// A list of names given by .ilb or .ob, with the line that gave them.
struct NameLine {
  std::vector<std::string> names;
  int line = 0;  ///< 0: no such line
};

/// A fault that ends reading: the message names the line.
struct ReadFault {
  std::string message;
};

[[noreturn]] void refuse(int line, const std::string& what) {
  throw ReadFault{"line " + std::to_string(line) + ": " + what};
}

/// Gathers the characters of one term across words.
class TermCursor {
 public:
  TermCursor(WordReader& words, std::string_view word) : words_(words), word_(word), firstLine_(words.line()) {}

  /// \brief Collects `count` term characters of `part`; refuses any other character and an early end.
  void collect(int count, const char* part, std::string& out) {
    out.clear();
    while (static_cast<int>(out.size()) < count) {
      if (at_ >= word_.size()) nextWord(part, count, out);
      const char c = mapTermChar(word_[at_]);
      if (!c) refuse(words_.line(), "character " + shown(word_[at_]) + " inside the " + part + " part of a term");
      out.push_back(c);
      ++at_;
    }
  }

  /// \brief Skips the one separator allowed between the parts: a printable character that is no term character.
  void skipSeparator(int inputs, int outputs) {
    // With no inputs the blank before the outputs already separated them; with no
    // outputs there is nothing to separate.
    if (inputs == 0 || outputs == 0) return;
    if (at_ >= word_.size()) {
      // The separator may also begin the next word (01-1 |10), but there only
      // a punctuation mark is one: a letter or digit is a stray character of
      // the output part (000 x1), which the output part then refuses.
      nextWord("output", outputs, std::string());
      if (!std::ispunct(static_cast<unsigned char>(word_[at_])) || mapTermChar(word_[at_])) return;
      ++at_;
      return;
    }
    const auto c = static_cast<unsigned char>(word_[at_]);
    if (!mapTermChar(word_[at_]) && c > 0x20 && c < 0x7f) ++at_;
  }

  /// \brief Ends the term: the rest of its last word may only be a '#' comment.
  void finish(int outputs) {
    if (at_ >= word_.size()) return;
    if (word_[at_] == '#') {
      words_.skipLine();
      return;
    }
    if (mapTermChar(word_[at_]) && words_.line() != firstLine_)
      // A part short of its characters took the start of a following line;
      // which part was short, only the writer of the file knows.
      refuse(firstLine_, "a term that goes on to line " + std::to_string(words_.line()) +
                             ", where more characters follow than the term has room for (a part of it is short)");
    if (mapTermChar(word_[at_]))
      refuse(words_.line(), "the output part of a term holds more than " + std::to_string(outputs) +
                                (outputs == 1 ? " character" : " characters"));
    refuse(words_.line(), "character " + shown(word_[at_]) + " after the output part of a term");
  }

  int firstLine() const { return firstLine_; }
  int lastLine() const { return words_.line(); }

 private:
  void nextWord(const char* part, int count, const std::string& got) {
    auto w = words_.next();
    if (!w)
      refuse(firstLine_, std::string("a term cut off by the end of the file (its ") + part + " part has " +
                             std::to_string(got.size()) + " of " + std::to_string(count) + " characters)");
    if ((*w)[0] == '.' || (*w)[0] == '#')
      refuse(words_.line(), "a term of line " + std::to_string(firstLine_) + " cut off by " + std::string(*w) + " (its " +
                                part + " part has " + std::to_string(got.size()) + " of " + std::to_string(count) +
                                " characters)");
    word_ = *w;
    at_ = 0;
  }

  WordReader& words_;
  std::string_view word_;
  std::size_t at_ = 0;
  int firstLine_;
};

class Reader {
 public:
  explicit Reader(std::string_view text) : words_(text) {}

  ReadResult run() {
    ReadResult r;
    try {
      while (readOne()) {
      }
    } catch (const ReadFault& fault) {
      r.error = fault.message;
      return r;
    }
    warnContinued();
    r.warnings = std::move(warnings_);
    if (f_ && f_->termCount > 0)
      r.function = std::move(f_);
    else
      r.reason = "holds no term";
    return r;
  }

 private:
  // Reads and acts on one word; false when reading ends.
  bool readOne() {
    auto w = words_.next();
    if (!w) return false;
    const std::string_view word = *w;
    if (word.size() >= 2 && word[0] == '.' && (word[1] == 'e' || word[1] == 'E')) return false;
    if (equalsNoCase(word, ".i")) return dimension(".i", inputs_, f_ ? f_->inputCount : -1, "inputs");
    if (equalsNoCase(word, ".o")) return dimension(".o", outputs_, f_ ? f_->outputCount : -1, "outputs");
    if (equalsNoCase(word, ".type")) return type();
    if (const char* what = unsupported(word))
      refuse(words_.line(), "the keyword " + std::string(word) + " (" + what + ") cannot be read");
    if (equalsNoCase(word, ".ilb")) return names(inputNames_);
    if (equalsNoCase(word, ".ob")) return names(outputNames_);
    if (word[0] == '.' || word[0] == '#') {
      words_.skipLine();  // unknown keywords (.p among them) and comments after other words
      return true;
    }
    if (beginsTerm(word)) return term(word);
    refuse(words_.line(), "the word " + shownWord(word) + " is neither a keyword, a term nor a '#' comment");
  }

  // fd is the starting type, so naming it changes nothing: a later ".type fd"
  // does not undo an earlier type.  The type is fixed by the first term.
  bool type() {
    const int line = words_.line();
    auto w = words_.nextOnLine();
    if (!w) refuse(line, ".type without a type (f, fd, fr, fdr or r)");
    static const std::pair<const char*, int> kTypes[] = {
        {"fr", kTypeFr}, {"fd", kTypeFd}, {"f", kTypeF}, {"fdr", kTypeFdr}, {"r", kTypeR}};
    for (const auto& [name, value] : kTypes)
      if (equalsNoCase(*w, name)) {
        // After the first term another type would give the terms before it
        // and after it different meanings: the file is refused, as for .i and .o.
        if (f_ && value != f_->type)
          refuse(line, "Type changed after the first term: " + std::string(name) + " instead of " + typeName(f_->type));
        if (!f_ && value != kTypeFd) type_ = value;
        return true;
      }
    refuse(line, "unknown type " + shownWord(*w) + " (f, fd, fr, fdr or r)");
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

  static bool isNumber(std::string_view w) {
    std::size_t i = w[0] == '+' || w[0] == '-' ? 1 : 0;
    if (i == w.size()) return false;
    for (; i < w.size(); ++i)
      if (w[i] < '0' || w[i] > '9') return false;
    return true;
  }

  // The dimensions are fixed by the first term; a later keyword may only repeat them.
  bool dimension(const char* keyword, int& value, int fixed, const char* what) {
    const int line = words_.line();
    auto w = words_.nextOnLine();
    if (!w || !isNumber(*w))
      refuse(line, std::string(keyword) + " needs the number of " + what + (w ? ", not " + shownWord(*w) : ""));
    const int n = parseInt(*w);
    if (n < 0 || n >= kMaxVariables)
      refuse(line, "Number of " + std::string(what) + " out of range: " + std::to_string(n) + " (0 to " +
                       std::to_string(kMaxVariables - 1) + " allowed)");
    if (fixed >= 0 && n != fixed)
      refuse(line, "Number of " + std::string(what) + " changed after the first term: " + std::to_string(n) +
                       " instead of " + std::to_string(fixed));
    value = n;
    (keyword[1] == 'i' ? sawInputs_ : sawOutputs_) = true;
    return true;
  }

  // Names come from the keyword's own line; those after the first term are read and ignored.
  bool names(NameLine& into) {
    NameLine read{{}, words_.line()};
    while (auto w = words_.nextOnLine()) {
      if ((*w)[0] == '#') {
        words_.skipLine();
        break;
      }
      read.names.emplace_back(*w);
    }
    if (!f_) into = std::move(read);
    return true;
  }

  /// Checks a name list against its count: more names are refused, fewer get default names and a warning.
  void applyNames(const NameLine& given, const char* keyword, const char* what, const char* prefix, int count,
                  std::vector<std::string>& labels) {
    const int n = static_cast<int>(given.names.size());
    if (given.line && n > count)
      refuse(given.line, std::string(keyword) + " names " + std::to_string(n) + " " + what + ", but the function has " +
                             std::to_string(count));
    if (given.line && n < count)
      warnings_.push_back("line " + std::to_string(given.line) + ": warning: " + keyword + " names " +
                          std::to_string(n) + " of " + std::to_string(count) + " " + what +
                          "; the others get default names");
    for (int i = 0; i < count; ++i) labels[i] = i < n ? given.names[i] : prefix + std::to_string(i);
  }

  void makeFunction(int line) {
    if (!sawInputs_ || !sawOutputs_) refuse(line, "a term before .i and .o gave the numbers of inputs and outputs");
    if (inputs_ == 0 && outputs_ == 0) refuse(line, "a term of a function with 0 inputs and 0 outputs");
    f_ = create(inputs_, outputs_, 0, type_);
    applyNames(inputNames_, ".ilb", "inputs", "x", inputs_, *f_->inputLabels);
    applyNames(outputNames_, ".ob", "outputs", "y", outputs_, *f_->outputLabels);
  }

  bool term(std::string_view word) {
    if (!f_) makeFunction(words_.line());
    TermCursor cursor(words_, word);
    cursor.collect(f_->inputCount, "input", input_);
    // A character after the input part that is no term character separates
    // the parts (01-1|10); a term character begins the outputs (01-110).
    cursor.skipSeparator(f_->inputCount, f_->outputCount);
    cursor.collect(f_->outputCount, "output", output_);
    cursor.finish(f_->outputCount);
    if (cursor.lastLine() != cursor.firstLine()) continued(cursor.firstLine(), cursor.lastLine());
    const Cube cube(input_);
    appendTerm(*f_, cube, output_, cube.countDashes());
    return true;
  }

  /// The format lets a term go on over lines (long terms were wrapped that
  /// way); it is read, with one warning for the file, since it can also be a fault.
  void continued(int first, int last) {
    if (continuedTerms_++ == 0) continuedAt_ = "line " + std::to_string(first) + ": warning: the term goes on to line " +
                                              std::to_string(last);
  }

  void warnContinued() {
    if (continuedTerms_ == 0) return;
    warnings_.push_back(continuedAt_ + (continuedTerms_ == 1 ? std::string()
                                         : ", and so do " + std::to_string(continuedTerms_ - 1) + " more terms"));
  }

  WordReader words_;
  int inputs_ = 0, outputs_ = 0, type_ = kTypeFd;
  bool sawInputs_ = false, sawOutputs_ = false;
  NameLine inputNames_, outputNames_;
  FunctionPtr f_;
  std::string input_, output_;
  std::vector<std::string> warnings_;
  int continuedTerms_ = 0;
  std::string continuedAt_;
};

}  // namespace

ReadResult readText(const std::string& text, const ProgressHooks& progress) {
  ReadResult r;
  if (auto why = notText(text)) {
    r.error = *why;
    return r;
  }
  // A byte-order mark is no part of the first word.
  std::string_view body(text);
  if (body.substr(0, 3) == "\xef\xbb\xbf") body.remove_prefix(3);
  progress.begin("Loading PLA file", 0, 1);
  r = Reader(body).run();
  progress.end();
  return r;
}

}  // namespace vorn
