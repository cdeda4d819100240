// Linux (FLTK) implementation of the configuration dialog: template 104 laid out in pixels
// through the dialog units, and run modally with Fl::wait() until it hides, so that the
// main window's timeouts go on firing inside it as timer ticks do in a Windows modal loop.
#include "app/dialog/config_dialog.h"
#include "app/dialog/dialog_items.h"

#include "link/port_list.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "ui/windows_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

#include <stdint.h>
#include <stdio.h>

#include <string>

// How the open dialog ended: IDOK or IDCANCEL; 0 while it runs.
static int Result;

// The devices that the port menu offered when it was last opened.
static SerialPortEntry Ports[PortListMax];

// An edit field whose limit counts bytes, as a setting does. FLTK's maximum_size() counts
// UTF-8 characters, and 127 of those can take far more than 127 bytes. As Windows does, what
// is typed or pasted is kept as far as it fits, here to the last whole character.
class SettingField : public Fl_Input {
public:
    SettingField() : Fl_Input(0, 0, 0, 0) {}

    int handle(int event) override
    {
        if (event != FL_KEYBOARD && event != FL_PASTE)
            return Fl_Input::handle(event);
        std::string before(value(), (size_t)size());
        int cursor = position(), selected = mark();
        int start = cursor < selected ? cursor : selected;
        int used = Fl_Input::handle(event);
        int over = size() - maximum_size();
        if (over <= 0)
            return used;
        // The new text stands from `start` to the cursor: its end goes.
        int end = position(), cut = end - over;
        while (cut > start && (value()[cut] & 0xC0) == 0x80)
            cut--;
        if (cut >= start)
            replace(cut, end, nullptr, 0);
        // Any other edit that would overflow is undone whole.
        if (size() > maximum_size()) {
            value(before.data(), (int)before.size());
            position(cursor, selected);
        }
        return used;
    }
};

static void FillPortMenu(Fl_Menu_Button* menu);

// The menu beside the port field, filled with the devices found at the moment it opens.
class PortMenu : public Fl_Menu_Button {
public:
    PortMenu() : Fl_Menu_Button(0, 0, 0, 0) {}

    int handle(int event) override
    {
        if (event == FL_PUSH)
            FillPortMenu(this);
        return Fl_Menu_Button::handle(event);
    }
};

// A control is found by its id, which it carries as its argument (the callback's data).
static Fl_Widget* Item(WindowHandle dialog, int id)
{
    for (int i = 0; i < dialog->children(); i++) {
        if (dialog->child(i)->argument() == id)
            return dialog->child(i);
    }
    return nullptr;
}

static Fl_Input* Field(WindowHandle dialog, int id)
{
    return dynamic_cast<Fl_Input*>(Item(dialog, id));
}

static Fl_Check_Button* Box(WindowHandle dialog, int id)
{
    return dynamic_cast<Fl_Check_Button*>(Item(dialog, id));
}

void SetItemText(WindowHandle dialog, int id, const char* text)
{
    if (Fl_Input* field = Field(dialog, id))
        field->value(text);
}

void GetItemText(WindowHandle dialog, int id, char* buffer, int size)
{
    Fl_Input* field = Field(dialog, id);
    snprintf(buffer, (size_t)size, "%s", field ? field->value() : "");
}

void CheckItem(WindowHandle dialog, int id, int checked)
{
    if (Fl_Check_Button* box = Box(dialog, id))
        box->value(checked != 0);
}

int ItemChecked(WindowHandle dialog, int id)
{
    Fl_Check_Button* box = Box(dialog, id);
    return box && box->value();
}

void LimitItemText(WindowHandle dialog, int id, int bytes)
{
    // Characters never outnumber bytes: FLTK's own limit refuses typing in place, and
    // SettingField catches the text of many bytes a character.
    if (Fl_Input* field = Field(dialog, id))
        field->maximum_size(bytes);
}

// --- Ending ----------------------------------------------------------------------------

static void EndDialog(Fl_Widget* control, int result)
{
    Fl_Window* dialog = control->as_window() ? control->as_window() : control->window();
    Result = result;
    dialog->hide();
}

// OK: a click, Space on the focused button, or Enter anywhere: the return button takes
// Enter as its shortcut whenever the focused control has no use for it.
static void Ok(Fl_Widget* button, void*)
{
    if (SaveConfigDialog(button->window()))
        EndDialog(button, IDOK);
}

void ShowItemProblem(WindowHandle dialog, int id, const char* text)
{
    // FLTK makes its message window transient for the window shown last: the dialog.
    fl_message_title("Tarnwell");
    fl_alert("%s", text);
    if (Fl_Input* field = id ? Field(dialog, id) : nullptr) {
        field->take_focus();
        field->position(field->size(), 0);
    }
}

// Cancel: the button, and the window's own callback, which FLTK runs for Esc and for a
// close request from the window manager.
static void Cancel(Fl_Widget* control, void*)
{
    EndDialog(control, IDCANCEL);
}

// --- The port menu ---------------------------------------------------------------------

static void PickPort(Fl_Widget* menu, void* index)
{
    Fl_Window* dialog = menu->window();
    SetItemText(dialog, IDC_PORT, Ports[(intptr_t)index].name);
    Field(dialog, IDC_PORT)->take_focus();
}

static void FillPortMenu(Fl_Menu_Button* menu)
{
    menu->clear();
    int count = ListSerialPorts(Ports, PortListMax);
    for (int i = 0; i < count; i++) {
        // Added under a plain label and then named: add() reads a '/' as a submenu path.
        int item = menu->add("port", 0, PickPort, (void*)(intptr_t)i);
        menu->replace(item, Ports[i].name);
    }
    if (count == 0)
        menu->add("No serial device found", 0, nullptr, nullptr, FL_MENU_INACTIVE);
}

// --- Layout ------------------------------------------------------------------------------

// FLTK draws a left-aligned label 3 pixels inside its box, and a check box's square 2
// pixels inside its widget; Windows draws both at the control's left edge.
enum { LabelInset = 3, CheckInset = 2 };

// Puts a control where the template has it (left, top, width, height in dialog units),
// shifted left by `inset` pixels, in the dialog font, carrying its id.
static void Place(Fl_Widget* control, int id, int left, int top, int width, int height, int inset = 0)
{
    control->resize(DialogWidth(left) - inset, DialogHeight(top), DialogWidth(width) + inset,
                    DialogHeight(height));
    control->labelfont(DialogFontFace);
    control->labelsize(DialogFontSize());
    control->argument(id);
}

static void AddField(int id, int left, int top, int width, int height)
{
    SettingField* field = new SettingField();
    Place(field, id, left, top, width, height);
    field->textfont(DialogFontFace);
    field->textsize(DialogFontSize());
}

static void AddBox(int id, int left, int top, int width, int height)
{
    Fl_Check_Button* box = new Fl_Check_Button(0, 0, 0, 0);
    Place(box, id, left, top, width, height, CheckInset);
    box->labelsize(DesktopPixels(13));  // the side of the square, as Windows draws it
}

static void AddButton(Fl_Button* button, int id, int left, int top, Fl_Callback* action)
{
    Place(button, id, left, top, 50, 14);
    button->callback(action);
}

static void AddLabel(const char* text, int left, int top, int width, int height)
{
    Fl_Box* label = new Fl_Box(0, 0, 0, 0, text);
    Place(label, 0, left, top, width, height, LabelInset);
    label->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
}

static Fl_Window* MakeDialog(int x, int y)
{
    Fl_Window* dialog =
        new Fl_Window(x, y, DialogWidth(243), DialogHeight(87), "Tarnwell Configuration");
    // In the template's order, which is also the order of Tab.
    AddField(IDC_PORT, 69, 7, 103, 14);
    AddField(IDC_RATE, 69, 25, 103, 14);
    AddBox(IDC_XON, 69, 43, 16, 8);
    AddField(IDC_DIRECTORY, 69, 55, 103, 14);
    AddButton(new Fl_Return_Button(0, 0, 0, 0, "OK"), IDOK, 186, 7, Ok);
    AddButton(new Fl_Button(0, 0, 0, 0, "Cancel"), IDCANCEL, 186, 24, Cancel);
    AddLabel("Serial Port :", 7, 10, 37, 8);
    AddLabel("Baud Rate :", 7, 28, 39, 8);
    AddLabel("XON/XOFF :", 7, 43, 42, 8);
    AddLabel("Directory :", 7, 58, 33, 8);
    AddBox(IDC_PRESERVE, 69, 73, 16, 8);
    AddLabel("Preserve Name :", 7, 73, 54, 8);
    // Beyond the template: the menu of the devices found, in the gap between the port field
    // and OK. Tab passes it by, so that Tab runs as on Windows.
    PortMenu* menu = new PortMenu();
    Place(menu, 0, 175, 7, 9, 14);
    menu->textfont(DialogFontFace);
    menu->textsize(DialogFontSize());
    menu->clear_visible_focus();
    menu->tooltip("Serial devices found on this computer");
    dialog->end();
    dialog->callback(Cancel);
    return dialog;
}

int ConfigDialog(WindowHandle owner)
{
    int x, y;
    OwnerClientOrigin(owner, &x, &y);
    Fl_Window* dialog = MakeDialog(x, y);
    LoadConfigDialog(dialog);
    dialog->set_modal();
    // Without a close control, as the template has no system menu; where a window manager
    // draws one all the same, its request runs the window's callback: Cancel.
    ShowOwnedWindow(dialog, owner, 0);
    // The focus starts in the port field with its text selected, as Windows puts it.
    Fl_Input* port = Field(dialog, IDC_PORT);
    port->take_focus();
    port->position(port->size(), 0);

    Result = 0;
    while (dialog->shown())
        Fl::wait();
    delete dialog;
    return Result ? Result : IDCANCEL;
}
