// The serial link's logic, the same on both platforms: the order in which a port is opened
// and configured from the settings, and the Esc test after every byte. The port itself is
// serial_port.h.
#include "link/serial_link.h"

#include "link/serial_port.h"
#include "settings/settings.h"
#include "ui/alerts.h"

LinkPort LinkHandle = 0;
char StoreDirectory[TextSize];

void CloseLink(void)
{
    if (PortIsOpen())
        ClosePort();
    LinkHandle = 0;
}

void OpenLink(void)
{
    CloseLink();
    char text[TextSize];
    ReadSetting(SettingPort, text);
    LinkHandle = OpenPort(text);
    if (LinkHandle == LinkOpenFailed) {
        // The other settings are not read: the port they belong to is not there.
        ShowConnectFailure(PortFailureText());
        return;
    }
    int rate = ReadSetting(SettingRate, text);
    int xon = ReadSetting(SettingXon, text) != 0;
    ConfigureLine(rate, xon);
    ReadSetting(SettingDirectory, StoreDirectory);
}

int LinkReadByte(int* value)
{
    *value = 0;
    int ok = PortIsOpen() && ReadPortByte(value);
    // Asked after every read, also a failed one: a held Esc ends the transfer either way.
    if (EscapeHeld())
        ok = 0;
    return ok;
}

int LinkWriteByte(int value)
{
    SetLinkTimeouts(TransferMode);
    int ok = PortIsOpen() && WritePortByte((unsigned char)(value & 0xFF));
    if (EscapeHeld())
        ok = 0;
    return ok;
}
