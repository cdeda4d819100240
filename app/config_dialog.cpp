// The configuration dialog's settings logic, the same on both platforms: which control
// shows which setting, the order of the reads and the writes, and the reopening of the
// link. The controls themselves are dialog_items.h.
#include "app/dialog_items.h"

#include "link/serial_link.h"
#include "resources/resource.h"
#include "settings/settings.h"

// The settings in the order they are read at opening and stored at OK.
static const struct {
    SettingId setting;
    int item;
    int isBox;  // a check box, stored as "1" or "0"; else an edit field, stored as typed
} Fields[] = {
    {SettingPort, IDC_PORT, 0},
    {SettingRate, IDC_RATE, 0},
    {SettingXon, IDC_XON, 1},
    {SettingDirectory, IDC_DIRECTORY, 0},
    {SettingPreserve, IDC_PRESERVE, 1},
};

void LoadConfigDialog(WindowHandle dialog)
{
    char text[SettingSize];
    for (const auto& field : Fields) {
        // Each value goes into its control before the next is read (and written back).
        int value = ReadSetting(field.setting, text);
        if (field.isBox) {
            CheckItem(dialog, field.item, value != 0);
        } else {
            // A field takes no more than a setting holds, so what the user sees at OK is
            // what is stored, never a text cut short without a word.
            LimitItemText(dialog, field.item, SettingSize - 1);
            SetItemText(dialog, field.item, text);
        }
    }
}

void SaveConfigDialog(WindowHandle dialog)
{
    char text[SettingSize];
    for (const auto& field : Fields) {
        if (field.isBox) {
            PutSetting(SettingKey(field.setting), ItemChecked(dialog, field.item) ? "1" : "0");
        } else {
            GetItemText(dialog, field.item, text, sizeof text);
            PutSetting(SettingKey(field.setting), text);
        }
    }
    // The connect-failure message of a port that does not open comes up over the dialog,
    // which is still on screen.
    OpenLink();
}
