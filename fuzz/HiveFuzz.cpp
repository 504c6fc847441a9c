// The registry hive file's text form: what parses writes a text that
// parses to the same text again.

#include "fuzz/support/Check.h"
#include "platform/win32/RegistryHive.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text;
    try {
        text = RegistryHive::Parse(InputText(data, size)).Text();
    } catch (const RegistryFormatError&) {
        return 0;
    }
    Check(RegistryHive::Parse(text).Text() == text, "hive text round trip");
    return 0;
}
