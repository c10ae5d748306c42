// Just enough JSON for the tool's --json output: objects and arrays built as text, in order.
#pragma once

#include <string>
#include <vector>

namespace korvex::cli {

// A JSON string literal, quotes included, always valid UTF-8: each byte of text that is not part
// of a well-formed UTF-8 sequence becomes U+FFFD.
std::string JsonString(const std::string& text);

// A JSON number; a value that is not finite becomes null, which JSON has instead.
std::string JsonNumber(double value);

class JsonObject {
public:
    JsonObject& Text(const std::string& key, const std::string& value) { return Raw(key, JsonString(value)); }
    JsonObject& Number(const std::string& key, double value) { return Raw(key, JsonNumber(value)); }
    JsonObject& Raw(const std::string& key, const std::string& json);  // json: a value already in JSON
    std::string Json() const { return "{" + members_ + "}"; }

private:
    std::string members_;
};

// A JSON array of values already in JSON.
std::string JsonArray(const std::vector<std::string>& values);

}  // namespace korvex::cli
