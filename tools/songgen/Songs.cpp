#include "tools/songgen/Songs.h"

std::vector<MidiFile> ComposeSongs() {
    return {ComposeWaltz(),   ComposeBaroque(), ComposeJazz(),    ComposeJig(),  ComposeBossa(),
            ComposeLullaby(), ComposeCalypso(), ComposeAndante(), ComposeDance()};
}
