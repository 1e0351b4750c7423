#include "eeprom/fill_copy.h"

#include <cstdint>
#include <vector>

#include "eeprom/geometry.h"
#include "eeprom/hex_text.h"

namespace parvex::eeprom {

namespace {
ToolOutcome warning(std::string message) {
    ToolOutcome out;
    out.kind = ToolOutcome::Kind::Warning;
    out.message = std::move(message);
    return out;
}

ToolOutcome conversionError(std::string_view text) {
    ToolOutcome out;
    out.kind = ToolOutcome::Kind::Error;
    out.message = hexConversionMessage(text);
    return out;
}

// A field's value; the fields are typed as bare hex digits, so no trimming here.
std::optional<std::uint32_t> fieldValue(std::string_view text) {
    return parseHex(text);
}
}  // namespace

std::string fillToWarning(std::string_view sizeLabel, int lastAddress) {
    std::string out = "The \"To hex address\" must be less than\r";
    out += sizeLabel;
    out += "  (0x";
    out += hexText(static_cast<std::uint32_t>(lastAddress), 3);
    out += ")";
    return out;
}

std::string copyBeyondEndWarning(int lastAddress) {
    return "Copied block extends beyond the maximum EEPROM address.\rEnding address must be "
           "less than 0x" +
           hexText(static_cast<std::uint32_t>(lastAddress), 3);
}

ToolOutcome fillBuffer(Image& image, std::string_view sizeLabel, std::string_view fromText,
                       std::string_view toText, std::string_view presetText) {
    const auto from = fieldValue(fromText);
    if (!from) return conversionError(fromText);
    const auto to = fieldValue(toText);
    if (!to) return conversionError(toText);

    const int last = image.size() - 1;
    if (*to > static_cast<std::uint32_t>(last)) {
        ToolOutcome out = warning(fillToWarning(sizeLabel, last));
        out.correctedTo = hexText(static_cast<std::uint32_t>(last), 3);
        return out;
    }
    if (*to < *from) return warning(std::string(kFillFromWarning));

    // The value is needed for the ASCII cells; checking it before the first cell is
    // written keeps the image untouched when the field cannot be read.
    const auto preset = fieldValue(presetText);
    if (!preset) return conversionError(presetText);
    const char32_t c = displayChar(static_cast<std::uint8_t>(*preset & 0xFF));

    const auto count = static_cast<std::size_t>(*to - *from) + 1;
    image.setCells(static_cast<int>(*from),
                   std::vector<std::string>(count, std::string(presetText)),
                   std::u32string(count, c));
    return {};
}

ToolOutcome copyBlock(Image& image, std::string_view startText, std::string_view endText,
                      std::string_view targetText) {
    const auto start = fieldValue(startText);
    if (!start) return conversionError(startText);
    const auto end = fieldValue(endText);
    if (!end) return conversionError(endText);
    const auto target = fieldValue(targetText);
    if (!target) return conversionError(targetText);

    if (*start > *end) return warning(std::string(kCopyOrderWarning));
    const std::uint64_t last = static_cast<std::uint64_t>(image.size() - 1);
    const std::uint64_t targetEnd = std::uint64_t{*end} - *start + *target;
    // A source running past the end would read cells that do not exist: refused like a
    // target that does.
    if (targetEnd > last || *end > last) {
        return warning(copyBeyondEndWarning(static_cast<int>(last)));
    }

    // Read the whole source before writing anything, so overlapping ranges copy the
    // source as it was in either direction.
    const int count = static_cast<int>(*end - *start) + 1;
    std::vector<std::string> texts;
    std::u32string chars;
    texts.reserve(static_cast<std::size_t>(count));
    chars.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        std::string text = image.hexText(static_cast<int>(*start) + k).substr(0, 2);
        const auto value = parseHex(trimmed(text));
        if (!value) return conversionError(text);
        chars.push_back(displayChar(static_cast<std::uint8_t>(*value & 0xFF)));
        texts.push_back(std::move(text));
    }
    image.setCells(static_cast<int>(*target), std::move(texts), chars);
    return {};
}

std::string presetExit(std::string_view text) {
    return normalisedCellText(text);
}

FieldExit copyFieldExit(std::string_view text) {
    FieldExit out;
    const auto value = fieldValue(text);
    if (!value) {
        out.text = std::string(text);
        out.error = hexConversionMessage(text);
        return out;
    }
    out.text = hexText(*value, 2);
    return out;
}

}  // namespace parvex::eeprom
