#include "support/json_value.h"

#include <cstdlib>

namespace vorn::test {

namespace {

class Parser {
 public:
  explicit Parser(const std::string& s) : s_(s) {}

  bool document(JsonValue& v, std::string& error) {
    const bool ok = value(v) && (blank(), at_ == s_.size());
    if (!ok) error = "invalid JSON at offset " + std::to_string(at_);
    return ok;
  }

 private:
  void blank() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t')) ++at_;
  }
  bool eat(char c) {
    blank();
    if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
    return false;
  }
  bool word(const char* w) {
    const std::string t(w);
    if (s_.compare(at_, t.size(), t) != 0) return false;
    at_ += t.size();
    return true;
  }

  bool value(JsonValue& v) {
    blank();
    if (at_ >= s_.size()) return false;
    const char c = s_[at_];
    if (c == '{') return object(v);
    if (c == '[') return array(v);
    if (c == '"') return v.kind = JsonValue::Kind::String, string(v.text);
    if (word("null")) return v.kind = JsonValue::Kind::Null, true;
    if (word("true")) return v.kind = JsonValue::Kind::Boolean, v.boolean = true, true;
    if (word("false")) return v.kind = JsonValue::Kind::Boolean, v.boolean = false, true;
    return number(v);
  }

  bool digits() {
    const std::size_t start = at_;
    while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    return at_ > start;
  }

  bool number(JsonValue& v) {
    const std::size_t start = at_;
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    if (at_ < s_.size() && s_[at_] == '0')
      ++at_;
    else if (!digits())
      return false;
    if (at_ < s_.size() && s_[at_] == '.' && (++at_, !digits())) return false;
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    v.kind = JsonValue::Kind::Number;
    v.text = s_.substr(start, at_ - start);
    v.number = std::strtod(v.text.c_str(), nullptr);
    return true;
  }

  bool string(std::string& out) {
    if (s_[at_++] != '"') return false;
    out.clear();
    while (at_ < s_.size()) {
      const char c = s_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= s_.size()) return false;
      const char e = s_[at_++];
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (at_ + 4 > s_.size()) return false;
          const unsigned long code = std::strtoul(s_.substr(at_, 4).c_str(), nullptr, 16);
          at_ += 4;
          if (code >= 0x80) return false;  // enough for what the program writes
          out += static_cast<char>(code);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  bool array(JsonValue& v) {
    v.kind = JsonValue::Kind::Array;
    ++at_;
    if (eat(']')) return true;
    do {
      v.items.emplace_back();
      if (!value(v.items.back())) return false;
    } while (eat(','));
    return eat(']');
  }

  bool object(JsonValue& v) {
    v.kind = JsonValue::Kind::Object;
    ++at_;
    if (eat('}')) return true;
    do {
      blank();
      std::string key;
      if (at_ >= s_.size() || s_[at_] != '"' || !string(key) || !eat(':')) return false;
      if (v.members.count(key)) return false;  // a key given twice is a fault of the writer
      if (!value(v.members[key])) return false;
    } while (eat(','));
    return eat('}');
  }

  const std::string& s_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
  static const JsonValue none;
  const auto it = members.find(key);
  return it == members.end() ? none : it->second;
}

bool parseJson(const std::string& text, JsonValue& out, std::string& error) {
  out = JsonValue{};
  return Parser(text).document(out, error);
}

}  // namespace vorn::test
