#pragma once
// Audio tests listen through SDL's disk driver: it writes everything the
// sound device would play into a file, in real time, as raw signed 16-bit
// stereo samples at 44100 Hz (the format the player and the move sounds
// ask for).

#include <string>
#include <vector>

class DiskAudio {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;

    DiskAudio();
    ~DiskAudio();
    DiskAudio(const DiskAudio&) = delete;
    DiskAudio& operator=(const DiskAudio&) = delete;

    // How many seconds of sound have been written so far.
    double Seconds() const;

    struct Level {
        int peak;   // largest sample magnitude
        double rms; // root mean square, in sample units
    };
    // The level of what was written between two points in time (seconds).
    Level Measure(double from, double to) const;

    const std::string& Folder() const { return folder_; }

private:
    std::vector<short> Samples() const;

    std::string folder_;
    std::string file_;
};
