// For any file and any values: no crash or undefined behaviour, and the rewritten file keeps
// every line, replaces exactly the key lines and reads back the values it was written with.
// The input is four 32-bit values, then the bytes of the file.
#include "settings/settings_format.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Key {
    std::string_view name;
    std::int32_t LauncherSettings::*value;
    std::size_t width;
};

const Key kKeys[] = {
    {"screenWidth", &LauncherSettings::screenWidth, 4},
    {"screenHeight", &LauncherSettings::screenHeight, 4},
    {"screenBPP", &LauncherSettings::screenBPP, 2},
    {"bloom", &LauncherSettings::bloom, 2},
};

constexpr LauncherSettings kUntouched{-7777, -6666, -55, -44};

void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

struct Line {
    std::string_view text;
    bool ended;
};

std::vector<Line> linesOf(std::string_view file)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\n') {
            const std::size_t end = i > start && file[i - 1] == '\r' ? i - 1 : i;
            lines.push_back({file.substr(start, end - start), true});
            start = i + 1;
        }
    }
    if (start < file.size()) {
        lines.push_back({file.substr(start), false});
    }
    return lines;
}

const Key* keyOf(std::string_view text)
{
    const Key* key = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const Key& k) {
        return text.size() >= k.name.size() && std::memcmp(text.data(), k.name.data(), k.name.size()) == 0;
    });
    return key == std::end(kKeys) ? nullptr : key;
}

// The C library's reading of a value window, as the reference for the decimal rule.
std::int32_t windowValue(std::string_view window)
{
    const std::string text(window);
    return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

// What loading the file must give, line by line from the lines' own text.
LauncherSettings expectedLoad(const std::vector<Line>& lines)
{
    LauncherSettings settings = kUntouched;
    for (const Line& line : lines) {
        const Key* key = keyOf(line.text);
        if (key == nullptr || (!line.ended && line.text.size() == key->name.size())) {
            continue;
        }
        const std::size_t column = key->name.size() + 3;
        settings.*(key->value) = column < line.text.size() ? windowValue(line.text.substr(column, key->width)) : 0;
    }
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LauncherSettings saved;
    std::int32_t values[4] = {};
    std::memcpy(values, data, size < sizeof values ? size : sizeof values);
    saved = {values[0], values[1], values[2], values[3]};
    const std::size_t skip = size < sizeof values ? size : sizeof values;
    const std::string_view file(reinterpret_cast<const char*>(data) + skip, size - skip);

    const std::vector<Line> before = linesOf(file);
    LauncherSettings loaded = kUntouched;
    parseSettings(file, loaded);
    const LauncherSettings expected = expectedLoad(before);
    for (const Key& key : kKeys) {
        check(loaded.*(key.value) == expected.*(key.value), "loading reads the last key line's value window");
    }

    const std::string rewritten = rewriteSettings(file, saved);
    const std::vector<Line> after = linesOf(rewritten);
    check(after.size() == before.size(), "the line count is kept");
    std::string joined;
    bool hasLine[4] = {};
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        joined.append(after[i].text).append("\r\n");
        if (const Key* key = keyOf(before[i].text)) {
            hasLine[key - kKeys] = true;
            const std::string written = std::string(key->name) + " = " + std::to_string(saved.*(key->value));
            check(after[i].text == written, "a key line becomes its key's written form");
        } else {
            check(after[i].text == before[i].text, "any other line comes back byte for byte");
        }
    }
    check(joined == rewritten, "every line ends in CR LF");

    LauncherSettings reloaded = kUntouched;
    parseSettings(rewritten, reloaded);
    for (std::size_t k = 0; k < 4; ++k) {
        const Key& key = kKeys[k];
        const std::string digits = std::to_string(saved.*(key.value));
        const std::int32_t readBack = !hasLine[k] ? kUntouched.*(key.value)
                                      : digits.size() <= key.width
                                          ? saved.*(key.value)
                                          : windowValue(std::string_view(digits).substr(0, key.width));
        check(reloaded.*(key.value) == readBack, "a saved value reads back, cut to its window where it does not fit");
    }
    return 0;
}
