#include "json_text.h"

#include <cmath>
#include <cstdio>

namespace korvex::cli {

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

JsonObject& JsonObject::Raw(const std::string& key, const std::string& json) {
    if (!members_.empty()) members_ += ", ";
    members_ += JsonString(key) + ": " + json;
    return *this;
}

std::string JsonArray(const std::vector<std::string>& values) {
    std::string json = "[";
    for (std::size_t k = 0; k < values.size(); ++k) json += (k == 0 ? "" : ", ") + values[k];
    return json + "]";
}

}  // namespace korvex::cli
