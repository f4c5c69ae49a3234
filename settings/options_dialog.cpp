#include "settings/options_dialog.h"

#include <cstddef>
#include <new>
#include <optional>
#include <string>

#include "resources/resource.h"
#include "settings/display_modes.h"
#include "settings/launcher_settings.h"
#include "settings/resolution_entries.h"
#include "settings/settings_file.h"
#include "shared/window_centring.h"

namespace {

// The entry that carries that list position, or the first entry when there is none.
WPARAM entryOf(HWND resolutions, std::optional<std::size_t> position)
{
    if (position) {
        const LRESULT count = SendMessageA(resolutions, CB_GETCOUNT, 0, 0);
        for (LRESULT entry = 0; entry < count; ++entry) {
            if (SendMessageA(resolutions, CB_GETITEMDATA, entry, 0) == static_cast<LRESULT>(*position)) {
                return static_cast<WPARAM>(entry);
            }
        }
    }
    return 0;
}

// The mode of the selected entry; none when nothing is selected, as after typing in the box.
const DisplayMode* chosenMode(HWND dialog)
{
    const LRESULT entry = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
    if (entry == CB_ERR) {
        return nullptr;
    }
    const LRESULT position = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETITEMDATA, entry, 0);
    if (position < 0 || static_cast<std::size_t>(position) >= displayModeList.size()) {
        return nullptr;
    }
    return &displayModeList[static_cast<std::size_t>(position)];
}

void onOk(HWND dialog)
{
    if (const DisplayMode* mode = chosenMode(dialog)) {
        launcherSettings.screenBPP = mode->bitsPerPixel;
        launcherSettings.screenWidth = mode->width;
        launcherSettings.screenHeight = mode->height;
    }
    // Even without a mode: a Bloom change must still reach the file.
    saveSettings();
    (void)EndDialog(dialog, IDOK);
}

void onBloomClicked(HWND dialog)
{
    // The box checks itself before it notifies, so its state is already the player's choice.
    switch (IsDlgButtonChecked(dialog, IDC_BLOOM)) {
    case BST_UNCHECKED:
        launcherSettings.bloom = 0;
        break;
    case BST_CHECKED:
        launcherSettings.bloom = 1;
        break;
    default:
        // Indeterminate says nothing about bloom.
        break;
    }
}

void onCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        onOk(dialog);
        break;
    case IDCANCEL:
        (void)EndDialog(dialog, IDCANCEL);
        break;
    case IDC_BLOOM:
        onBloomClicked(dialog);
        break;
    default:
        break;
    }
}

void onInitDialog(HWND dialog)
{
    fillOptionsDialog(dialog);
    centreOnScreen(dialog);
}

} // namespace

void fillOptionsDialog(HWND dialog)
{
    (void)CheckDlgButton(dialog, IDC_BLOOM, launcherSettings.bloom != 0 ? BST_CHECKED : BST_UNCHECKED);

    const HWND resolutions = GetDlgItem(dialog, IDC_RESOLUTION);
    try {
        for (std::size_t position = 0; position < displayModeList.size(); ++position) {
            const std::string text = resolutionText(displayModeList[position]);
            const LRESULT entry = SendMessageA(resolutions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            // A failed add gives CB_ERR, and item data set at index -1 would go to every entry.
            if (entry >= 0) {
                (void)SendMessageA(resolutions, CB_SETITEMDATA, static_cast<WPARAM>(entry),
                                   static_cast<LPARAM>(position));
            }
        }
    } catch (const std::bad_alloc&) {
        // No exception may leave a dialog procedure. Without memory for an entry's text the box
        // offers the entries it has.
    }
    // The box sorts by text, so entries move as later ones arrive: look the entry up at the end.
    // With no entries, selecting the first selects nothing.
    (void)SendMessageA(resolutions, CB_SETCURSEL,
                       entryOf(resolutions, currentModePosition(displayModeList, launcherSettings)), 0);
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        (void)EndDialog(dialog, kCloseRequestResult);
        return TRUE;
    default:
        return FALSE;
    }
}
