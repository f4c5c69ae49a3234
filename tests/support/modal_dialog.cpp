#include "support/modal_dialog.h"

namespace {

constexpr UINT_PTR kProbeTimer = 0x5EED;
constexpr UINT kEndProbe = WM_APP + 0x52;

struct Run {
    DLGPROC proc = nullptr;
    const std::function<void(HWND)>* whileOpen = nullptr;
    UINT awaited = 0;
    bool answered = false;
    INT_PTR answer = 0;
};
// The run whose dialog is being created; each dialog keeps its own run once it initialises,
// so that runs may nest.
Run* creating = nullptr;
constexpr char kRunProperty[] = "VorthalModalRun";

Run& runOf(HWND dialog)
{
    auto* run = static_cast<Run*>(GetPropA(dialog, kRunProperty));
    return run ? *run : *creating;
}

INT_PTR CALLBACK probeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Run& run = runOf(dialog);
    switch (message) {
    case WM_INITDIALOG:
        (void)SetPropA(dialog, kRunProperty, &run);
        break;
    case WM_NCDESTROY:
        (void)RemovePropA(dialog, kRunProperty);
        break;
    case WM_TIMER:
        // The dialog manager shows a dialog once its queue runs empty, and timers fire only
        // then too; wait for the dialog to be on screen before probing it.
        if (wParam != kProbeTimer) {
            break;
        }
        if (!IsWindowVisible(dialog)) {
            return TRUE;
        }
        (void)KillTimer(dialog, kProbeTimer);
        (*run.whileOpen)(dialog);
        // Reached only if whileOpen left the dialog open: the modal loop stops before it otherwise.
        (void)PostMessageA(dialog, kEndProbe, 0, 0);
        return TRUE;
    case kEndProbe:
        (void)EndDialog(dialog, kStillOpen);
        return TRUE;
    default:
        break;
    }
    const INT_PTR result = run.proc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        (void)SetTimer(dialog, kProbeTimer, 1, nullptr);
    }
    if (message == run.awaited && !run.answered) {
        run.answered = true;
        run.answer = result;
    }
    return result;
}

} // namespace

INT_PTR runModal(int templateId, DLGPROC proc, const std::function<void(HWND)>& whileOpen, HWND owner)
{
    Run run;
    run.proc = proc;
    run.whileOpen = &whileOpen;
    Run* const outer = creating;
    creating = &run;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, probeProc,
                                           0);
    creating = outer;
    return result;
}

INT_PTR sendToDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Run& run = runOf(dialog);
    run.awaited = message;
    run.answered = false;
    (void)SendMessageA(dialog, message, wParam, lParam);
    run.awaited = 0;
    return run.answer;
}
