#pragma once
// The game's usage data: play time counts while the main window is the
// active window, and the record holds the version text, the music switch,
// the graphics pack and whether the tutorial was completed, separated by
// ":", with the total play minutes last when asked for.

#include "online/TAbstractIData.h"

class TIData : public TAbstractIData {
public:
    using TAbstractIData::TAbstractIData;

    bool IsPlaying() override;
    AnsiString BuildIData(bool WithPlayTime) override;
};
