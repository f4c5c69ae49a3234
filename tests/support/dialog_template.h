#pragma once

// Reads a compiled dialog template, standard or extended, as the resource compiler stored it,
// so that tests check what the dialog manager gets rather than what the script says.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DialogItem {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int id = 0;
    // A predefined class is stored as an atom; className then holds its name in capitals.
    bool classIsAtom = false;
    std::string className;
    std::string text;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string menu;
    std::string windowClass;
    std::string title;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    int charset = 0;
    std::string font;
    std::vector<DialogItem> items;
};

// A control as a test expects it in a compiled template, its class a predefined atom.
struct ExpectedItem {
    int id;
    const char* className;
    const char* text;
    int x, y, width, height;
    std::uint32_t style;
    std::uint32_t exStyle = 0;
};

// Adds a test failure for each way the template's controls, in order, differ from expected.
void expectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected);

// Throws std::runtime_error when the bytes end before the template does.
DialogTemplate parseDialogTemplate(const unsigned char* data, std::size_t size);

#ifdef _WIN32
// The template with that id from the resources of the running program.
DialogTemplate loadDialogTemplate(int id);
#endif
