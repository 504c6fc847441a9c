#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/MachineHive.h"

namespace {

struct Case {
    const char* machine;
    std::string cpuinfo;
    const char* name;
    const char* identifier;
    int mhz; // -1: no "~MHz" value
};

TEST(MachineHive, DescribesTheFirstProcessorAsWindowsWordsIt) {
    const std::vector<Case> cases = {
        {"x86_64",
         "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
         "model name\t: Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz\nstepping\t: 10\n"
         "cpu MHz\t\t: 3191.998\n\nprocessor\t: 1\nmodel name\t: second\n",
         "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz", "Intel64 Family 6 Model 158 Stepping 10", 3192},
        {"x86_64",
         "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel\t\t: 1\n"
         "model name\t: AMD EPYC\nstepping\t: 2\ncpu MHz\t\t: 1996.250\n",
         "AMD EPYC", "AMD64 Family 23 Model 1 Stepping 2", 1996},
        {"i686",
         "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 15\n"
         "model name\t: Intel(R) Core(TM)2 CPU\nstepping\t: 6\ncpu MHz\t\t: 2400.000\n",
         "Intel(R) Core(TM)2 CPU", "x86 Family 6 Model 15 Stepping 6", 2400},
        {"aarch64",
         "processor\t: 0\nBogoMIPS\t: 108.00\nCPU implementer\t: 0x41\nCPU part\t: 0xd0c\n",
         "aarch64", "aarch64", -1},
        {"armv7l", "processor\t: 0\nmodel name\t: ARMv7 Processor rev 4 (v7l)\ncpu MHz : fast\n",
         "ARMv7 Processor rev 4 (v7l)", "armv7l", -1},
        {"x86_64", "", "x86_64", "x86_64", -1},
    };
    for (const Case& c : cases) {
        const RegistryHive hive = MachineHive(c.cpuinfo, c.machine);
        const RegistryKey* key =
            hive.Find({"hardware", "Description", "SYSTEM", "centralprocessor", "0"});
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->FindValue("ProcessorNameString")->Data, c.name);
        EXPECT_EQ(key->FindValue("Identifier")->Data, c.identifier);
        const RegistryValue* mhz = key->FindValue("~MHz");
        if (c.mhz < 0) {
            EXPECT_EQ(mhz, nullptr) << c.name;
        } else {
            ASSERT_NE(mhz, nullptr) << c.name;
            EXPECT_EQ(mhz->Type, REG_DWORD);
            EXPECT_EQ(DwordValue(mhz->Data), static_cast<DWORD>(c.mhz));
        }
    }
}

} // namespace
