// expert run: the messages of a data file, sent as the expert window sends them.
#include "cli/commands.h"
#include "common/file_io.h"
#include "expert/data_file.h"
#include "expert/message_table.h"
#include "expert/sending.h"
#include "expert/sequence.h"

namespace parvex::cli {

namespace {

class CliRun final : public expert::RunTarget {
public:
    CliRun(Context& c, expert::MessageTable& table, bool ignoreAck)
        : c_(c), table_(table), ignoreAck_(ignoreAck) {}

    void showProgress(const std::string&) override {}
    std::uint8_t SendMessage(int r) override {
        ++sent_;
        return expert::sendWrite(c_.session.link(), table_, r, ignoreAck_);
    }
    std::uint8_t ReceiveMessage(int r) override {
        ++sent_;
        TUSBI2CReport& reply = expert::ReplyReport();
        const std::uint8_t status =
            expert::sendRead(c_.session.link(), table_, r, ignoreAck_, reply);
        if (status != status::kSuccess) return status;
        const TUSBI2CReport& record = table_.record(r);
        const int n = std::min<int>(record[report::kMessageCount], report::kMaxReadBytes);
        const std::string text = expert::dataText(&reply[report::kInData], n);
        c_.console.line("Msg " + std::to_string(r) + " read " +
                        hex2(record[report::kMessageAddress]) + ": " + text);
        JsonObject item;
        item.number("message", r)
            .text("address", hex2(record[report::kMessageAddress]))
            .raw("bytes",
                 jsonBytes({reply.begin() + report::kInData, reply.begin() + report::kInData + n}));
        reads_ += (reads_.empty() ? "" : ",") + item.str();
        return status;
    }

    [[nodiscard]] std::string reads() const { return "[" + reads_ + "]"; }
    [[nodiscard]] int sent() const { return sent_; }

private:
    Context& c_;
    expert::MessageTable& table_;
    bool ignoreAck_;
    std::string reads_;
    int sent_ = 0;
};

}  // namespace

namespace {

std::optional<int> repeatCount(const CommandLine& line) {
    const auto text = line.value("repeat");
    if (!text) return 1;
    const auto n = expert::parseDecimal(*text);
    if (!n || *n < 1) return std::nullopt;
    return *n;
}

}  // namespace

std::optional<std::string> checkExpert(const CommandLine& line) {
    if (line.words.size() != 3 || line.words[1] != "run") return "expert needs run and one FILE";
    if (!repeatCount(line)) return "--repeat needs a count of 1 or more";
    if (int(line.flag("sequence")) + int(line.value("repeat").has_value()) + int(line.flag("all")) >
        1) {
        return "give one of --all, --sequence and --repeat";
    }
    return std::nullopt;
}

int runExpert(Context& c) {
    const std::string& path = c.line.words[2];
    const bool sequence = c.line.flag("sequence");
    const auto repeatText = c.line.value("repeat");
    const int passes = repeatCount(c.line).value_or(1);
    const files::FileContents file = files::readWholeFile(path, expert::kMaxDataFileBytes);
    if (file.error) {
        c.console.error(*file.error);
        return kExitUsage;
    }
    const expert::DataFileContents contents = expert::readDataFile(file.bytes);
    if (!contents.headerOk) {
        c.console.error("\"" + path + "\" is not an expert mode data file");
        return kExitUsage;
    }
    if (contents.error) {
        c.console.error("\"" + path + "\": " + *contents.error);
        return kExitUsage;
    }
    if (contents.cut) c.console.warning(expert::kTooMuchWarning);
    expert::MessageTable table;
    expert::loadIntoTable(contents, table);
    expert::Sequence seq;
    if (contents.sequence) seq.set(*contents.sequence);

    CliRun run(c, table, c.line.flag("ignore-ack"));
    expert::RunResult outcome;
    if (sequence || repeatText) {
        for (int pass = 0; pass < passes && !outcome.stopped; ++pass) {
            outcome = expert::runSequencePass(table, seq, seq.count(), run);
        }
    } else {
        outcome = expert::runSendAll(table, run);
    }
    JsonObject result;
    result.text("command", "expert").text("file", path).raw("reads", run.reads());
    result.number("sent", run.sent());
    if (outcome.error) {
        c.console.error("\"" + path + "\": " + *outcome.error);
        return kExitUsage;
    }
    if (outcome.stopped) return busFailure(c, result, "run stopped", outcome.status);
    result.number("status", outcome.status).text("statusText", plainStatusText(outcome.status));
    c.console.result(result);
    return kExitOk;
}

}  // namespace parvex::cli
