#include "expert/editor_rules.h"

#include <algorithm>

namespace parvex::expert {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string padded(std::string_view t, std::string_view blank) {
    if (t.empty()) return std::string(blank);
    if (t.size() == 1) return "0" + std::string(t);
    return std::string(t);
}

}  // namespace

EditorFill editorFieldsFor(const TGridRecord& row) {
    EditorFill fill;
    EditorFields& f = fill.fields;
    f.address = row.Address.empty() ? std::string(kDefaultAddress) : row.Address;
    f.read = !row.RW.empty() && row.RW != kWriteText;
    const int n = dataByteCount(row.DataString);
    f.byteCount = std::clamp(n, 1, kEditorMaxBytes);
    f.cells.assign(static_cast<std::size_t>(std::max(n, 1)), std::string());
    if (row.DataString.empty()) {
        f.cells[0] = std::string(kUnsetByte);
    } else {
        for (int i = 0; i < n; ++i)
            f.cells[static_cast<std::size_t>(i)] =
                row.DataString.substr(static_cast<std::size_t>(3 * i), 2);
    }
    f.noStop = !row.Stop.empty() && row.Stop != kYesText;
    if (!row.DelayTime.empty()) {
        const std::optional<std::int32_t> delay = parseDecimal(row.DelayTime);
        if (!delay) {
            fill.error = integerConversionMessage(row.DelayTime);
            return fill;
        }
        f.delay = *delay;
    }
    f.notes = row.Comments;
    return fill;
}

std::string byteCellLeft(std::string_view text) {
    return padded(trimmed(text), "00");
}

std::string addressFieldLeft(std::string_view text) {
    return padded(text, kDefaultAddress);
}

EditorApply applyEditor(const EditorFields& fields, TGridRecord& row, TUSBI2CReport& record) {
    EditorApply out;
    const int n = std::clamp(fields.byteCount, 1, kEditorMaxBytes);
    out.cells = fields.cells;
    out.cells.resize(std::max(out.cells.size(), static_cast<std::size_t>(n)));
    std::string data;
    for (int i = 0; i < n; ++i) {
        std::string& cell = out.cells[static_cast<std::size_t>(i)];
        cell = padded(trimmed(cell), kUnsetByte);
        if (i > 0) data += ',';
        data += cell;
    }

    row.RW = std::string(fields.read ? kReadText : kWriteText);
    row.DataString = data;
    row.Stop = std::string(fields.noStop ? kNoText : kYesText);
    row.DelayTime = std::to_string(fields.delay);
    row.Comments = fields.notes;

    record[report::kReportId] = 0;
    record[report::kLength] = static_cast<std::uint8_t>(n + 6);
    record[report::kCommand] = fields.read ? cmdReadMessage : cmdWriteMessage;
    record[report::kMessageCount] = static_cast<std::uint8_t>(n);
    record[report::kMessageReserved] = 0;
    record[report::kMessageOptions] = fields.noStop ? kOptionsNoStop : kOptionsStop;

    const std::optional<std::uint32_t> address = parseHexNumber(fields.address);
    if (!address) {
        out.error = hexConversionMessage(fields.address);
        return out;
    }
    std::uint8_t a = static_cast<std::uint8_t>(*address & 0xFE);
    if (fields.read) a |= 0x01;
    record[report::kMessageAddress] = a;
    row.Address = dataText(&a, 1);

    for (int i = 0; i < n; ++i) {
        const std::string& cell = out.cells[static_cast<std::size_t>(i)];
        const std::optional<std::uint32_t> value = parseHexNumber(cell);
        if (!value || cell.size() > 2) {
            out.error = hexConversionMessage(cell);
            return out;
        }
        record[report::kMessageData + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(*value);
    }
    return out;
}

}  // namespace parvex::expert
