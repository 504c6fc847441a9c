#pragma once
// Audio tests listen through SDL's disk driver: it writes everything the
// sound device would play into a file, at the pace of a real device, as
// raw signed 16-bit stereo samples at 44100 Hz (the format the player and
// the move sounds ask for). Positions in that file are the device's own
// clock: the tests measure and wait in it, so a slow machine only makes
// them take longer.

#include <string>
#include <vector>

#include "tests/support/Pump.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

class DiskAudio {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;

    // Points SDL at the disk driver and a file of a fresh folder until the
    // object goes.
    DiskAudio();

    // How many seconds of sound have been written so far.
    double Seconds() const;
    // Waits (processing messages) until `seconds` of sound have been
    // written in all, or the device has been closed, after which nothing
    // more is written.
    bool WaitUntilWritten(double seconds, int timeoutMs = WaitBoundMs) const;

    struct Level {
        int peak;   // largest sample magnitude
        double rms; // root mean square, in sample units
    };
    // The level of what was written between two points in time (seconds).
    Level Measure(double from, double to) const;

    // A file in the folder of the test's audio.
    std::string File(const std::string& name) const { return folder_.File(name); }

private:
    std::vector<short> Samples() const;

    TempFolder folder_;
    std::string device_;
    ScopedEnv driver_;
    ScopedEnv output_;
};
