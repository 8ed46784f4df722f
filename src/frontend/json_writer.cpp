// JSON text for scripts that read the run statistics.  Strings are escaped
// by the rules of the format (quote, backslash and control characters; other
// bytes, UTF-8 included, pass as they are), so any path a user names comes
// out as valid JSON.  Reals use the C locale's '.', never a comma.
#include "frontend/json_writer.h"

#include <cmath>
#include <cstdio>

namespace vorn {

std::string JsonWriter::quote(const std::string& text) {
  std::string q = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': q += "\\\""; break;
      case '\\': q += "\\\\"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      case '\t': q += "\\t"; break;
      case '\b': q += "\\b"; break;
      case '\f': q += "\\f"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          q += code;
        } else {
          q += c;
        }
    }
  }
  return q + "\"";
}

void JsonWriter::prefix(const std::string& key) {
  if (!empty_.empty()) {
    if (!empty_.back()) out_ += ',';
    empty_.back() = false;
    out_ += '\n';
    out_.append(2 * empty_.size(), ' ');
  }
  if (!key.empty()) out_ += quote(key) + ": ";
}

void JsonWriter::open(const std::string& key, char bracket) {
  prefix(key);
  out_ += bracket;
  empty_.push_back(true);
}

void JsonWriter::close(char bracket) {
  if (empty_.empty()) return;
  const bool wasEmpty = empty_.back();
  empty_.pop_back();
  if (!wasEmpty) {
    out_ += '\n';
    out_.append(2 * empty_.size(), ' ');
  }
  out_ += bracket;
}

JsonWriter& JsonWriter::beginObject(const std::string& key) {
  open(key, '{');
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  close('}');
  return *this;
}

JsonWriter& JsonWriter::beginArray(const std::string& key) {
  open(key, '[');
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  close(']');
  return *this;
}

JsonWriter& JsonWriter::value(const std::string& key, const std::string& text) {
  prefix(key);
  out_ += quote(text);
  return *this;
}

JsonWriter& JsonWriter::value(const std::string& key, const char* text) { return value(key, std::string(text)); }

JsonWriter& JsonWriter::value(const std::string& key, long long number) {
  prefix(key);
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::real(const std::string& key, double number, int digits) {
  prefix(key);
  if (!std::isfinite(number)) {
    out_ += "null";
    return *this;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, number);
  std::string s = text;
  // Trailing zeros say nothing; keep one digit after the point.
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s += '0';
  }
  out_ += s;
  return *this;
}

JsonWriter& JsonWriter::boolean(const std::string& key, bool yes) {
  prefix(key);
  out_ += yes ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::null(const std::string& key) {
  prefix(key);
  out_ += "null";
  return *this;
}

std::string JsonWriter::text() const { return empty_.empty() ? out_ + "\n" : out_; }

}  // namespace vorn
