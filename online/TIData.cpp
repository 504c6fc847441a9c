#include "online/TIData.h"

#include "game/gamecontrol.h"
#include "myunits/Utils.h"
#include "ui/TForm1.h"

bool TIData::IsPlaying() {
    return Form1 && Form1->Active;
}

AnsiString TIData::BuildIData(bool WithPlayTime) {
    VellGameControl* game = Form1->Game;
    AnsiString record = GetVersionString() + ":" + game->GetSetting(GameSetting::MusicOn) + ":" +
                        game->GetSetting(GameSetting::GraphicsSet) + ":" +
                        game->GetSetting(GameSetting::TutorialCompleted);
    if (WithPlayTime)
        record += ":" + IntToStr(GetTotalMinutes());
    return record;
}
