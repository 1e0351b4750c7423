#pragma once
// The INI text behind definition files and register exports, updated in place the way the
// files have always been updated: a key written replaces its own line, a new key goes to
// the end of its section, a new section to the end of the file, and every line this write
// does not touch (other keys, comments, stale registers) stays as it was. Section and key
// names match without regard to case; values are trimmed; lines end in CR LF.
//
// A general INI library rewrites the whole file in its own layout (blank lines between
// sections, its own line ends), which older tools' files would not survive byte for byte.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace parvex::device {

class IniText {
public:
    IniText() = default;
    // Any bytes: UTF-8 when valid (a leading byte-order mark dropped), else Windows-1252.
    explicit IniText(std::string_view bytes);

    [[nodiscard]] std::optional<std::string> value(std::string_view section,
                                                   std::string_view key) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    void eraseSection(std::string_view section);

    // UTF-8, every line ended by CR LF.
    [[nodiscard]] std::string text() const;

private:
    struct Section {
        std::string name;                // lower case; empty for the lines before any header
        std::vector<std::string> lines;  // the header line first (none for the preamble)
        std::unordered_map<std::string, std::size_t> keys;  // lower-case key -> first line
        std::size_t lastFilled = 0;  // one past the last line that is not blank
    };
    void addLine(Section& section, std::string line);
    [[nodiscard]] const Section* find(const std::string& lowerName) const;

    std::vector<Section> sections_;
};

// Windows-1252 bytes as UTF-8; bytes that code page leaves undefined become U+FFFD.
[[nodiscard]] std::string windows1252ToUtf8(std::string_view bytes);
[[nodiscard]] bool isValidUtf8(std::string_view bytes);

}  // namespace parvex::device
