// A small writer of JSON text for the run statistics: objects, arrays,
// strings, numbers, booleans and null, indented two spaces per level.  The
// caller opens and closes the containers in order; keys are given inside
// objects only.
#pragma once

#include <string>
#include <vector>

namespace vorn {

class JsonWriter {
 public:
  /// \brief Opens an object (as the value of `key` inside an object).
  JsonWriter& beginObject(const std::string& key = "");
  /// \brief Closes the innermost object.
  JsonWriter& endObject();
  /// \brief Opens an array (as the value of `key` inside an object).
  JsonWriter& beginArray(const std::string& key = "");
  /// \brief Closes the innermost array.
  JsonWriter& endArray();
  /// \brief A string value.
  JsonWriter& value(const std::string& key, const std::string& text);
  /// \brief A string value (keeps a literal from turning into a boolean).
  JsonWriter& value(const std::string& key, const char* text);
  /// \brief An integer value.
  JsonWriter& value(const std::string& key, long long number);
  /// \brief A real value; written with up to `digits` decimals, null when not finite.
  JsonWriter& real(const std::string& key, double number, int digits = 6);
  /// \brief A boolean value.
  JsonWriter& boolean(const std::string& key, bool yes);
  /// \brief A null value.
  JsonWriter& null(const std::string& key);
  /// \brief The text written so far, ending in a line end once every container is closed.
  std::string text() const;

  /// \brief `text` as a JSON string literal, quotes included.
  static std::string quote(const std::string& text);

 private:
  void open(const std::string& key, char bracket);
  void close(char bracket);
  void prefix(const std::string& key);

  std::string out_;
  std::vector<bool> empty_;  ///< per open container: nothing written into it yet
};

}  // namespace vorn
