#include "sim/virtual_adapter.h"

#include <algorithm>

namespace parvex::sim {
namespace {

constexpr char kFirmwareText[] = "Parvex VA 1.03";
constexpr std::uint32_t kBaseClockHz = 48000000;
// What a read from an address nobody acknowledges gives: the pull-ups' level.
constexpr std::uint8_t kIdleBusByte = 0xFF;

std::uint16_t halfPeriodCount(std::uint32_t clockHz) {
    const std::int64_t count = std::int64_t{kBaseClockHz / clockHz} / 2 - 2;
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(count, 0, 0xFFFF));
}

void putWord(TUSBI2CReport& in, std::size_t at, std::uint16_t value) {
    in[at] = static_cast<std::uint8_t>(value & 0xFF);
    in[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

VirtualAdapter::VirtualAdapter() : firmwareRev_(kFirmwareText) {
    firmwareRev_.resize(report::kFirmwareRevLength, ' ');
}

void VirtualAdapter::forceNextStatus(std::uint8_t status) {
    forced_ = true;
    forcedStatus_ = status;
}

void VirtualAdapter::powerOn() {
    clockHz_ = kStartClockHz;
    open_.reset();
    forced_ = false;
}

void VirtualAdapter::exchange(const TUSBI2CReport& out, TUSBI2CReport& in) {
    log_.push_back(out);
    in.fill(0);
    std::uint8_t status = status::kSuccess;
    if (forced_) {
        forced_ = false;
        in[report::kStatus] = forcedStatus_;
        return;
    }
    switch (out[report::kCommand]) {
        case cmdResetBus:
            // Clocks the bus free; whatever was latched without a stop is abandoned.
            open_.reset();
            break;
        case cmdSetClock:
            status = setClock(out);
            break;
        case cmdWriteMessage:
            status = writeMessage(out);
            break;
        case cmdReadMessage:
            status = readMessage(out, in);
            break;
        case cmdTransfer:
            status = transfer(out, in);
            break;
        case cmdFirmwareRev:
            std::copy(firmwareRev_.begin(), firmwareRev_.end(), in.begin() + report::kFirmwareRev);
            break;
        case cmdPortStatus:
            portStatus(in);
            break;
        case cmdSerialNumber:
            putWord(in, report::kSerialNumber, serial_);
            break;
        default:
            status = status::kInvalidRequest;
            break;
    }
    in[report::kStatus] = status;
}

std::uint8_t VirtualAdapter::lineFault() const {
    switch (lines_) {
        case Lines::High:
            return status::kSuccess;
        case Lines::BothLow:
            return status::kBothLinesLow;
        case Lines::SdaLow:
            return status::kSdaLow;
        case Lines::SclLow:
            return status::kSclLow;
    }
    return status::kSuccess;
}

bool VirtualAdapter::startCondition(std::uint8_t addressByte, bool read) {
    const std::uint8_t onBus = static_cast<std::uint8_t>((addressByte & 0xFE) | (read ? 1 : 0));
    // A start aimed elsewhere ends the open device's transaction without a stop.
    open_.reset();
    auto device = bus_.find(onBus);
    if (!device || !device->start(onBus, read)) return false;
    open_ = std::move(device);
    return true;
}

void VirtualAdapter::stopCondition() {
    if (open_) open_->stop();
    open_.reset();
}

std::uint8_t VirtualAdapter::transfer(const TUSBI2CReport& out, TUSBI2CReport& in) {
    const std::size_t writeCount = out[report::kWriteCount];
    const std::size_t readCount = out[report::kReadCount];
    if (writeCount > report::kMaxWriteBytes || readCount > report::kMaxReadBytes) {
        return status::kInvalidRequest;
    }
    if (const std::uint8_t fault = lineFault()) return fault;
    const std::uint8_t address = out[report::kAddress];

    // A transfer with nothing to read still addresses the device (a probe).
    if (writeCount > 0 || readCount == 0) {
        if (!startCondition(address, false)) {
            stopCondition();
            return status::kAddressNack;
        }
        for (std::size_t i = 0; i < writeCount; ++i) {
            if (!open_->writeByte(out[report::kWriteData + i])) {
                stopCondition();
                return status::kPartialTransfer;
            }
        }
    }
    if (readCount > 0) {
        // Repeated start: the write part's pointer stays set for the read part.
        if (!startCondition(address, true)) {
            stopCondition();
            return status::kAddressNack;
        }
        for (std::size_t i = 0; i < readCount; ++i) in[report::kInData + i] = open_->readByte();
    }
    stopCondition();
    return status::kSuccess;
}

std::uint8_t VirtualAdapter::writeMessage(const TUSBI2CReport& out) {
    const std::size_t count = out[report::kMessageCount];
    if (count > report::kMaxWriteBytes) return status::kInvalidRequest;
    if (const std::uint8_t fault = lineFault()) return fault;
    const std::uint8_t options = out[report::kMessageOptions];
    const bool checkAck = (options & report::kOptionCheckAck) != 0;
    const bool stop = (options & report::kOptionStop) != 0;

    const bool addressed = startCondition(out[report::kMessageAddress], false);
    if (!addressed && checkAck) {
        stopCondition();
        return status::kAddressNack;
    }
    for (std::size_t i = 0; addressed && i < count; ++i) {
        if (!open_->writeByte(out[report::kMessageData + i]) && checkAck) {
            stopCondition();
            return status::kPartialTransfer;
        }
    }
    if (stop) stopCondition();
    return status::kSuccess;
}

std::uint8_t VirtualAdapter::readMessage(const TUSBI2CReport& out, TUSBI2CReport& in) {
    const std::size_t count = out[report::kMessageCount];
    if (count > report::kMaxReadBytes) return status::kInvalidRequest;
    if (const std::uint8_t fault = lineFault()) return fault;
    const std::uint8_t options = out[report::kMessageOptions];
    const bool checkAck = (options & report::kOptionCheckAck) != 0;
    const bool stop = (options & report::kOptionStop) != 0;

    const bool addressed = startCondition(out[report::kMessageAddress], true);
    if (!addressed && checkAck) {
        stopCondition();
        return status::kAddressNack;
    }
    for (std::size_t i = 0; i < count; ++i) {
        in[report::kInData + i] = addressed ? open_->readByte() : kIdleBusByte;
    }
    if (stop) stopCondition();
    return status::kSuccess;
}

std::uint8_t VirtualAdapter::setClock(const TUSBI2CReport& out) {
    std::uint32_t hz = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        hz |= std::uint32_t{out[report::kClockHz + i]} << (8 * i);
    }
    // No clock of 0 Hz exists; keeping the old one also keeps the counts finite.
    if (hz == 0) return status::kInvalidRequest;
    clockHz_ = hz;
    return status::kSuccess;
}

void VirtualAdapter::portStatus(TUSBI2CReport& in) const {
    std::uint8_t state = report::kLineScl | report::kLineSda;
    if (lines_ == Lines::BothLow) state = 0;
    if (lines_ == Lines::SdaLow) state = report::kLineScl;
    if (lines_ == Lines::SclLow) state = report::kLineSda;
    in[report::kLineState] = state;
    const std::uint16_t count = halfPeriodCount(clockHz_);
    putWord(in, report::kFirstCount, count);
    putWord(in, report::kSecondCount, count);
}

DefaultDevices addDefaultDevices(Bus& bus) {
    DefaultDevices devices{std::make_shared<Eeprom24>(2048, 16, 0xA0),
                           std::make_shared<RegisterDevice>(0x40, 64)};
    bus.attach(devices.eeprom);
    bus.attach(devices.registers);
    return devices;
}

}  // namespace parvex::sim
