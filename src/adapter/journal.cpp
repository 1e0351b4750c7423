#include "adapter/journal.h"

#include <algorithm>

namespace parvex::adapter {

std::string_view statusClassName(StatusClass c) {
    switch (c) {
        case StatusClass::Ok:
            return "ok";
        case StatusClass::AddressNack:
            return "address-nack";
        case StatusClass::DataNack:
            return "data-nack";
        case StatusClass::LineLow:
            return "line-low";
        case StatusClass::Timeout:
            return "timeout";
        case StatusClass::NoAdapter:
            return "no-adapter";
        case StatusClass::InvalidRequest:
            return "invalid-request";
        case StatusClass::Other:
            break;
    }
    return "other";
}

StatusClass classifyStatus(std::uint8_t status) {
    switch (status) {
        case status::kSuccess:
            return StatusClass::Ok;
        case status::kAddressNack:
        case 4:  // the adapter's second code for an address not acknowledged
            return StatusClass::AddressNack;
        case status::kPartialTransfer:
            return StatusClass::DataNack;
        case status::kBothLinesLow:
        case status::kSdaLow:
        case status::kSclLow:
            return StatusClass::LineLow;
        case 10:  // bus time-out
        case 19:  // time-out with both lines high
            return StatusClass::Timeout;
        case status::kNoHardware:
            return StatusClass::NoAdapter;
        case status::kInvalidRequest:
            return StatusClass::InvalidRequest;
        default:
            return StatusClass::Other;
    }
}

std::string commandName(std::uint8_t command) {
    switch (command) {
        case cmdResetBus:
            return "reset-bus";
        case cmdSetClock:
            return "set-clock";
        case cmdWriteMessage:
            return "write-message";
        case cmdReadMessage:
            return "read-message";
        case cmdTransfer:
            return "transfer";
        case cmdFirmwareRev:
            return "firmware-revision";
        case cmdPortStatus:
            return "port-status";
        case cmdSerialNumber:
            return "serial-number";
        default:
            return "command-" + std::to_string(command);
    }
}

Journal::Journal(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {
    ring_.reserve(std::min<std::size_t>(capacity_, 1024));
}

void Journal::record(ExchangeRecord entry) {
    if (ring_.size() < capacity_) {
        ring_.push_back(std::move(entry));
        return;
    }
    ring_[next_] = std::move(entry);
    next_ = (next_ + 1) % capacity_;
    ++dropped_;
}

void Journal::clear() {
    ring_.clear();
    next_ = 0;
    dropped_ = 0;
}

std::vector<ExchangeRecord> Journal::records() const {
    std::vector<ExchangeRecord> ordered;
    ordered.reserve(ring_.size());
    for (std::size_t i = 0; i < ring_.size(); ++i) {
        ordered.push_back(ring_[(next_ + i) % ring_.size()]);
    }
    return ordered;
}

std::vector<std::uint8_t> meaningfulOutput(const TUSBI2CReport& out) {
    std::size_t last = std::min<std::size_t>(out[report::kLength], kReportDataSize);
    for (std::size_t i = kReportDataSize; i > last; --i) {
        if (out[i] != 0) {
            last = i;
            break;
        }
    }
    return {out.begin() + 1, out.begin() + 1 + static_cast<std::ptrdiff_t>(last)};
}

std::vector<std::uint8_t> answerBytes(const TUSBI2CReport& out, const TUSBI2CReport& in) {
    std::size_t count = 0;
    switch (out[report::kCommand]) {
        case cmdTransfer:
            count = out[report::kReadCount];
            break;
        case cmdReadMessage:
            count = out[report::kMessageCount];
            break;
        case cmdFirmwareRev:
            count = report::kFirmwareRevLength;
            break;
        case cmdPortStatus:
            count = report::kSecondCount + 2 - report::kLineState;
            break;
        case cmdSerialNumber:
            count = 2;
            break;
        default:
            break;
    }
    count = std::min(count, report::kMaxReadBytes);
    const auto first = in.begin() + report::kInData;
    return {first, first + static_cast<std::ptrdiff_t>(count)};
}

namespace {

void appendHex(std::string& text, std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[value >> 4];
    text += kDigits[value & 0x0F];
}

void appendBytes(std::string& text, const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) text += ' ';
        appendHex(text, bytes[i]);
    }
}

bool addressesTheBus(std::uint8_t command) {
    return command == cmdTransfer || command == cmdWriteMessage || command == cmdReadMessage;
}

}  // namespace

std::string journalCsv(const std::vector<ExchangeRecord>& records) {
    std::string csv = "time_us,command,address,bytes_out,status,class,bytes_in,duration_us\n";
    for (const ExchangeRecord& r : records) {
        csv += std::to_string(r.timeUs);
        csv += ',';
        csv += commandName(r.command);
        csv += ',';
        // out[0] is the length byte, so the address byte (report byte 6) sits at out[5].
        constexpr std::size_t kAddressAt = report::kAddress - 1;
        if (addressesTheBus(r.command) && r.out.size() > kAddressAt)
            appendHex(csv, r.out[kAddressAt]);
        csv += ',';
        appendBytes(csv, r.out);
        csv += ',';
        csv += std::to_string(r.status);
        csv += ',';
        csv += statusClassName(r.statusClass);
        csv += ',';
        appendBytes(csv, r.in);
        csv += ',';
        csv += std::to_string(r.durationUs);
        csv += '\n';
    }
    return csv;
}

}  // namespace parvex::adapter
