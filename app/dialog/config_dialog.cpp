// The configuration dialog's settings logic, the same on both platforms: which control
// shows which setting, what OK checks, the order of the reads and the writes, and the
// reopening of the link. The controls themselves are dialog_items.h.
#include "app/dialog/dialog_items.h"

#include "link/serial_link.h"
#include "protocol/store.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <stdio.h>

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
    char text[TextSize];
    for (const auto& field : Fields) {
        // Each value goes into its control before the next is read (and written back).
        int value = ReadSetting(field.setting, text);
        if (field.isBox) {
            CheckItem(dialog, field.item, value != 0);
        } else {
            // A field takes no more than a setting holds, so what the user sees at OK is
            // what is stored, never a text cut short without a word.
            LimitItemText(dialog, field.item, TextSize - 1);
            SetItemText(dialog, field.item, text);
        }
    }
}

// A rate typed as a whole number of baud that the port can be set to (CheckLinkRate): a
// word, a blank or a rate the port refuses would leave the line at whatever rate it had,
// without a word.
static int CheckRate(WindowHandle dialog)
{
    char rate[TextSize], reason[LinkRateProblemSize], problem[sizeof reason + 16];
    GetItemText(dialog, IDC_RATE, rate, sizeof rate);
    if (CheckLinkRate(rate, reason, sizeof reason))
        return 1;
    snprintf(problem, sizeof problem, "Baud Rate: %s", reason);
    ShowItemProblem(dialog, IDC_RATE, problem);
    return 0;
}

// The directory by the store folder's rule (CheckStoreFolder): a full path (a relative one
// would be resolved against whatever folder the program starts in), ending with the
// separator that received names are joined to, a folder that is there or can be made, and
// can be written in.
static int CheckDirectory(WindowHandle dialog)
{
    char folder[TextSize], reason[3 * TextSize], problem[4 * TextSize];
    GetItemText(dialog, IDC_DIRECTORY, folder, sizeof folder);
    if (CheckStoreFolder(folder, reason, sizeof reason)) {
        SetItemText(dialog, IDC_DIRECTORY, folder);
        return 1;
    }
    snprintf(problem, sizeof problem, "Directory: %s", reason);
    ShowItemProblem(dialog, IDC_DIRECTORY, problem);
    return 0;
}

int SaveConfigDialog(WindowHandle dialog)
{
    if (!CheckRate(dialog) || !CheckDirectory(dialog))
        return 0;
    char text[TextSize];
    int stored = 1;
    for (const auto& field : Fields) {
        if (field.isBox) {
            stored &= PutSetting(SettingKey(field.setting), ItemChecked(dialog, field.item) ? "1" : "0");
        } else {
            GetItemText(dialog, field.item, text, sizeof text);
            stored &= PutSetting(SettingKey(field.setting), text);
        }
    }
    if (!stored) {
        ShowItemProblem(dialog, 0, "The settings file cannot be written: the settings are not stored.");
        return 0;
    }
    // The connect-failure message of a port that does not open comes up over the dialog,
    // which is still on screen.
    OpenLink();
    return 1;
}
