// Model-name table and per-model parameters of the simulated cameras.
#include "models.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace hvsim {
namespace {

enum class Sensor { Hv13, Hv20, Hv30, Sv13, Sv400, Sv14, Sv20 };

struct SensorModes {
    Sensor sensor;
    std::vector<ResolutionEntry> modes;  // full sensor first, then binned modes
};

const std::array<SensorModes, 7>& SensorTable() {
    static const std::array<SensorModes, 7> table{{
        {Sensor::Hv13, {{1280, 1024}, {640, 512}, {320, 256}}},
        {Sensor::Hv20, {{1600, 1200}, {800, 600}, {400, 300}}},
        {Sensor::Hv30, {{2048, 1536}, {1024, 768}, {512, 384}}},
        {Sensor::Sv13, {{1280, 1024}, {640, 512}}},
        {Sensor::Sv400, {{782, 582}, {390, 290}}},
        {Sensor::Sv14, {{1392, 1040}, {696, 520}}},
        {Sensor::Sv20, {{1628, 1236}, {814, 618}}},
    }};
    return table;
}

struct ModelRow {
    const char* name;  // null: the code has no model name
    Family family;
    Sensor sensor;
    bool colour;
    int32_t layout;  // Bayer layout of colour models; varied so that all four occur
};

constexpr Family R13 = Family::Rows13, R20 = Family::Rows20, R30 = Family::Rows30, SV = Family::SvDirect;
constexpr bool C = true, M = false;

// Index = type code, 0..59.
const std::array<ModelRow, 60> kModels{{
    {"HV1300UC", R13, Sensor::Hv13, C, 1}, {"HV2000UC", R20, Sensor::Hv20, C, 2}, {"HV1301UC", R13, Sensor::Hv13, C, 3},
    {"HV2001UC", R20, Sensor::Hv20, C, 4}, {"HV3000UC", R30, Sensor::Hv30, C, 1}, {"HV1300UM", R13, Sensor::Hv13, M, 0},
    {"HV1302UC", R13, Sensor::Hv13, C, 2}, {"HV2002UC", R20, Sensor::Hv20, C, 3}, {"HV3102UC", R30, Sensor::Hv30, C, 4},
    {"HV1302UM", R13, Sensor::Hv13, M, 0}, {"HV1300FC", R13, Sensor::Hv13, C, 1}, {"HV2000FC", R20, Sensor::Hv20, C, 2},
    {"HV3100FC", R30, Sensor::Hv30, C, 3}, {"HV1300FM", R13, Sensor::Hv13, M, 0}, {"HV1303UC", R13, Sensor::Hv13, C, 4},
    {"HV2003UC", R20, Sensor::Hv20, C, 1}, {"HV3103UC", R30, Sensor::Hv30, C, 2}, {"HV1303UM", R13, Sensor::Hv13, M, 0},
    {"SV1300FM", SV, Sensor::Sv13, M, 0},  {"SV1300FC", SV, Sensor::Sv13, C, 3},  {"SV1310FC", SV, Sensor::Sv13, C, 4},
    {"SV1310FM", SV, Sensor::Sv13, M, 0},  {"SV1311FC", SV, Sensor::Sv13, C, 1},  {"SV1311FM", SV, Sensor::Sv13, M, 0},
    {"SV400FC", SV, Sensor::Sv400, C, 2},  {"SV400FM", SV, Sensor::Sv400, M, 0},  {nullptr, SV, Sensor::Sv13, C, 3},
    {"SV1410FC", SV, Sensor::Sv14, C, 4},  {"SV1410FM", SV, Sensor::Sv14, M, 0},  {"SV1420FC", SV, Sensor::Sv14, C, 1},
    {"SV1420FM", SV, Sensor::Sv14, M, 0},  {"SV2000FC", SV, Sensor::Sv20, C, 2},  {"SV2000FM", SV, Sensor::Sv20, M, 0},
    {nullptr, SV, Sensor::Sv13, C, 3},     {nullptr, SV, Sensor::Sv13, M, 0},     {"HV1350UC", R13, Sensor::Hv13, C, 1},
    {"HV2050UC", R20, Sensor::Hv20, C, 2}, {nullptr, R30, Sensor::Hv30, C, 3},    {"HV1350UM", R13, Sensor::Hv13, M, 0},
    {"HV1360UC", R13, Sensor::Hv13, C, 4}, {"HV2060UC", R20, Sensor::Hv20, C, 1}, {"HV3160UC", R30, Sensor::Hv30, C, 2},
    {"HV1360UM", R13, Sensor::Hv13, M, 0}, {nullptr, R13, Sensor::Hv13, C, 4},    {nullptr, R13, Sensor::Hv13, C, 1},
    {nullptr, R13, Sensor::Hv13, C, 2},    {nullptr, R13, Sensor::Hv13, C, 3},    {nullptr, R13, Sensor::Hv13, C, 4},
    {nullptr, R13, Sensor::Hv13, C, 1},    {nullptr, R13, Sensor::Hv13, C, 2},    {nullptr, R13, Sensor::Hv13, C, 3},
    {nullptr, R13, Sensor::Hv13, C, 4},    {nullptr, R13, Sensor::Hv13, C, 1},    {nullptr, R13, Sensor::Hv13, C, 2},
    {nullptr, R13, Sensor::Hv13, C, 3},    {nullptr, R13, Sensor::Hv13, C, 4},    {"HV1351UC", R13, Sensor::Hv13, C, 3},
    {"HV2051UC", R20, Sensor::Hv20, C, 4}, {"HV3151UC", R30, Sensor::Hv30, C, 1}, {"HV1351UM", R13, Sensor::Hv13, M, 0},
}};

// Codes outside the table behave as an HV13xx colour camera.
constexpr ModelRow kUnlistedModel{nullptr, R13, Sensor::Hv13, C, 1};

struct FamilyParams {
    Family family;
    int32_t hwVersion;
    uint32_t maxRows;
};
constexpr std::array<FamilyParams, 4> kFamilies{{
    {Family::Rows13, 210, 16383},
    {Family::Rows20, 220, 16383},
    {Family::Rows30, 231, 1048575},
    {Family::SvDirect, 310, 0},
}};

const FamilyParams& ParamsOf(Family family) {
    for (const auto& f : kFamilies) {
        if (f.family == family) return f;
    }
    return kFamilies[0];
}

const ModelRow& RowFor(int32_t typeCode) {
    if (typeCode < 0 || typeCode >= static_cast<int32_t>(kModels.size())) return kUnlistedModel;
    return kModels[static_cast<size_t>(typeCode)];
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

ModelInfo ModelForCode(int32_t typeCode) {
    const ModelRow& row = RowFor(typeCode);
    ModelInfo info;
    info.typeCode = typeCode;
    info.name = row.name;
    info.family = row.family;
    info.colour = row.colour;
    info.bayerLayout = row.colour ? row.layout : 0;
    for (const auto& s : SensorTable()) {
        if (s.sensor == row.sensor) info.resolutions = s.modes;
    }
    info.hwVersion = ParamsOf(row.family).hwVersion;
    return info;
}

const char* ModelName(int32_t typeCode) { return RowFor(typeCode).name; }

std::optional<int32_t> ParseCameraToken(std::string_view token) {
    while (!token.empty() && std::isspace(static_cast<unsigned char>(token.front()))) token.remove_prefix(1);
    while (!token.empty() && std::isspace(static_cast<unsigned char>(token.back()))) token.remove_suffix(1);
    if (token.empty()) return std::nullopt;
    for (size_t code = 0; code < kModels.size(); ++code) {
        if (kModels[code].name != nullptr && EqualsIgnoringCase(token, kModels[code].name)) {
            return static_cast<int32_t>(code);
        }
    }
    int32_t code = 0;
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, code);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return code;
}

std::string ModelNameList() {
    std::string list;
    for (const ModelRow& row : kModels) {
        if (row.name == nullptr) continue;
        if (!list.empty()) list += ", ";
        list += row.name;
    }
    return list;
}

std::string DefaultSerial(const ModelInfo& model, int32_t device) {
    char text[96];
    std::string name = model.name != nullptr ? model.name : "T" + std::to_string(model.typeCode);
    if (model.family == Family::SvDirect) {
        std::snprintf(text, sizeof text, "KVX%s-%06d-REVB-LOT2024-%02d", name.c_str(), device * 1000 + model.typeCode,
                      device);
    } else {
        std::snprintf(text, sizeof text, "KVX%s-%04d", name.c_str(), device * 100 + model.typeCode);
    }
    return text;
}

int64_t RowLengthClocks(Family family, int32_t width, int32_t resolutionMode) {
    switch (family) {
        case Family::Rows13: return int64_t{width} + 244;
        case Family::Rows20: return std::max<int64_t>(int64_t{width} + 358, 617);
        case Family::Rows30:
            if (resolutionMode == 1) return std::max<int64_t>(int64_t{width} + 837, 1305);
            return std::max<int64_t>(int64_t{width} + 511, 647);
        case Family::SvDirect: return int64_t{width} + 300;
    }
    return int64_t{width} + 244;
}

uint32_t MaxExposureRows(Family family) { return ParamsOf(family).maxRows; }

uint32_t DefaultExposureRows(const ModelInfo& model) {
    if (model.family == Family::SvDirect) return 0;
    const int32_t width = model.resolutions.empty() ? 1280 : model.resolutions.front().width;
    const double clocks = SettingDefaults::kNominalExposureUs * static_cast<double>(kPixelClockHz) / 1e6;
    const double rows = clocks / static_cast<double>(RowLengthClocks(model.family, width, 0));
    return std::max<uint32_t>(1, static_cast<uint32_t>(rows + 0.5));
}

}  // namespace hvsim
