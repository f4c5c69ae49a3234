// Gives a dialog a command as a click on one of its buttons would, hidden buttons included: posts
// WM_COMMAND with the button's id to the top-level window of that title. Posted, not sent: a
// command that opens a modal dialog would hold a sent message until that dialog ended.
//   post_command TITLE ID
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        return 2;
    }
    const HWND window = FindWindowA(nullptr, argv[1]);
    const int id = std::atoi(argv[2]);
    return window && PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) ? 0 : 1;
}
