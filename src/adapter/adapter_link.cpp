#include "adapter/adapter_link.h"

#include <algorithm>
#include <string>

#include "common/wait.h"

namespace parvex::adapter {

static_assert(BaseClock == kBaseClockHz);

namespace {

// Reports an exchange reads at most while waiting for its answer.
constexpr int kMaxReportsPerRead = 256;

// A report of zeros with the length byte and command byte set; callers fill the fields.
TUSBI2CReport makeReport(std::uint8_t length, Command command) {
    TUSBI2CReport report{};
    report[report::kLength] = length;
    report[report::kCommand] = command;
    return report;
}

TUSBI2CReport makeTransfer(std::uint8_t writeCount, std::uint8_t readCount, std::uint8_t address) {
    TUSBI2CReport report = makeReport(report::transferLength(writeCount), cmdTransfer);
    report[report::kWriteCount] = writeCount;
    report[report::kReadCount] = readCount;
    report[report::kTransferReserved] = 0;
    report[report::kAddress] = address;
    return report;
}

std::uint16_t word(const TUSBI2CReport& in, std::size_t at) {
    return static_cast<std::uint16_t>(in[at] | (in[at + 1] << 8));
}

}  // namespace

AdapterLink::AdapterLink(hid::Controller& controller, StatusSink& sink, AdapterListener& listener)
    : controller_(controller), sink_(sink), listener_(listener) {}

AdapterLink::~AdapterLink() = default;

// ---- the exchange ----

bool AdapterLink::exchange(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) {
    if (!HID_I2C) {
        failNoAdapter(&inReport);
        return false;
    }
    inExchange_ = true;
    const bool answered = getInStep() && sendAndReceive(outReport, inReport);
    // Without an answer the buffer may hold anything, a stale success among it.
    if (!answered) inReport[report::kStatus] = status::kNoHardware;
    ErrorMessage(inReport[report::kStatus]);
    inExchange_ = false;
    if (noticeDeferred_) {
        noticeDeferred_ = false;
        HIDCtlDeviceChange();
    }
    return answered;
}

bool AdapterLink::sendAndReceive(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) {
    // Whatever is queued belongs to no exchange of ours.
    HID_I2C->drainInput();
    const std::uint64_t startUs = journal_ ? timing::nowUs() : 0;
    if (HID_I2C->write(outReport.data(), outReport.size()) != static_cast<int>(kReportSize)) {
        if (journal_) journalExchange(startUs, outReport, inReport, -2);
        return false;
    }
    const int read = readAnswer(outReport[report::kCommand], inReport, false);
    if (journal_) journalExchange(startUs, outReport, inReport, read);
    if (read == 0) {
        sync_ = LinkSync::OutOfStep;
        if (outReport[report::kCommand] == cmdFirmwareRev) ++owedProbeAnswers_;
    } else if (read < 0) {
        // The device has gone; its notice will follow.
        sync_ = LinkSync::GaveUp;
    }
    return read == static_cast<int>(kReportSize);
}

int AdapterLink::readAnswer(std::uint8_t command, TUSBI2CReport& inReport, bool resyncing) {
    const std::uint64_t start = timing::nowUs();
    constexpr std::uint64_t kTimeoutUs = std::uint64_t{hid::kReadTimeoutMs} * 1000;
    int remainingMs = hid::kReadTimeoutMs;
    // An adapter that floods reports cannot keep the window blocked either.
    for (int reports = 0; reports < kMaxReportsPerRead; ++reports) {
        const int read = HID_I2C->read(inReport.data(), inReport.size(), remainingMs);
        if (read <= 0) return read;
        const bool probeAnswer = read == static_cast<int>(kReportSize) && isProbeAnswer(inReport);
        if (resyncing) {
            // Everything before the first revision answer belongs to earlier exchanges.
            if (probeAnswer) return read;
        } else if (!probeAnswer || command == cmdFirmwareRev || owedProbeAnswers_ == 0) {
            return read;
        } else {
            // A revision answer owed from an earlier request is no answer to anything else. A
            // revision request may take it: its own answer, identical, then stays owed instead.
            --owedProbeAnswers_;
        }
        const std::uint64_t elapsed = timing::nowUs() - start;
        if (elapsed >= kTimeoutUs) return 0;
        remainingMs = static_cast<int>((kTimeoutUs - elapsed + 999) / 1000);
    }
    return 0;
}

bool AdapterLink::getInStep() {
    if (sync_ == LinkSync::OutOfStep) sync_ = resynchronise() ? LinkSync::InStep : LinkSync::GaveUp;
    return sync_ == LinkSync::InStep;
}

bool AdapterLink::resynchronise() {
    // Without the adapter's revision text there is no answer to recognise.
    if (!probeAnswer_) return false;
    HID_I2C->drainInput();
    const TUSBI2CReport probe = makeReport(report::kLengthNoFields, cmdFirmwareRev);
    const std::uint64_t startUs = journal_ ? timing::nowUs() : 0;
    TUSBI2CReport in{};
    if (HID_I2C->write(probe.data(), probe.size()) != static_cast<int>(kReportSize)) {
        if (journal_) journalExchange(startUs, probe, in, -2);
        return false;
    }
    const int read = readAnswer(cmdFirmwareRev, in, true);
    if (journal_) journalExchange(startUs, probe, in, read);
    if (read == 0) ++owedProbeAnswers_;
    return read == static_cast<int>(kReportSize);
}

bool AdapterLink::isProbeAnswer(const TUSBI2CReport& inReport) const {
    return probeAnswer_ && inReport[report::kStatus] == status::kSuccess &&
           std::equal(probeAnswer_->begin(), probeAnswer_->end(),
                      inReport.begin() + report::kFirmwareRev);
}

void AdapterLink::forgetSync() {
    sync_ = LinkSync::InStep;
    owedProbeAnswers_ = 0;
    probeAnswer_.reset();
}

void AdapterLink::newUserAction() {
    if (sync_ == LinkSync::GaveUp) sync_ = LinkSync::OutOfStep;
}

void AdapterLink::journalExchange(std::uint64_t startUs, const TUSBI2CReport& outReport,
                                  const TUSBI2CReport& inReport, int read) {
    ExchangeRecord entry;
    entry.timeUs = startUs;
    entry.durationUs = timing::nowUs() - startUs;
    entry.command = outReport[report::kCommand];
    entry.out = meaningfulOutput(outReport);
    if (read == static_cast<int>(kReportSize)) {
        entry.status = inReport[report::kStatus];
        entry.statusClass = classifyStatus(entry.status);
        // A failed command's answer carries no data worth keeping.
        if (entry.status == status::kSuccess) entry.in = answerBytes(outReport, inReport);
    } else {
        // No answer: the exchange ends with 170 whatever the buffer holds.
        entry.status = status::kNoHardware;
        entry.statusClass = read == 0 ? StatusClass::Timeout : StatusClass::NoAdapter;
    }
    journal_->record(std::move(entry));
}

void AdapterLink::HID_Send_OutputReport(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) {
    exchange(outReport, inReport);
}

void AdapterLink::failNoAdapter(TUSBI2CReport* inReport) {
    if (inReport) (*inReport)[report::kStatus] = status::kNoHardware;
    ErrorMessage(status::kNoHardware);
}

std::uint8_t AdapterLink::sendWrite(const TUSBI2CReport& outReport) {
    if (!HID_I2C) {
        failNoAdapter(nullptr);
        return status::kNoHardware;
    }
    TUSBI2CReport inReport{};
    exchange(outReport, inReport);
    return inReport[report::kStatus];
}

void AdapterLink::sendRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) {
    if (!HID_I2C) {
        failNoAdapter(&inReport);
        return;
    }
    exchange(outReport, inReport);
}

bool AdapterLink::sendCommand(Command command, TUSBI2CReport& inReport) {
    return exchange(makeReport(report::kLengthNoFields, command), inReport);
}

// ---- transfers ----

std::uint8_t AdapterLink::I2CWrite(std::uint8_t address, std::uint8_t dataByte) {
    TUSBI2CReport out = makeTransfer(1, 0, address);
    out[report::kWriteData] = dataByte;
    return sendWrite(out);
}

std::uint8_t AdapterLink::I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                                       std::uint8_t dataByte) {
    TUSBI2CReport out = makeTransfer(2, 0, address);
    out[report::kWriteData] = subaddress;
    out[report::kWriteData + 1] = dataByte;
    return sendWrite(out);
}

std::uint8_t AdapterLink::I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                                        std::uint16_t numBytes, const std::uint8_t* dataPointer) {
    const std::size_t dataBytes = numBytes > 0 ? numBytes - 1u : 0u;
    // More than one report holds, or data promised but not given: the report cannot be
    // built without reading or writing past a buffer. The adapter answers a write count
    // above 58 with the same status, but the low 8 bits of a larger count could look valid.
    if (numBytes > report::kMaxWriteBytes || (dataBytes > 0 && dataPointer == nullptr)) {
        if (!HID_I2C) {
            failNoAdapter(nullptr);
            return status::kNoHardware;
        }
        ErrorMessage(status::kInvalidRequest);
        return status::kInvalidRequest;
    }
    // The length byte counts one byte more than the bytes that follow; the adapter expects it.
    const auto writeCount = static_cast<std::uint8_t>(numBytes & 0xFF);
    TUSBI2CReport out = makeTransfer(writeCount, 0, address);
    out[report::kLength] = static_cast<std::uint8_t>(report::transferLength(writeCount) + 1);
    out[report::kWriteData] = subaddress;
    std::copy_n(dataPointer ? dataPointer : out.data(), dataBytes,
                out.begin() + report::kWriteData + 1);
    return sendWrite(out);
}

void AdapterLink::I2CRead(std::uint8_t address, TUSBI2CReport& inReport) {
    sendRead(makeTransfer(0, 1, address), inReport);
}

void AdapterLink::I2CReadCount(std::uint8_t address, std::uint8_t count, TUSBI2CReport& inReport) {
    sendRead(makeTransfer(0, count, address), inReport);
}

void AdapterLink::I2CReadByte(std::uint8_t address, std::uint8_t subaddress,
                              TUSBI2CReport& inReport) {
    TUSBI2CReport out = makeTransfer(1, 1, address);
    out[report::kWriteData] = subaddress;
    sendRead(out, inReport);
}

void AdapterLink::I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                               TUSBI2CReport& inReport) {
    TUSBI2CReport out = makeTransfer(1, static_cast<std::uint8_t>(numBytes & 0xFF), address);
    out[report::kWriteData] = subaddress;
    sendRead(out, inReport);
}

std::uint8_t AdapterLink::I2CDeviceWrite(const TUSBI2CReport& outReport) {
    return sendWrite(outReport);
}

std::uint8_t AdapterLink::I2CDeviceRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) {
    sendRead(outReport, inReport);
    return inReport[report::kStatus];
}

// ---- status panel ----

void AdapterLink::ErrorMessage(std::uint8_t acknowledge) {
    sink_.showStatus(statusText(acknowledge));
}

void AdapterLink::ResetWarning() {
    sink_.showStatus(std::string());
}

// ---- attachment ----

bool AdapterLink::HIDCtlEnumerate(const hid::DeviceInfo& hidDev, int idx) {
    if (hidDev.vendorId == kAdapterVendorId && hidDev.productId == kAdapterProductId) {
        // A device that cannot be opened is passed over; a later one may do.
        HID_I2C = controller_.checkOut(idx);
    }
    return HID_I2C == nullptr;
}

void AdapterLink::HIDCtlDeviceChange() {
    if (inDeviceChange_) return;
    if (inExchange_) {
        // A notice never interrupts an exchange: the device object is still in use.
        noticeDeferred_ = true;
        return;
    }
    inDeviceChange_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{inDeviceChange_};

    if (HID_I2C && !HID_I2C->pluggedIn()) HID_I2C.reset();
    if (!HID_I2C) {
        forgetSync();
        controller_.enumerate([this](const hid::DeviceInfo& info, int index) {
            return HIDCtlEnumerate(info, index);
        });
    } else {
        newUserAction();
    }
    DeviceAttachMessage(HID_I2C != nullptr);
    // Pulled out during its own arrival: its notice was not taken, so the removal is shown
    // here rather than an adapter that is not there.
    if (HID_I2C && !HID_I2C->pluggedIn()) {
        HID_I2C.reset();
        forgetSync();
        DeviceAttachMessage(false);
    }
}

void AdapterLink::DeviceAttachMessage(bool attached) {
    if (attached) {
        GetFirmwareRev();
        GetSerialNumber();
        listener_.setOptionsMenuEnabled(true);
        listener_.setStatusBarEnabled(true);
        listener_.setHardwarePanel(std::string(kHardwareDetected));
        listener_.setFrequencyPanel(std::string(kFrequencyArrival));
        const std::string_view message = busLineMessage(GetI2CPortStatus());
        if (!message.empty()) listener_.showBusLineMessage(std::string(message));
        listener_.repaintStatusBar();
    } else {
        listener_.setOptionsMenuEnabled(false);
        listener_.setStatusBarEnabled(false);
        sink_.showStatus(std::string(kStatusNoAdapter));
        listener_.setHardwarePanel(std::string(kHardwareNotDetected));
        listener_.setFrequencyPanel(std::string(kFrequencyRemoved));
        listener_.repaintStatusBar();
    }
}

void AdapterLink::GetFirmwareRev() {
    if (!HID_I2C) return;
    firmwareRev_.clear();
    TUSBI2CReport in{};
    if (!sendCommand(cmdFirmwareRev, in)) return;
    const auto* first = in.data() + report::kFirmwareRev;
    firmwareRev_.assign(first, first + report::kFirmwareRevLength);
    probeAnswer_.emplace();
    std::copy_n(first, report::kFirmwareRevLength, probeAnswer_->begin());
}

void AdapterLink::GetSerialNumber() {
    if (!HID_I2C) return;
    TUSBI2CReport in{};
    if (!sendCommand(cmdSerialNumber, in)) return;
    serialNumber_ = word(in, report::kSerialNumber);
}

std::uint8_t AdapterLink::GetI2CPortStatus() {
    if (!HID_I2C) return kLinesUnknown;
    TUSBI2CReport in{};
    // Without an answer there are no counts and no line state to go by: neither a clock
    // nor a "lines low" message may be made up from an empty buffer.
    if (!sendCommand(cmdPortStatus, in)) return kLinesUnknown;
    actualClock_ = clockFromCounts(word(in, report::kFirstCount), word(in, report::kSecondCount));
    listener_.setFrequencyPanel(frequencyPanelFromPortStatus(actualClock_));
    return in[report::kLineState];
}

void AdapterLink::ResetBus() {
    if (!HID_I2C) return;
    TUSBI2CReport in{};
    sendCommand(cmdResetBus, in);
}

// ---- clock ----

std::uint8_t AdapterLink::HID_UpdateClock(std::uint32_t newClock, bool /*drive*/) {
    if (!HID_I2C) {
        failNoAdapter(nullptr);
        return status::kNoHardware;
    }
    actualClock_ = clockFromDivider(clockDivider(newClock));
    TUSBI2CReport out = makeReport(report::kLengthSetClock, cmdSetClock);
    const auto hz = static_cast<std::uint32_t>(actualClock_);
    for (std::size_t i = 0; i < 4; ++i) {
        out[report::kClockHz + i] = static_cast<std::uint8_t>((hz >> (8 * i)) & 0xFF);
    }
    out[report::kClockFlag] = 1;
    TUSBI2CReport in{};
    exchange(out, in);
    listener_.setFrequencyPanel(frequencyPanelAfterClockChange(actualClock_));
    listener_.repaintStatusBar();
    return in[report::kStatus];
}

}  // namespace parvex::adapter
