#include "report_text.h"

#include <cstdio>

#include "utf.h"

namespace fieldpilot {

namespace {

constexpr char32_t kDelete = 0x7F;
constexpr char32_t kFirstC1 = 0x80;
constexpr char32_t kLastC1 = 0x9F;
constexpr char32_t kLineSeparator = 0x2028;
constexpr char32_t kParagraphSeparator = 0x2029;

void appendHex(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

}  // namespace

std::string escapedForReport(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const utf::Decoded decoded = utf::decode(text);
        const std::string_view sequence = text.substr(0, decoded.length);
        text.remove_prefix(decoded.length);
        const char32_t c = decoded.codePoint;
        if (!decoded.wellFormed) {
            appendHex(out, "\\x%02X", static_cast<unsigned char>(sequence.front()));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == kDelete) {
            appendHex(out, "\\x%02X", static_cast<unsigned>(c));
        } else if ((c >= kFirstC1 && c <= kLastC1) || c == kLineSeparator ||
                   c == kParagraphSeparator) {
            appendHex(out, "\\u{%04X}", static_cast<unsigned>(c));
        } else {
            out += sequence;
        }
    }
    return out;
}

}  // namespace fieldpilot
