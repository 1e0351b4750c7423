#pragma once
// What the message editor does with one row: how it fills its fields from the row's texts
// when shown, how a field or a byte cell reads once it is left, and how the row's texts and
// record are rebuilt when it closes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/report.h"
#include "expert/message_table.h"

namespace parvex::expert {

inline constexpr int kEditorMaxBytes = 49;
inline constexpr int kEditorMaxDelay = 60000;
inline constexpr std::string_view kDefaultAddress = "A0";
inline constexpr std::string_view kUnsetByte = "FF";

struct EditorFields {
    std::string address;
    bool read = false;
    bool noStop = false;
    // The count control's value (1 to 49); the byte cells may be more, for a long Data text.
    int byteCount = 1;
    std::vector<std::string> cells;
    std::int32_t delay = 0;
    std::string notes;
};

struct EditorFill {
    EditorFields fields;
    // A delay text that is not a decimal integer: the fields after the delay are not filled.
    std::optional<std::string> error;
};
[[nodiscard]] EditorFill editorFieldsFor(const TGridRecord& row);

// A byte cell left for another column: blank becomes "00", one character gets a "0" before.
[[nodiscard]] std::string byteCellLeft(std::string_view text);
// The address field left: blank becomes "A0", one character gets a "0" before.
[[nodiscard]] std::string addressFieldLeft(std::string_view text);

struct EditorApply {
    // The byte cells as closing leaves them (blanks "FF", single characters padded).
    std::vector<std::string> cells;
    // The address that failed to convert; the row's other texts and bytes 0 to 5 of the
    // record have been written, the Address text and the data bytes not.
    std::optional<std::string> error;
};
// Closing: writes the row's texts and rebuilds its record from the fields.
EditorApply applyEditor(const EditorFields& fields, TGridRecord& row, TUSBI2CReport& record);

}  // namespace parvex::expert
