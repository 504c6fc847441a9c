// The language file: the input is the file, plain or enciphered ("mode=enc"
// on its first line); a few texts are looked up by number, as the windows
// look up theirs. A text that is missing is reported in a box (answered).

#include <fstream>

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "myunits/LANGUAGE.h"
#include "myunits/TGlobalBlowFish.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const std::string file =
        FuzzEnvironment::Enter({.gui = true}).ScratchFile("Languages.rc");
    static TGlobalBlowFish* cipher = new TGlobalBlowFish();
    (void)cipher;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    TMyLanguages languages(file, true);
    for (const int number : {1, 7, 30, 207, 299, 2001})
        languages.GetString(number);
    return 0;
}
