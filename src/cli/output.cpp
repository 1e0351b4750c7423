#include "cli/output.h"

#include <unistd.h>

#include "adapter/status_texts.h"

namespace parvex::cli {

std::string stripMarkup(std::string_view markup) {
    std::string plain;
    bool inTag = false;
    for (const char c : markup) {
        if (c == '<') {
            inTag = true;
        } else if (c == '>') {
            inTag = false;
        } else if (!inTag) {
            plain += c;
        }
    }
    const auto first = plain.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return plain.substr(first, plain.find_last_not_of(' ') - first + 1);
}

std::string plainStatusText(std::uint8_t status) {
    return stripMarkup(adapter::statusText(status));
}

namespace {

bool validUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t extra = c < 0x80           ? 0
                                  : (c >> 5) == 0x6  ? 1
                                  : (c >> 4) == 0xE  ? 2
                                  : (c >> 3) == 0x1E ? 3
                                                     : 4;
        if (extra == 4 || (extra > 0 && c < 0xC2) || i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace

std::string jsonString(std::string_view text) {
    // Paths and texts in UTF-8 pass as they are; other bytes (a device's revision text, a
    // path in another encoding) are escaped one by one, so the result is always valid JSON.
    const bool utf8 = validUtf8(text);
    std::string json = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    static constexpr char kDigits[] = "0123456789abcdef";
                    json += "\\u00";
                    json += kDigits[c >> 4];
                    json += kDigits[c & 0x0F];
                } else if (c >= 0x80 && !utf8) {
                    // Device texts may hold any byte; JSON must stay valid UTF-8.
                    json += "\\u00";
                    static constexpr char kDigits[] = "0123456789abcdef";
                    json += kDigits[c >> 4];
                    json += kDigits[c & 0x0F];
                } else {
                    json += ch;
                }
        }
    }
    return json + "\"";
}

std::string jsonBytes(const std::vector<std::uint8_t>& bytes) {
    std::string json = "[";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) json += ',';
        json += std::to_string(bytes[i]);
    }
    return json + "]";
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    if (!body_.empty()) body_ += ',';
    body_ += jsonString(key);
    body_ += ':';
    body_ += json;
    return *this;
}

Console::Console(bool quiet, bool json, std::FILE* out, std::FILE* err)
    : quiet_(quiet), json_(json), out_(out), err_(err) {
    bar_ = !quiet_ && !json_ && isatty(fileno(err_)) == 1;
}

void Console::line(std::string_view text) {
    if (quiet_ || json_) return;
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
}

void Console::error(std::string_view text) {
    endProgress();
    std::fprintf(err_, "parvex-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

void Console::warning(std::string_view text) {
    endProgress();
    std::fprintf(err_, "parvex-cli: warning: %.*s\n", static_cast<int>(text.size()), text.data());
}

void Console::progress(int done, int total) {
    if (!bar_ || total <= 0) return;
    constexpr int kWidth = 40;
    const int filled = done * kWidth / total;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, ' ');
    std::fprintf(err_, "\r[%s] %3d%%", bar.c_str(), done * 100 / total);
    std::fflush(err_);
    barShown_ = true;
}

void Console::endProgress() {
    if (!barShown_) return;
    std::fputc('\n', err_);
    barShown_ = false;
}

void Console::result(const JsonObject& object) {
    if (!json_) return;
    const std::string text = object.str();
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
}

std::string cHex(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0x0F];
}

std::string hex2(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string() + kDigits[(value >> 4) & 0x0F] + kDigits[value & 0x0F];
}

}  // namespace parvex::cli
