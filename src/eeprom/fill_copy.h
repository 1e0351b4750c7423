#pragma once
// Fill Buffer and Copy Block: change the image's cells only, never the device. The window
// turns each outcome into a box; nothing here shows anything.

#include <optional>
#include <string>
#include <string_view>

#include "eeprom/image.h"

namespace parvex::eeprom {

struct ToolOutcome {
    enum class Kind {
        Done,     // cells changed
        Warning,  // a range check refused: warning box with OK, image unchanged
        Error,    // a field could not be converted: error box with OK, image unchanged
    };
    Kind kind = Kind::Done;
    std::string message;  // box text for Warning and Error ("\r" breaks the line)
    // Fill only: after the "To" warning the "Fill to" field takes this text (the last
    // address as three digits).
    std::optional<std::string> correctedTo;
};

// Fill Buffer: every address from..to gets the preset text as typed in its hex cell and
// the preset's value by the display rule in its ASCII cell. sizeLabel is the size label's
// text, used in the warning.
[[nodiscard]] ToolOutcome fillBuffer(Image& image, std::string_view sizeLabel,
                                     std::string_view fromText, std::string_view toText,
                                     std::string_view presetText);

// Copy Block: start..end copied to target on. The whole source is read before the first
// cell is written, so overlapping ranges copy correctly in both directions. A source or
// target range reaching past the last address is refused.
[[nodiscard]] ToolOutcome copyBlock(Image& image, std::string_view startText,
                                    std::string_view endText, std::string_view targetText);

// Leaving the "Fill with" field: trim, "" -> "FF", "c" -> "0c", else unchanged.
[[nodiscard]] std::string presetExit(std::string_view text);

struct FieldExit {
    std::string text;                  // the field's new text (unchanged on error)
    std::optional<std::string> error;  // conversion message for an empty or non-hex text
};
// Leaving a copy address field: its value in upper-case hex with at least two digits
// ("7" -> "07", "080" -> "80", "1FF" stays).
[[nodiscard]] FieldExit copyFieldExit(std::string_view text);

// Message texts.
[[nodiscard]] std::string fillToWarning(std::string_view sizeLabel, int lastAddress);
inline constexpr std::string_view kFillFromWarning =
    "The \"From Address\"\rmust be less than\r\"To Address\"";
inline constexpr std::string_view kCopyOrderWarning =
    "Copy From \"Starting Address\" must be less than Copy From \"Ending Address\"";
[[nodiscard]] std::string copyBeyondEndWarning(int lastAddress);

}  // namespace parvex::eeprom
