#include "adapter/status_texts.h"

#include <algorithm>
#include <array>

namespace parvex::adapter {
namespace {

struct Row {
    std::uint8_t code;
    const char* text;
};

constexpr Row kStatusRows[] = {
    {0, "Transmission successful"},
    {1, "Unknown error condition"},
    {2, "Slave address nAcked"},
    {3, "I2C bus error"},
    {4, "Slave address nAcked"},
    {5, "Arbitration Lost"},
    {6, "Firmware revision read success"},
    {7, ""},
    {8, "Check I2C bus signals"},
    {10, "I2C bus Time-out"},
    {16, "I2C Time-out. SDA and SCL low."},
    {17, "I2C Time-out. SDA low."},
    {18, "I2C Time-out. SCL low."},
    {19, "I2C Time-out. SDA and SCL high."},
    {24, "Invalid HID_I2C Request or Request not supported"},
    {64, "Partial transfer completed"},
    {65, "Verification successful"},
    {80, "Data send unsuccessful"},
    {117, "System Registry Error"},
    {170, "No Hardware Connected"},
    {255, "Hardware Not Detected"},
};

constexpr const char* kUnspecified = "Unspecified error";

std::string centred(const std::string& text) {
    return R"(<P align="center">)" + text + "</FONT>";
}

std::array<std::string, 256> buildTable() {
    std::array<std::string, 256> table;
    table.fill(centred(kUnspecified));
    for (const Row& row : kStatusRows) table[row.code] = centred(row.text);
    return table;
}

}  // namespace

const std::string& statusText(std::uint8_t code) {
    static const std::array<std::string, 256> table = buildTable();
    return table[code];
}

std::string_view busLineMessage(std::uint8_t lineState) {
    switch (lineState) {
        case kLinesBothLow:
            return "SCL and SDA low. Ensure pull-ups are connected to SDA and SCL.";
        case kLinesSdaLow:
            return "SDA low. Ensure pull-ups are connected to SDA and SCL.";
        case kLinesSclLow:
            return "SCL low. Ensure pull-ups are connected to SDA and SCL.";
        default:
            return {};
    }
}

std::uint32_t validClockRequestKHz(std::uint32_t requestKHz) {
    return std::clamp(requestKHz, kMinClockKHz, kMaxClockKHz);
}

std::int32_t clockDivider(std::uint32_t requestKHz) {
    const auto requestHz = static_cast<std::int32_t>(validClockRequestKHz(requestKHz) * 1000);
    return kBaseClockHz / requestHz;
}

std::int32_t clockFromDivider(std::int32_t divider) {
    // A divider below 1 never comes out of clockDivider; keep the division defined anyway.
    return kBaseClockHz / std::max(divider, std::int32_t{1});
}

std::int32_t clockFromCounts(std::uint16_t firstCount, std::uint16_t secondCount) {
    return kBaseClockHz / ((std::int32_t{firstCount} + 2) + (std::int32_t{secondCount} + 2));
}

std::string frequencyPanelFromPortStatus(std::int32_t actualClockHz) {
    return R"(<P align="center"><FONT color="clWhite">)" + std::to_string(actualClockHz / 1000) +
           " kHz</FONT>";
}

std::string frequencyPanelAfterClockChange(std::int32_t actualClockHz) {
    return R"(<P align="center">)" + std::to_string(actualClockHz / 1000) + " kHz</FONT>";
}

}  // namespace parvex::adapter
