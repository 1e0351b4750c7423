// libFuzzer target for the expert mode's data file reader: any bytes as a file, then the
// load into a table and a write of the result.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "expert/data_file.h"

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace parvex::expert;
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const DataFileContents c = readDataFile(file);
    check(c.rows.size() <= static_cast<std::size_t>(kMaxMessages));
    if (c.sequence) check(c.sequence->size() <= static_cast<std::size_t>(kMaxSequenceEntries));
    MessageTable table;
    loadIntoTable(c, table);
    check(table.rowCount() >= 1 && table.rowCount() <= kMaxMessages);
    for (int r = 1; r <= table.rowCount(); ++r)
        check(table.record(r)[parvex::report::kMessageCount] <= kMaxRecordDataBytes);
    Sequence seq;
    if (c.sequence) seq.set(*c.sequence);
    // What was read writes back and reads again to the same rows.
    const DataFileContents again = readDataFile(writeDataFile(table, seq.text()));
    check(again.headerOk && !again.error);
    return 0;
}
