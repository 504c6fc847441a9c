#pragma once
// sndPlaySoundA: plays a WAVE file on the sound device, by default to its
// end before returning, with SND_ASYNC in the background. One sound plays
// at a time: a new one cuts off the one still playing, and a null name
// stops it and lets the sound device go. Returns FALSE when the file cannot
// be read or no sound device opens; the device is opened by the first sound
// and tried again by later ones until it opens.

#include "platform/win32/WinTypes.h"

constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_FILENAME = 0x00020000;

BOOL sndPlaySoundA(LPCSTR lpszSound, UINT fuSound);
