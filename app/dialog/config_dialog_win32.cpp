// Windows implementation of the configuration dialog: template 104 run by DialogBoxParamA,
// whose modal loop goes on delivering the owner's timer ticks.
#include "app/dialog/config_dialog.h"
#include "app/dialog/dialog_items.h"

#include "resources/resource.h"
#include "ui/program_module_win32.h"

#include <windows.h>

void SetItemText(WindowHandle dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
}

void GetItemText(WindowHandle dialog, int id, char* buffer, int size)
{
    GetDlgItemTextA(dialog, id, buffer, size);
}

void CheckItem(WindowHandle dialog, int id, int checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int ItemChecked(WindowHandle dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void LimitItemText(WindowHandle dialog, int id, int bytes)
{
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, (WPARAM)bytes, 0);
}

void ShowItemProblem(WindowHandle dialog, int id, const char* text)
{
    MessageBoxA(dialog, text, "Tarnwell", MB_ICONERROR);
    // As Tab does: the field gets the focus with its text selected.
    if (id)
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, id), TRUE);
}

// Acts only on a command that is exactly IDOK or IDCANCEL: the button's id with the
// notification code 0 (Enter gives IDOK through the default button, Esc gives IDCANCEL).
// Every other command, such as a field's change notice, is answered and ignored.
static INT_PTR CALLBACK ConfigProc(HWND dialog, UINT message, WPARAM command, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        LoadConfigDialog(dialog);
        return TRUE;  // the focus goes to the first tab stop, the port field
    case WM_COMMAND:
        if ((command == IDOK && SaveConfigDialog(dialog)) || command == IDCANCEL)
            EndDialog(dialog, (INT_PTR)command);
        return TRUE;
    default:
        return FALSE;
    }
}

int ConfigDialog(WindowHandle owner)
{
    return (int)DialogBoxParamA(ProgramModule, MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigProc, 0);
}
