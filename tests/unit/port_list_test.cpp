// The serial ports found: on Linux by a search over a made-up /dev and /sys/class/tty; on
// Windows those the system lists, with ports and a device added for the test.
#include "link/port_list.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "tests/support/link_probe.h"

#include <windows.h>
#else
#include "link/port_list_posix.h"
#endif

#include <string>
#include <vector>

using Names = std::vector<std::string>;

#ifndef _WIN32

TEST(PortList, StableNamesFirstThenAdaptersByNumberThenTheBuiltInPortsThatAreThere)
{
    std::string dev = NewTestFolder(), sys = NewTestFolder();
    dev.pop_back();  // a folder as /dev is named, without the separator at the end
    ASSERT_TRUE(MakeTestFolder(dev + "/serial") && MakeTestFolder(dev + "/serial/by-id"));
    for (std::string name : {"ttyUSB10", "ttyUSB2", "ttyUSB", "ttyUSB1x", "ttyACM0", "ttyS0", "ttyS1",
                             "ttyS10", "tty0", "serial/by-id/usb-Prolific-port0", "serial/by-id/usb-FTDI-port0"})
        WriteWholeFile(dev + "/" + name, "");
    WriteWholeFile(dev + "/serial/by-id/" + std::string(130, 'x'), "");  // too long for a setting
    // The kernel's UART type of each ttyS: 0 for a port the driver could have but does not.
    for (std::string port : {"ttyS0", "ttyS1", "ttyS10"})
        ASSERT_TRUE(MakeTestFolder(sys + port));
    WriteWholeFile(sys + "ttyS0/type", "4\n");
    WriteWholeFile(sys + "ttyS1/type", "0\n");
    WriteWholeFile(sys + "ttyS10/type", "1\n");
    sys.pop_back();

    SerialPortEntry ports[PortListMax];
    int count = FindSerialPorts(dev.c_str(), sys.c_str(), ports, PortListMax);
    Names names;
    for (int i = 0; i < count; i++)
        names.push_back(ports[i].name);
    EXPECT_EQ(names,
              (Names{dev + "/serial/by-id/usb-FTDI-port0", dev + "/serial/by-id/usb-Prolific-port0",
                     dev + "/ttyUSB2", dev + "/ttyUSB10", dev + "/ttyACM0", dev + "/ttyS0", dev + "/ttyS10"}));
    EXPECT_EQ(FindSerialPorts(dev.c_str(), sys.c_str(), ports, 3), 3);
}
#endif

#ifdef _WIN32
// The COM ports the system lists (SERIALCOMM, which Wine fills from the prefix's ports, COM1
// and COM2 the test's line), with two added, by number; each with its device's friendly
// name where the system has one, less the port that name ends with.
TEST(PortList, ComPortsTheSystemListsByNumberWithTheirDevicesNames)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_ALL_ACCESS, &key), 0);
    for (const char* port : {"COM11", "COM4"})
        RegSetValueExA(key, port, 0, REG_SZ, (const BYTE*)port, (DWORD)strlen(port) + 1);
    bool made = MakePortDevice("COM11", "Test Serial Port (COM11)");
    SerialPortEntry ports[PortListMax];
    int count = ListSerialPorts(ports, PortListMax);
    for (const char* port : {"COM11", "COM4"})
        RegDeleteValueA(key, port);
    RegCloseKey(key);
    RemovePortDevice();
    EXPECT_TRUE(made) << "no device made for the friendly name";

    Names ours;  // the host's ports may be listed as well
    for (int i = 0; i < count; i++) {
        char text[2 * TextSize + 4];
        DescribeSerialPort(&ports[i], text, sizeof text);
        if (std::string(" COM1 COM2 COM4 COM11 ").find(std::string(" ") + ports[i].name + " ") != std::string::npos)
            ours.push_back(text);
    }
    EXPECT_EQ(ours, (Names{"COM1", "COM2", "COM4", "COM11 - Test Serial Port"}));
}
#endif
