#include "platform/media/MPlayer.h"

#include <QMetaObject>
#include <QObject>
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>

#include "platform/media/MidiCheck.h"

namespace {

const char* const kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr int kChunkSize = 1024;

// SDL_mixer has one music stream for the whole process and reports the end
// of a song through one callback without context, on its audio thread (or
// inside Mix_HaltMusic). This holds what to do when the song that plays now
// ends; whoever stops music clears it first. The callback runs under the
// mixer's lock, so nothing here calls the mixer while holding our own.
class MusicStream {
public:
    static void Install() { Mix_HookMusicFinished(&Finished); }
    static void Claim(std::function<void()> ended) {
        std::lock_guard lock(mutex_);
        ended_ = std::move(ended);
    }
    static void Release() {
        std::lock_guard lock(mutex_);
        ended_ = nullptr;
    }

private:
    static void Finished() {
        std::lock_guard lock(mutex_);
        if (ended_)
            ended_();
        ended_ = nullptr;
    }

    static inline std::mutex mutex_;
    static inline std::function<void()> ended_;
};

void OpenDevice() {
    // The program handles its own signals; SDL must not take SIGINT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
        throw EMCIDeviceError(AnsiString("No sound device: ") + SDL_GetError());
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, kChunkSize) <
        0) {
        const AnsiString error = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        throw EMCIDeviceError("No sound device: " + error);
    }
    MusicStream::Install();
}

void CloseDevice() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// A damaged song is refused before the synthesizer sees it.
void CheckMidiFile(const AnsiString& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (!file.eof() && !file)
        throw EMCIDeviceError("Cannot open " + fileName + ": the file cannot be read");
    if (const char* fault = MidiFileFault(bytes))
        throw EMCIDeviceError("Cannot open " + fileName + ": " + fault);
}

} // namespace

// An open song: the loaded music and the sound device held for it.
class TMediaPlayer::Song {
public:
    explicit Song(const AnsiString& fileName) {
        if (!FileExists(kSoundFont))
            throw EMCIDeviceError(AnsiString("No MIDI synthesizer: the soundfont ") + kSoundFont +
                                  " is missing");
        if (!FileExists(fileName))
            throw EMCIDeviceError("Cannot open " + fileName + ": there is no such file");
        CheckMidiFile(fileName);
        OpenDevice();
        Mix_SetSoundFonts(kSoundFont);
        music_ = Mix_LoadMUS(fileName.c_str());
        if (!music_) {
            const AnsiString error = Mix_GetError();
            CloseDevice();
            throw EMCIDeviceError("Cannot open " + fileName + ": " + error);
        }
    }
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;
    ~Song() {
        Mix_FreeMusic(music_);
        CloseDevice();
    }

    Mix_Music* Music() const { return music_; }

private:
    Mix_Music* music_ = nullptr;
};

TMediaPlayer::TMediaPlayer(TComponent* AOwner)
    : TComponent(AOwner), Mode([this] { return GetMode(); }), receiver_(new QObject) {}

TMediaPlayer::~TMediaPlayer() {
    Close();
}

void TMediaPlayer::Open() {
    Close();
    song_ = std::make_unique<Song>(FileName);
}

void TMediaPlayer::Play() {
    if (!song_)
        throw EMCIDeviceError("The media player has no file open");
    if (GetMode() == mpPlaying)
        return;
    const unsigned play = ++play_;
    reportEnd_ = Notify;
    playing_ = true;
    MusicStream::Claim([this, play] { PostEnd(play); });
    if (Mix_PlayMusic(song_->Music(), 0) < 0) {
        MusicStream::Release();
        playing_ = false;
        throw EMCIDeviceError("Cannot play " + FileName + ": " + Mix_GetError());
    }
}

void TMediaPlayer::Stop() {
    if (!playing_)
        return;
    MusicStream::Release();
    if (Mix_PlayingMusic())
        Mix_HaltMusic();
    playing_ = false;
    PostEnd(play_);
}

void TMediaPlayer::Close() {
    Stop();
    song_.reset();
}

TMPModes TMediaPlayer::GetMode() const {
    if (!song_)
        return mpNotReady;
    return playing_ && Mix_PlayingMusic() ? mpPlaying : mpOpen;
}

// Called on the audio thread at a song's end, or on the caller's by Stop.
void TMediaPlayer::PostEnd(unsigned play) {
    QMetaObject::invokeMethod(
        receiver_.get(), [this, play] { Ended(play); }, Qt::QueuedConnection);
}

void TMediaPlayer::Ended(unsigned play) {
    if (play != play_)
        return;
    playing_ = false;
    if (!reportEnd_)
        return;
    reportEnd_ = false;
    if (OnNotify)
        OnNotify(this);
}
