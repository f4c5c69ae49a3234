#include "settings/settings_format.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

struct Key {
    std::string_view name;
    std::int32_t LauncherSettings::*value;
    // How many characters from the value column on are read back.
    std::size_t width;
};

constexpr Key kKeys[] = {
    {"screenWidth", &LauncherSettings::screenWidth, 4},
    {"screenHeight", &LauncherSettings::screenHeight, 4},
    {"screenBPP", &LauncherSettings::screenBPP, 2},
    {"bloom", &LauncherSettings::bloom, 2},
};

// The written form puts " = " between the name and the value; reading skips any three
// characters there.
constexpr std::string_view kSeparator = " = ";
constexpr std::string_view kLineEnd = "\r\n";

// The key whose name the line begins with; no name begins another, so there is one at most.
const Key* keyOf(std::string_view line)
{
    if (line.empty()) {
        return nullptr;
    }
    for (const Key& key : kKeys) {
        // The first byte alone rules out nearly every line of a large file.
        if (line[0] == key.name[0] && line.compare(0, key.name.size(), key.name) == 0) {
            return &key;
        }
    }
    return nullptr;
}

// Calls visit(text, end) for each line in order: its text, and the line end that followed it
// ("\r\n", "\n", or nothing for a last line without one). CR LF and a lone LF end a line; a
// lone CR is an ordinary byte.
template <typename Visit>
void forEachLine(std::string_view file, Visit visit)
{
    std::size_t start = 0;
    while (start < file.size()) {
        const void* newline = std::memchr(file.data() + start, '\n', file.size() - start);
        if (newline == nullptr) {
            visit(file.substr(start), std::string_view());
            return;
        }
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(newline) - file.data());
        const std::size_t textEnd = end > start && file[end - 1] == '\r' ? end - 1 : end;
        visit(file.substr(start, textEnd - start), file.substr(textEnd, end + 1 - textEnd));
        start = end + 1;
    }
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The standard decimal rule: leading white space, an optional sign, then digits up to the
// first other character; 0 without digits. The window is too narrow to overflow.
std::int32_t decimalValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

// The whole key line that the launcher writes for a value, line end included.
std::string writtenLine(const Key& key, std::int32_t value)
{
    char digits[16];
    const auto converted = std::to_chars(digits, digits + sizeof digits, value);
    std::string line;
    line.reserve(key.name.size() + kSeparator.size() + sizeof digits + kLineEnd.size());
    line.append(key.name).append(kSeparator).append(digits, converted.ptr).append(kLineEnd);
    return line;
}

template <typename Sink>
void rewriteInto(std::string_view file, const std::string (&keyLines)[std::size(kKeys)], Sink& sink)
{
    // Lines that come back exactly as they are gather into one run of bytes, copied in one go.
    std::size_t run = 0;
    forEachLine(file, [&](std::string_view text, std::string_view end) {
        const Key* key = keyOf(text);
        if (key == nullptr && end == kLineEnd) {
            return;
        }
        const std::size_t lineStart = static_cast<std::size_t>(text.data() - file.data());
        sink(file.substr(run, lineStart - run));
        if (key != nullptr) {
            sink(keyLines[key - kKeys]);
        } else {
            sink(text);
            sink(kLineEnd);
        }
        run = lineStart + text.size() + end.size();
    });
    sink(file.substr(run));
}

} // namespace

void parseSettings(std::string_view file, LauncherSettings& settings)
{
    forEachLine(file, [&](std::string_view text, std::string_view end) {
        const Key* key = keyOf(text);
        // The line end counts as the character that must follow the name.
        if (key == nullptr || (end.empty() && text.size() == key->name.size())) {
            return;
        }
        // The line end, when the window reaches it, ends the digits as any other character
        // would, so the window can be cut from the text alone. A line too short to reach the
        // value column gives an empty window, hence 0.
        const std::size_t column = key->name.size() + kSeparator.size();
        const std::string_view window = column < text.size() ? text.substr(column, key->width) : std::string_view();
        settings.*(key->value) = decimalValue(window);
    });
}

std::string rewriteSettings(std::string_view file, const LauncherSettings& settings)
{
    std::string keyLines[std::size(kKeys)];
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        keyLines[i] = writtenLine(kKeys[i], settings.*(kKeys[i].value));
    }
    // Sized first, so that a large file needs no more than its own size again.
    std::size_t size = 0;
    auto count = [&](std::string_view bytes) { size += bytes.size(); };
    rewriteInto(file, keyLines, count);
    std::string rewritten(size, '\0');
    char* out = rewritten.data();
    auto copy = [&](std::string_view bytes) {
        if (!bytes.empty()) {
            std::memcpy(out, bytes.data(), bytes.size());
            out += bytes.size();
        }
    };
    rewriteInto(file, keyLines, copy);
    return rewritten;
}
