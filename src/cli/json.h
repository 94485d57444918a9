#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A small JSON writer: enough for flat objects and arrays of them.
class Json {
 public:
  static std::string Quote(std::string_view text);

  Json& BeginObject();
  Json& BeginObject(std::string_view key);  // an object as a field of the current one
  Json& EndObject();
  Json& BeginArray(std::string_view key = {});
  Json& EndArray();
  Json& Field(std::string_view key, std::string_view value);
  Json& Field(std::string_view key, const char* value) { return Field(key, std::string_view(value)); }
  Json& Field(std::string_view key, int64_t value);
  Json& Field(std::string_view key, int value) { return Field(key, int64_t{value}); }
  Json& Field(std::string_view key, uint32_t value) { return Field(key, int64_t{value}); }
  Json& Field(std::string_view key, bool value);
  Json& Field(std::string_view key, const std::vector<std::string>& values);
  const std::string& str() const { return out_; }

 private:
  void Separator();
  void Key(std::string_view key);
  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written yet
};

}  // namespace cli
