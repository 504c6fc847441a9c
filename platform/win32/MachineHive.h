#pragma once
// HKEY_LOCAL_MACHINE as this platform has it: only the key of the first
// processor, "HARDWARE\DESCRIPTION\System\CentralProcessor\0", with
// "ProcessorNameString" (the processor's model name), "Identifier" (as
// Windows words it: "Intel64 Family 6 Model 158 Stepping 10", "AMD64 ...",
// "x86 ..."; on other processors the machine name) and "~MHz" (REG_DWORD,
// the clock rate, left out when the system does not tell it).

#include <string>

#include "platform/win32/RegistryHive.h"

// From /proc/cpuinfo and the machine name of uname.
RegistryHive MachineHive();
// From a /proc/cpuinfo text and a machine name ("x86_64", "aarch64", ...).
RegistryHive MachineHive(const std::string& cpuinfo, const std::string& machine);
