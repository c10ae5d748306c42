#include "json_text.h"

#include <cmath>
#include <cstdio>

namespace korvex::cli {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD, in place of bytes that are not UTF-8

// The length of the well-formed UTF-8 sequence at text[at] (1..4), 0 when there is none: no
// stray continuation byte, overlong form, surrogate or code point above U+10FFFF.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        const std::size_t length = Utf8Length(text, at);
        if (length == 0) {
            json += kReplacement;
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else {
            json.append(text, at, length);
        }
        at += length;
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
