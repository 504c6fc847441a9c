#pragma once
// The class library's media player, as the main window uses it for the
// background music: an invisible component that opens one MIDI song
// (FileName, Open), plays it (Play), stops it (Stop) and lets it go
// (Close). The songs are synthesised with a General MIDI soundfont.
//
// Mode is mpNotReady while nothing is open, mpPlaying while the song plays
// and mpOpen while a song is open but not playing (after Open, Stop or the
// song's end).
//
// With Notify set, a play reports its end through OnNotify on the thread
// that runs the application's event loop: when the song has played to the
// end, and also when Stop or Close cut it short. A notification that is
// still on its way when the next Play starts is dropped.
//
// Open raises EMCIDeviceError when there is no sound device, no soundfont,
// or the file cannot be read as a song; Play raises it when nothing is open.
// Stop and Close do nothing when there is nothing to stop or close.

#include <memory>

#include "platform/vcl/Classes.h"

class QObject;

enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

class TMediaPlayer : public TComponent {
public:
    explicit TMediaPlayer(TComponent* AOwner);
    ~TMediaPlayer() override;

    void Open();
    void Play();
    void Stop();
    void Close();

    AnsiString FileName;
    bool Notify = false;
    ReadOnlyProperty<TMPModes> Mode;
    TNotifyEvent OnNotify;

private:
    class Song;

    TMPModes GetMode() const;
    void PostEnd(unsigned play);
    void Ended(unsigned play);

    std::unique_ptr<Song> song_;
    bool playing_ = false;
    bool reportEnd_ = false;
    unsigned play_ = 0;
    // Lives on the event loop's thread; the end of a song is handed to it.
    std::unique_ptr<QObject> receiver_;
};
