#pragma once
// A bounded record of the exchanges an adapter link made: what went out, what came back and
// how long it took. Off until someone enables it; a link without one pays a single branch
// per exchange.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/report.h"

namespace parvex::adapter {

// What kind of outcome a status stands for, so a journal can be filtered without the table.
enum class StatusClass {
    Ok,
    AddressNack,
    DataNack,
    LineLow,
    Timeout,
    NoAdapter,
    InvalidRequest,
    Other,
};

[[nodiscard]] std::string_view statusClassName(StatusClass c);
// The class of a status the adapter gave (or 170 the link took for want of an answer).
[[nodiscard]] StatusClass classifyStatus(std::uint8_t status);
// "transfer", "read-message", ...; "command-N" for a code the program never sends.
[[nodiscard]] std::string commandName(std::uint8_t command);

struct ExchangeRecord {
    std::uint64_t timeUs = 0;      // when the output report went out (the link's clock)
    std::uint64_t durationUs = 0;  // until the answer came or the exchange gave up
    std::uint8_t command = 0;
    // Output report bytes 1 onward, as far as the length byte or the last non-zero byte
    // reaches, whichever is further: the report is those bytes followed by zeros.
    std::vector<std::uint8_t> out;
    std::uint8_t status = 0;
    StatusClass statusClass = StatusClass::Ok;
    // The bytes of the answer the command returns (read data, revision, serial ...).
    std::vector<std::uint8_t> in;
};

class Journal {
public:
    // At most `capacity` records are kept; older ones make room for newer ones.
    explicit Journal(std::size_t capacity);

    void record(ExchangeRecord entry);
    void clear();

    [[nodiscard]] std::size_t capacity() const { return capacity_; }
    [[nodiscard]] std::size_t size() const { return ring_.size(); }
    // Records that fell out of the ring since the last clear.
    [[nodiscard]] std::uint64_t dropped() const { return dropped_; }
    // Oldest first.
    [[nodiscard]] std::vector<ExchangeRecord> records() const;

private:
    std::size_t capacity_;
    std::vector<ExchangeRecord> ring_;
    std::size_t next_ = 0;  // where the next record goes once the ring is full
    std::uint64_t dropped_ = 0;
};

// The output bytes worth keeping of a report (see ExchangeRecord::out).
[[nodiscard]] std::vector<std::uint8_t> meaningfulOutput(const TUSBI2CReport& out);
// The answer's bytes a command returns, by the request that asked for them.
[[nodiscard]] std::vector<std::uint8_t> answerBytes(const TUSBI2CReport& out,
                                                    const TUSBI2CReport& in);

// The header line and one line per record, LF-terminated:
// time_us,command,address,bytes_out,status,class,bytes_in,duration_us
// Bytes are two upper-case hex digits separated by blanks; the address is the 8-bit bus
// address of a transfer or message ("A0"), empty for the adapter's own commands.
[[nodiscard]] std::string journalCsv(const std::vector<ExchangeRecord>& records);

}  // namespace parvex::adapter
