// What a camera tells about itself through the adapter's identification getters.
#pragma once

#include <cstdint>
#include <string>

namespace korvex::cli {

struct CameraIdentity {
    std::string model;            // empty for a type without a name
    std::string serial;           // at most 30 characters: the interface cuts longer ones
    std::string hardwareVersion;  // decimal text
};

CameraIdentity ReadIdentity(int16_t device);

enum class SensorKind { kColour, kMonochrome, kUnknown };

// The maker's model names end in C for Bayer colour sensors and in M for monochrome ones.
SensorKind KindOfModel(const std::string& model);
const char* KindName(SensorKind kind);

}  // namespace korvex::cli
