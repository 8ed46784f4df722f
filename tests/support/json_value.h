// A strict little JSON reader for tests that check what the program writes:
// it accepts exactly the JSON grammar and fails on anything else.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

struct JsonValue {
  enum class Kind { Null, Boolean, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  ///< a string, or a number's own characters
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  /// \brief The member `key` of an object; a null value when there is none.
  const JsonValue& operator[](const std::string& key) const;
  /// \brief The number as an integer.
  long long integer() const { return static_cast<long long>(number); }
};

/// \brief Parses `text`; false with `error` set when it is not one JSON value (white space around it allowed).
bool parseJson(const std::string& text, JsonValue& out, std::string& error);

}  // namespace vorn::test
