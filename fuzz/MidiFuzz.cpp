// The check of a song file before the synthesizer gets it.

#include "fuzz/support/Check.h"
#include "platform/media/MidiCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    MidiFileFault(InputText(data, size));
    return 0;
}
