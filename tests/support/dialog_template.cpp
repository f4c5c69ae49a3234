#include "support/dialog_template.h"

#include <gtest/gtest.h>

#include <ios>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr std::uint32_t kSetFont = 0x40L;   // DS_SETFONT
constexpr std::uint32_t kShellFont = 0x48L; // DS_SHELLFONT

class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::uint16_t word()
    {
        need(2);
        const auto value = static_cast<std::uint16_t>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    std::uint32_t dword()
    {
        const std::uint32_t low = word();
        return low | static_cast<std::uint32_t>(word()) << 16;
    }
    int coordinate() { return static_cast<std::int16_t>(word()); }
    std::uint8_t byte()
    {
        need(1);
        return data_[at_++];
    }
    void skip(std::size_t count)
    {
        need(count);
        at_ += count;
    }
    void alignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }

    // A zero-ended UTF-16 string; every text of these templates is ASCII.
    std::string string()
    {
        std::string text;
        for (std::uint16_t unit = word(); unit != 0; unit = word()) {
            text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
        }
        return text;
    }
    // A string, or 0xFFFF and an ordinal, which comes back as "#ordinal".
    std::string stringOrOrdinal(bool* isOrdinal = nullptr)
    {
        const std::uint16_t first = word();
        if (isOrdinal) {
            *isOrdinal = first == 0xFFFF;
        }
        if (first == 0xFFFF) {
            return "#" + std::to_string(word());
        }
        at_ -= 2;
        return string();
    }

private:
    void need(std::size_t count) const
    {
        if (count > size_ || at_ > size_ - count) {
            throw std::runtime_error("dialog template ends early");
        }
    }

    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::string predefinedClass(const std::string& ordinal)
{
    static const char* const names[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    const int atom = std::stoi(ordinal.substr(1));
    return atom >= 0x80 && atom <= 0x85 ? names[atom - 0x80] : ordinal;
}

DialogItem readItem(Reader& in, bool extended)
{
    DialogItem item;
    in.alignToDword();
    if (extended) {
        (void)in.dword(); // help id
        item.exStyle = in.dword();
        item.style = in.dword();
    } else {
        item.style = in.dword();
        item.exStyle = in.dword();
    }
    item.x = in.coordinate();
    item.y = in.coordinate();
    item.width = in.coordinate();
    item.height = in.coordinate();
    item.id = extended ? static_cast<int>(static_cast<std::int32_t>(in.dword())) : static_cast<std::int16_t>(in.word());
    item.className = in.stringOrOrdinal(&item.classIsAtom);
    if (item.classIsAtom) {
        item.className = predefinedClass(item.className);
    }
    item.text = in.stringOrOrdinal();
    in.skip(in.word());
    return item;
}

} // namespace

DialogTemplate parseDialogTemplate(const unsigned char* data, std::size_t size)
{
    Reader in(data, size);
    DialogTemplate dialog;
    const std::uint16_t version = in.word();
    const std::uint16_t signature = in.word();
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        (void)in.dword(); // help id
        dialog.exStyle = in.dword();
        dialog.style = in.dword();
    } else {
        dialog.style = version | static_cast<std::uint32_t>(signature) << 16;
        dialog.exStyle = in.dword();
    }
    const int count = in.word();
    dialog.x = in.coordinate();
    dialog.y = in.coordinate();
    dialog.width = in.coordinate();
    dialog.height = in.coordinate();
    dialog.menu = in.stringOrOrdinal();
    dialog.windowClass = in.stringOrOrdinal();
    dialog.title = in.string();
    if ((dialog.style & kSetFont) || (dialog.extended && (dialog.style & kShellFont) == kShellFont)) {
        dialog.pointSize = in.word();
        if (dialog.extended) {
            dialog.weight = in.word();
            dialog.italic = in.byte() != 0;
            dialog.charset = in.byte();
        }
        dialog.font = in.string();
    }
    for (int i = 0; i < count; ++i) {
        dialog.items.push_back(readItem(in, dialog.extended));
    }
    return dialog;
}

void expectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedItem& want = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << i << ", id " << want.id << " \"" << want.text << "\"");
        EXPECT_EQ(item.id, want.id);
        EXPECT_TRUE(item.classIsAtom);
        EXPECT_EQ(item.className, want.className);
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.width, want.width);
        EXPECT_EQ(item.height, want.height);
        EXPECT_EQ(item.style, want.style) << std::hex << item.style;
        EXPECT_EQ(item.exStyle, want.exStyle) << std::hex << item.exStyle;
    }
}

#ifdef _WIN32
DialogTemplate loadDialogTemplate(int id)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!resource) {
        throw std::runtime_error("no dialog template " + std::to_string(id));
    }
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
    return parseDialogTemplate(bytes, SizeofResource(module, resource));
}
#endif
