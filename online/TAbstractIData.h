#pragma once
// Usage data: a few counters per user (launches, play time) and the
// customer id that the maker's web server hands out, kept in a registry
// key, and the request that reports a usage record to that server. What
// counts as playing and which values the record holds belong to the game
// (TIData).
//
// The store's values: 0 total play seconds, 1 program launches, 2 the
// customer id ("0" until one was issued), each a decimal text. A value
// that is no decimal number counts as 0.

#include <cstdint>

#include "myunits/singleton.h"
#include "platform/vcl/SysUtils.h"

class TObject;
class TSettings;
class TTimer;

class TAbstractIData : public Singleton<TAbstractIData> {
public:
    // Counts this launch in the store under RegPath (HKEY_CURRENT_USER).
    TAbstractIData(const AnsiString& URL, const AnsiString& RegPath, const AnsiString& AppName);
    virtual ~TAbstractIData();
    TAbstractIData(const TAbstractIData&) = delete;
    TAbstractIData& operator=(const TAbstractIData&) = delete;

    // Whether play time counts at this moment.
    virtual bool IsPlaying() = 0;
    // The usage record.
    virtual AnsiString BuildIData(bool WithPlayTime) = 0;

    int32_t GetTotalMinutes();
    // Minutes played since this process started.
    int32_t GetSessionMinutes();
    // Reports the record with the customer id and keeps the id that an
    // accepted reply hands out; a failed request changes nothing and is
    // silent.
    void SendIData();
    // Play time counts from here on, every ten seconds in which IsPlaying
    // holds; the play timer is created stopped.
    void StartPlayTimer();
    void OnPlayTimer(TObject* Sender);

protected:
    AnsiString URL;
    AnsiString AppName;
    TTimer* PlayTimer;
    TSettings* Store;
    int32_t SessionSeconds;
};
