// Windows implementation of the configuration dialog: template 104 run by DialogBoxParamA,
// whose modal loop goes on delivering the owner's timer ticks. The port field is an editable
// drop-down list of the COM ports there are.
#include "app/dialog/config_dialog.h"
#include "app/dialog/dialog_items.h"

#include "link/port_list.h"
#include "resources/resource.h"
#include "ui/app_instance_win32.h"

#include <windows.h>

#include <string.h>

// The ports the port field's list offers, as it was last filled.
static SerialPortEntry Ports[PortListMax];
static int PortCount;

// Posted by the port list's notices: see PutPortNameInField.
enum { PortNameMessage = WM_APP + 1 };

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
    SendDlgItemMessageA(dialog, id, id == IDC_PORT ? CB_LIMITTEXT : EM_LIMITTEXT, (WPARAM)bytes, 0);
}

void ShowItemProblem(WindowHandle dialog, int id, const char* text)
{
    MessageBoxA(dialog, text, "Tarnwell", MB_ICONERROR);
    // As Tab does: the field gets the focus with its text selected.
    if (id)
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, id), TRUE);
}

// The port field's list filled afresh with the ports there are now, "COM5 - USB Serial
// Port" where the device has a name, the port in the field marked as chosen (so that Up and
// Down go on from it); what stands in the field stays.
static void FillPortList(HWND dialog)
{
    char typed[TextSize];
    GetDlgItemTextA(dialog, IDC_PORT, typed, sizeof typed);
    SendDlgItemMessageA(dialog, IDC_PORT, CB_RESETCONTENT, 0, 0);  // empties the field too
    PortCount = ListSerialPorts(Ports, PortListMax);
    for (int i = 0; i < PortCount; i++) {
        char shown[2 * TextSize + 4];
        DescribeSerialPort(&Ports[i], shown, sizeof shown);
        SendDlgItemMessageA(dialog, IDC_PORT, CB_ADDSTRING, 0, (LPARAM)shown);
        if (SameIgnoringCase(Ports[i].name, typed))
            SendDlgItemMessageA(dialog, IDC_PORT, CB_SETCURSEL, (WPARAM)i, 0);
    }
    SetDlgItemTextA(dialog, IDC_PORT, typed);
}

// The port's name alone in the field where the field holds an item's whole text ("COM5 - USB
// Serial Port"): "Port" takes the name. The list puts an item's text in the field when one is
// chosen, and when it drops down at the port in the field, each time after its notice has
// been answered: so the name follows in a message of its own.
static void PutPortNameInField(HWND dialog)
{
    char text[2 * TextSize + 4], shown[2 * TextSize + 4];
    GetDlgItemTextA(dialog, IDC_PORT, text, sizeof text);
    for (int i = 0; i < PortCount; i++) {
        DescribeSerialPort(&Ports[i], shown, sizeof shown);
        if (Ports[i].description[0] && strcmp(shown, text) == 0) {
            SetDlgItemTextA(dialog, IDC_PORT, Ports[i].name);
            SendDlgItemMessageA(dialog, IDC_PORT, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        }
    }
}

// The template's labels are as wide as their text is in 8-point "MS Sans Serif". A system
// that gives the dialog another font (one whose letters run wider for their average width,
// as a font put in its place does) would wrap a label at its last word, and the label's one
// line of height would show only the first ("Serial" for "Serial Port :"). Each label is made
// as wide as its text; where the widest would then reach the fields, every control to the
// right of the labels moves right by as much, and the dialog grows by as much.
static void FitLabels(HWND dialog)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ before = SelectObject(dc, (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0));
    RECT field, gap = {0, 0, 2, 0};
    GetWindowRect(GetDlgItem(dialog, IDC_PORT), &field);
    MapWindowPoints(NULL, dialog, (POINT*)&field, 2);
    MapDialogRect(dialog, &gap);
    int shift = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char kind[16], text[TextSize];
        RECT label;
        SIZE extent;
        if (!GetClassNameA(child, kind, sizeof kind) || lstrcmpiA(kind, "Static") != 0 ||
            !GetWindowTextA(child, text, sizeof text) || !GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent))
            continue;
        GetWindowRect(child, &label);
        MapWindowPoints(NULL, dialog, (POINT*)&label, 2);
        if (extent.cx > label.right - label.left)
            SetWindowPos(child, NULL, 0, 0, extent.cx, label.bottom - label.top, SWP_NOMOVE | SWP_NOZORDER);
        if (label.left + extent.cx + gap.right - field.left > shift)
            shift = label.left + extent.cx + gap.right - field.left;
    }
    SelectObject(dc, before);
    ReleaseDC(dialog, dc);
    if (shift <= 0)
        return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT control;
        GetWindowRect(child, &control);
        MapWindowPoints(NULL, dialog, (POINT*)&control, 2);
        if (control.left >= field.left)
            SetWindowPos(child, NULL, control.left + shift, control.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, NULL, 0, 0, frame.right - frame.left + shift, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
}

// Acts on a command that is exactly IDOK or IDCANCEL: the button's id with the notification
// code 0 (Enter gives IDOK through the default button, Esc gives IDCANCEL); and on the port
// list's notices but those of typing. Every other command, such as a field's change notice,
// is answered and ignored.
static INT_PTR CALLBACK ConfigProc(HWND dialog, UINT message, WPARAM command, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        FitLabels(dialog);
        LoadConfigDialog(dialog);
        FillPortList(dialog);
        return TRUE;  // the focus goes to the first tab stop, the port field
    case WM_COMMAND:
        if (command == MAKEWPARAM(IDC_PORT, CBN_DROPDOWN))
            FillPortList(dialog);
        if (LOWORD(command) == IDC_PORT && HIWORD(command) != CBN_EDITCHANGE && HIWORD(command) != CBN_EDITUPDATE)
            PostMessageA(dialog, PortNameMessage, 0, 0);
        else if ((command == IDOK && SaveConfigDialog(dialog)) || command == IDCANCEL)
            EndDialog(dialog, (INT_PTR)command);
        return TRUE;
    case PortNameMessage:
        PutPortNameInField(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

int ConfigDialog(WindowHandle owner)
{
    return (int)DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigProc, 0);
}
