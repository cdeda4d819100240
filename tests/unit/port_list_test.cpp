// The search for serial devices on Linux, over a made-up /dev and /sys/class/tty.
#include "link/port_list_posix.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Names = std::vector<std::string>;

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
