#include "cli/json.h"

#include <cstdio>

namespace cli {

std::string Json::Quote(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

void Json::Separator() {
  if (first_.empty()) return;
  if (!first_.back()) out_ += ',';
  first_.back() = false;
}

void Json::Key(std::string_view key) {
  Separator();
  if (!key.empty()) out_ += Quote(key) + ':';
}

Json& Json::BeginObject() {
  Separator();
  out_ += '{';
  first_.push_back(true);
  return *this;
}

Json& Json::BeginObject(std::string_view key) {
  Key(key);
  out_ += '{';
  first_.push_back(true);
  return *this;
}

Json& Json::EndObject() {
  out_ += '}';
  first_.pop_back();
  return *this;
}

Json& Json::BeginArray(std::string_view key) {
  Key(key);
  out_ += '[';
  first_.push_back(true);
  return *this;
}

Json& Json::EndArray() {
  out_ += ']';
  first_.pop_back();
  return *this;
}

Json& Json::Field(std::string_view key, std::string_view value) {
  Key(key);
  out_ += Quote(value);
  return *this;
}

Json& Json::Field(std::string_view key, int64_t value) {
  Key(key);
  out_ += std::to_string(value);
  return *this;
}

Json& Json::Field(std::string_view key, bool value) {
  Key(key);
  out_ += value ? "true" : "false";
  return *this;
}

Json& Json::Field(std::string_view key, const std::vector<std::string>& values) {
  BeginArray(key);
  for (const auto& v : values) {
    Separator();
    out_ += Quote(v);
  }
  return EndArray();
}

}  // namespace cli
