#pragma once
// Every text the adapter link puts into the status bar, and the clock arithmetic behind the
// frequency panel. The main window, the clock dialog and the tests share these definitions.

#include <cstdint>
#include <string>
#include <string_view>

namespace parvex::adapter {

// Status panel markup for a status code; codes without a text of their own give
// "Unspecified error".
[[nodiscard]] const std::string& statusText(std::uint8_t code);

// Status panel while no adapter is present.
inline constexpr std::string_view kStatusNoAdapter =
    R"(<P align="center"><FONT color="clSilver"></FONT>)";

// Hardware panel.
inline constexpr std::string_view kHardwareDetected =
    R"(<P align="center"><FONT color="clWhite">Parvex Hardware Detected</FONT>)";
inline constexpr std::string_view kHardwareNotDetected =
    R"(<P align="center"><FONT color="clWhite">Parvex Hardware Not Detected</FONT>)";
// The main window's text before the first device notice.
inline constexpr std::string_view kHardwareStartup =
    R"(<P align="center"><FONT color="clGray">Parvex Hardware Not Detected</FONT>)";

// Frequency panel.
inline constexpr std::string_view kFrequencyStartup =
    R"(<P align="center"><FONT color="clGray">1000 kHz</FONT>)";
inline constexpr std::string_view kFrequencyArrival =
    R"(<P align="center"><FONT color="clWhite">100 kHz</FONT>)";
inline constexpr std::string_view kFrequencyRemoved =
    R"(<P align="center"><FONT color="clSilver">100 kHz</FONT>)";

// Bus-line state of the port status answer: bit 0 SCL, bit 1 SDA, 1 = high.
inline constexpr std::uint8_t kLinesBothLow = 0;
inline constexpr std::uint8_t kLinesSdaLow = 1;  // SCL high, SDA low
inline constexpr std::uint8_t kLinesSclLow = 2;  // SDA high, SCL low
inline constexpr std::uint8_t kLinesIdle = 3;
// Reported by GetI2CPortStatus when the adapter gave no answer; asks for no message.
inline constexpr std::uint8_t kLinesUnknown = 0xFF;

// The message shown for a bus-line state at arrival; empty when the state needs none.
[[nodiscard]] std::string_view busLineMessage(std::uint8_t lineState);

// Clock arithmetic. Clocks are in Hz unless the name says kHz.
inline constexpr std::int32_t kBaseClockHz = 48000000;
inline constexpr std::uint32_t kMinClockKHz = 1;
// The highest request whose divider is not 0.
inline constexpr std::uint32_t kMaxClockKHz = 48000;

// A request brought into 1..48000 kHz, the range the divider is defined for.
[[nodiscard]] std::uint32_t validClockRequestKHz(std::uint32_t requestKHz);
// Divider of the adapter's clock generator for a request (brought into range first).
[[nodiscard]] std::int32_t clockDivider(std::uint32_t requestKHz);
// The clock a divider gives.
[[nodiscard]] std::int32_t clockFromDivider(std::int32_t divider);
// The clock the two counts of a port status answer stand for.
[[nodiscard]] std::int32_t clockFromCounts(std::uint16_t firstCount, std::uint16_t secondCount);

// Frequency panel after a port status answer (white) and after a clock change (no colour).
[[nodiscard]] std::string frequencyPanelFromPortStatus(std::int32_t actualClockHz);
[[nodiscard]] std::string frequencyPanelAfterClockChange(std::int32_t actualClockHz);

}  // namespace parvex::adapter
