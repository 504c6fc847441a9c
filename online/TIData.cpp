#include "online/TIData.h"

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "myunits/Utils.h"

bool TIData::IsPlaying() {
    return MainWindow() && MainWindow()->Active;
}

AnsiString TIData::BuildIData(bool WithPlayTime) {
    VellGameControl* game = MainWindow()->Game;
    AnsiString record = GetVersionString() + ":" + game->GetSetting(GameSetting::MusicOn) + ":" +
                        game->GetSetting(GameSetting::GraphicsSet) + ":" +
                        game->GetSetting(GameSetting::TutorialCompleted);
    if (WithPlayTime)
        record += ":" + IntToStr(GetTotalMinutes());
    return record;
}
