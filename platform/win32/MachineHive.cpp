#include "platform/win32/MachineHive.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/utsname.h>

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The "name : value" fields of the first processor's block.
std::map<std::string, std::string> FirstProcessor(const std::string& cpuinfo) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(cpuinfo);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t colon = line.find(':');
        if (Trimmed(line).empty() && !fields.empty())
            break;
        if (colon != std::string::npos)
            fields.emplace(Trimmed(line.substr(0, colon)), Trimmed(line.substr(colon + 1)));
    }
    return fields;
}

std::string Field(const std::map<std::string, std::string>& fields, const std::string& name) {
    const auto found = fields.find(name);
    return found == fields.end() ? "" : found->second;
}

std::string Identifier(const std::map<std::string, std::string>& fields,
                       const std::string& machine) {
    const std::string family = Field(fields, "cpu family");
    if (family.empty())
        return machine;
    std::string architecture = "x86";
    if (machine == "x86_64")
        architecture = Field(fields, "vendor_id") == "GenuineIntel" ? "Intel64" : "AMD64";
    return architecture + " Family " + family + " Model " + Field(fields, "model") + " Stepping " +
           Field(fields, "stepping");
}

std::string ProcessorName(const std::map<std::string, std::string>& fields,
                          const std::string& machine) {
    for (const char* name : {"model name", "Processor", "cpu model", "Hardware"}) {
        const std::string value = Field(fields, name);
        if (!value.empty())
            return value;
    }
    return machine;
}

std::string ReadText(const char* path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

RegistryHive MachineHive(const std::string& cpuinfo, const std::string& machine) {
    const auto fields = FirstProcessor(cpuinfo);
    RegistryHive hive;
    RegistryKey& key = hive.Create({"HARDWARE", "DESCRIPTION", "System", "CentralProcessor", "0"});
    key.SetValue("ProcessorNameString", REG_SZ, ProcessorName(fields, machine));
    key.SetValue("Identifier", REG_SZ, Identifier(fields, machine));
    // from_chars: the clock rate is written with "." whatever the locale.
    const std::string mhz = Field(fields, "cpu MHz");
    double rate = 0;
    const auto [end, error] = std::from_chars(mhz.data(), mhz.data() + mhz.size(), rate);
    if (error == std::errc() && end == mhz.data() + mhz.size() && rate > 0 && rate < 4e9)
        key.SetValue("~MHz", REG_DWORD, DwordData(static_cast<DWORD>(std::lround(rate))));
    return hive;
}

RegistryHive MachineHive() {
    utsname names{};
    const std::string machine = uname(&names) == 0 ? names.machine : "";
    return MachineHive(ReadText("/proc/cpuinfo"), machine);
}
