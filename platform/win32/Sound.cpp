#include "platform/win32/Sound.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

namespace {

constexpr int kChannel = 0;
constexpr int kChunkSize = 1024;
constexpr Uint32 kPollMilliseconds = 5;

// The one channel that move sounds play on and the sound it holds; the
// device stays open from the first sound until a null name or the end of
// the program.
class WaveOut {
public:
    WaveOut() = default;
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;
    ~WaveOut() { Release(); }

    bool Play(const char* fileName, bool wait) {
        if (!Open())
            return false;
        Mix_Chunk* chunk = Mix_LoadWAV(fileName);
        if (!chunk)
            return false;
        Stop();
        chunk_ = chunk;
        if (Mix_PlayChannel(kChannel, chunk_, 0) < 0) {
            Stop();
            return false;
        }
        while (wait && Mix_Playing(kChannel))
            SDL_Delay(kPollMilliseconds);
        return true;
    }

    // Stops the sound and lets the device go until the next one.
    void Release() {
        Stop();
        if (!open_)
            return;
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

private:
    void Stop() {
        if (!chunk_)
            return;
        Mix_HaltChannel(kChannel);
        Mix_FreeChunk(chunk_);
        chunk_ = nullptr;
    }

    bool Open() {
        if (open_)
            return true;
        // The program handles its own signals; SDL must not take SIGINT.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
            return false;
        if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS,
                          kChunkSize) < 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        open_ = true;
        return true;
    }

    bool open_ = false;
    Mix_Chunk* chunk_ = nullptr;
};

WaveOut& Device() {
    static WaveOut device;
    return device;
}

} // namespace

BOOL sndPlaySoundA(LPCSTR lpszSound, UINT fuSound) {
    if (!lpszSound) {
        Device().Release();
        return TRUE;
    }
    return Device().Play(lpszSound, (fuSound & SND_ASYNC) == 0) ? TRUE : FALSE;
}
