// eeprom read | write | verify.
#include <algorithm>
#include <cctype>

#include "cli/commands.h"
#include "common/file_io.h"
#include "eeprom/bus_ops.h"
#include "eeprom/data_file.h"
#include "eeprom/geometry.h"
#include "eeprom/image.h"

namespace parvex::cli {

namespace {

struct EepromJob {
    std::string action;
    std::string path;
    const eeprom::Geometry* geometry = nullptr;
    std::uint8_t address = 0xA0;
    int page = eeprom::kDefaultPageSize;
    std::uint32_t writeTimeMs = eeprom::kDefaultWriteTimeMs;
    eeprom::FileKind kind = eeprom::FileKind::IntelHex;
};

bool endsWith(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    std::string tail = text.substr(text.size() - suffix.size());
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return tail == suffix;
}

std::optional<int> decimal(const std::string& text, int max) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int value = std::stoi(text);
    if (value > max) return std::nullopt;
    return value;
}

// The job the command line asks for, or the usage error.
std::optional<std::string> makeJob(const CommandLine& line, EepromJob& job) {
    if (line.words.size() != 3) return "eeprom needs read, write or verify and one FILE";
    job.action = line.words[1];
    job.path = line.words[2];
    if (job.action != "read" && job.action != "write" && job.action != "verify") {
        return "eeprom: unknown action '" + job.action + "'";
    }
    const auto size = line.value("size");
    if (!size) return "eeprom needs --size (16, 128, 256, 512, 1024 or 2048)";
    const auto bytes = decimal(*size, 1 << 20);
    job.geometry = bytes ? eeprom::geometryForSize(*bytes) : nullptr;
    if (!job.geometry) return "--size must be 16, 128, 256, 512, 1024 or 2048";
    if (const auto a = line.value("address")) {
        const auto parsed = eeprom::parseBusAddress(*a);
        if (!parsed) return "--address must be a bus address byte such as A0";
        job.address = *parsed;
    }
    // Addresses outside the device's list would carry the upper blocks past AE.
    const auto& choices = job.geometry->addressChoices;
    const auto last = choices.begin() + job.geometry->addressCount;
    if (std::find(choices.begin(), last, hex2(job.address)) == last) {
        std::string list;
        for (auto it = choices.begin(); it != last; ++it)
            list += (list.empty() ? "" : ", ") + std::string(*it);
        return "--address for " + std::to_string(job.geometry->bytes) + " bytes must be one of " +
               list;
    }
    if (const auto p = line.value("page")) {
        const auto parsed = eeprom::parsePageSize(*p);
        if (!parsed) return "--page must be 1, 8, 16 or 32";
        job.page = *parsed;
    }
    if (job.geometry->pagesPerBlock(job.page) == 0) return "--page does not fit the device";
    if (const auto w = line.value("write-time")) {
        const auto parsed = decimal(*w, eeprom::kMaxWriteTimeMs);
        if (!parsed) return "--write-time must be 0 to 100 (ms)";
        job.writeTimeMs = static_cast<std::uint32_t>(*parsed);
    }
    if (line.flag("verify") && job.action != "write") return "--verify goes with eeprom write";
    const auto format = line.value("format");
    if (format == std::optional<std::string>("hex") || (!format && endsWith(job.path, ".hex"))) {
        job.kind = eeprom::FileKind::IntelHex;
    } else if (format == std::optional<std::string>("bin") ||
               (!format && endsWith(job.path, ".bin"))) {
        job.kind = eeprom::FileKind::Binary;
    } else if (format) {
        return "--format must be hex or bin";
    } else {
        return "cannot tell the format of '" + job.path +
               "': name it .hex or .bin, or give --format";
    }
    return std::nullopt;
}

// Reads the file into an image; the message of a file that cannot be used.
std::optional<std::string> loadImage(const EepromJob& job, eeprom::Image& image) {
    const files::FileContents file = files::readWholeFile(job.path, eeprom::kMaxDataFileBytes);
    if (file.error) return file.error;
    const eeprom::DataFileLoad load =
        eeprom::loadDataFile(job.kind, file.bytes, job.geometry->bytes, job.path);
    // A partly read file would program a part of the device with what it held before.
    if (load.outcome != eeprom::DataFileLoad::Outcome::Loaded) {
        return load.message.empty() ? "\"" + job.path + "\" cannot be loaded" : load.message;
    }
    image.setBytes(0, load.bytes);
    return std::nullopt;
}

struct Difference {
    int address;
    std::uint8_t expected;
    std::uint8_t actual;
};

// Reads the whole device and compares every byte; the first failed read's status.
std::uint8_t compareDevice(Context& c, const EepromJob& job, const std::vector<std::uint8_t>& want,
                           std::vector<Difference>& differences) {
    const std::vector<eeprom::ReadStep> plan = eeprom::readPlan(job.geometry->bytes, job.address);
    int done = 0;
    for (const eeprom::ReadStep& step : plan) {
        TUSBI2CReport in{};
        c.session.link().I2CReadArray(step.deviceAddress, step.wordAddress, step.count, in);
        c.console.progress(++done, static_cast<int>(plan.size()));
        if (in[report::kStatus] != status::kSuccess) return in[report::kStatus];
        for (int i = 0; i < step.count; ++i) {
            const int a = step.firstByte + i;
            const std::uint8_t got = in[report::kInData + static_cast<std::size_t>(i)];
            if (got != want[static_cast<std::size_t>(a)]) {
                differences.push_back({a, want[static_cast<std::size_t>(a)], got});
            }
        }
    }
    c.console.endProgress();
    return status::kSuccess;
}

int verifyAgainst(Context& c, const EepromJob& job, const std::vector<std::uint8_t>& want,
                  JsonObject& result) {
    std::vector<Difference> differences;
    const std::uint8_t status = compareDevice(c, job, want, differences);
    if (status != status::kSuccess) return busFailure(c, result, "verify read failed", status);
    std::string list = "[";
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const Difference& d = differences[i];
        c.console.line(eeprom::addressText(d.address) + ": file " + hex2(d.expected) + ", device " +
                       hex2(d.actual));
        JsonObject item;
        item.number("address", d.address).number("file", d.expected).number("device", d.actual);
        list += (i > 0 ? "," : "") + item.str();
    }
    result.raw("differences", list + "]");
    if (!differences.empty()) {
        c.console.error(eeprom::verifyFailedMessage(differences.front().address) + " (" +
                        std::to_string(differences.size()) + " bytes differ)");
        result.number("status", status::kVerifyFailed).text("statusText", "Verify failed");
        c.console.result(result);
        return kExitBus;
    }
    c.console.line(plainStatusText(status::kVerifySuccessful));
    result.number("status", status::kVerifySuccessful)
        .text("statusText", plainStatusText(status::kVerifySuccessful));
    c.console.result(result);
    return kExitOk;
}

int readToFile(Context& c, const EepromJob& job, JsonObject& result) {
    eeprom::Image image(job.geometry->bytes);
    const int reads = job.geometry->reads;
    int done = 0;
    const std::uint8_t status = eeprom::readAll(
        c.session.link(), image, job.address,
        [&](const eeprom::ReadStep&, std::uint8_t) { c.console.progress(++done, reads); });
    c.console.endProgress();
    // An image with unread parts is not saved as though it were the device's.
    if (status != status::kSuccess) return busFailure(c, result, "read failed", status);
    const eeprom::ImageBytes bytes = image.bytes();
    if (auto error =
            files::saveFileReplacing(job.path, eeprom::saveDataFile(job.kind, bytes.bytes))) {
        c.console.error(*error);
        return kExitUsage;
    }
    c.console.line("Read " + std::to_string(job.geometry->bytes) + " bytes into " + job.path);
    result.number("bytes", job.geometry->bytes)
        .number("status", 0)
        .text("statusText", plainStatusText(0));
    c.console.result(result);
    return kExitOk;
}

int writeFromFile(Context& c, const EepromJob& job, eeprom::Image& image, JsonObject& result) {
    const int total =
        static_cast<int>(eeprom::pageWritePlan(job.geometry->bytes, job.address, job.page).size());
    const eeprom::WriteAllOutcome outcome =
        eeprom::writeAll(c.session.link(), image, job.address, job.page, job.writeTimeMs,
                         [&](int pages, int) { c.console.progress(pages, total); });
    c.console.endProgress();
    result.number("pagesWritten", outcome.pagesWritten).number("pages", outcome.pagesTotal);
    if (outcome.error) {
        c.console.error(*outcome.error);
        return kExitUsage;
    }
    if (outcome.status != status::kSuccess) {
        const std::string text = stripMarkup(c.session.observer().lastStatus);
        c.console.error("write failed after " + std::to_string(outcome.pagesWritten) + " of " +
                        std::to_string(outcome.pagesTotal) + " pages: " + text);
        result.number("status", outcome.status).text("statusText", text);
        c.console.result(result);
        return kExitBus;
    }
    c.console.line("Wrote " + std::to_string(outcome.pagesTotal) + " pages from " + job.path);
    if (c.line.flag("verify")) return verifyAgainst(c, job, image.bytes().bytes, result);
    result.number("status", 0).text("statusText", plainStatusText(0));
    c.console.result(result);
    return kExitOk;
}

}  // namespace

std::optional<std::string> checkEeprom(const CommandLine& line) {
    EepromJob job;
    return makeJob(line, job);
}

int runEeprom(Context& c) {
    EepromJob job;
    if (auto error = makeJob(c.line, job)) {
        c.console.error(*error);
        return kExitUsage;
    }
    JsonObject result;
    result.text("command", "eeprom").text("action", job.action).text("file", job.path);
    result.number("size", job.geometry->bytes).text("address", hex2(job.address));
    if (job.action == "read") return readToFile(c, job, result);
    eeprom::Image image(job.geometry->bytes);
    if (auto error = loadImage(job, image)) {
        c.console.error(*error);
        return kExitUsage;
    }
    if (job.action == "write") return writeFromFile(c, job, image, result);
    return verifyAgainst(c, job, image.bytes().bytes, result);
}

}  // namespace parvex::cli
