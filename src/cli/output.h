#pragma once
// What a command prints: plain lines on stdout, one JSON object with --json, errors and
// warnings on stderr, a progress bar on stderr when it is a terminal.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace parvex::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBus = 1;
inline constexpr int kExitUsage = 2;

// A status panel text without its markup: "Transmission successful".
[[nodiscard]] std::string plainStatusText(std::uint8_t status);
[[nodiscard]] std::string stripMarkup(std::string_view markup);

[[nodiscard]] std::string jsonString(std::string_view text);
// [1,2,3]
[[nodiscard]] std::string jsonBytes(const std::vector<std::uint8_t>& bytes);

// A JSON object built field by field; values are given as JSON text.
class JsonObject {
public:
    JsonObject& raw(std::string_view key, std::string_view json);
    JsonObject& text(std::string_view key, std::string_view value) {
        return raw(key, jsonString(value));
    }
    JsonObject& number(std::string_view key, long long value) {
        return raw(key, std::to_string(value));
    }
    JsonObject& boolean(std::string_view key, bool value) {
        return raw(key, value ? "true" : "false");
    }
    [[nodiscard]] std::string str() const { return "{" + body_ + "}"; }

private:
    std::string body_;
};

class Console {
public:
    Console(bool quiet, bool json, std::FILE* out = stdout, std::FILE* err = stderr);

    // A line of the plain output (nothing with --quiet or --json).
    void line(std::string_view text);
    void error(std::string_view text);
    void warning(std::string_view text);
    // done of total; drawn only on a terminal, never with --quiet or --json.
    void progress(int done, int total);
    void endProgress();
    // The JSON result (only with --json).
    void result(const JsonObject& object);

    [[nodiscard]] bool json() const { return json_; }

private:
    bool quiet_;
    bool json_;
    std::FILE* out_;
    std::FILE* err_;
    bool bar_ = false;
    bool barShown_ = false;
};

// Two lower-case hex digits with 0x, as the i2c tools print bytes.
[[nodiscard]] std::string cHex(std::uint8_t value);
// Two upper-case hex digits, as the windows show bus addresses.
[[nodiscard]] std::string hex2(unsigned value);

}  // namespace parvex::cli
