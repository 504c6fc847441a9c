#pragma once
// The link to the partner of a network game, as the controller uses it:
// the connection, the payloads it sends, and the partner's moves, which
// wait until the controller asks the partner for one. The main window
// creates it (GameWindow); the link of the program is net/TVellChatForm.

#include "platform/vcl/SysUtils.h"

class GameLink {
public:
    // Connects, or waits for the partner, under the own player name; false
    // when no connection was made.
    virtual bool StartConnection(const AnsiString& ownName) = 0;
    // This side listened for the partner.
    virtual bool IsServerSide() = 0;
    virtual void SendData(const AnsiString& payload) = 0;
    // The controller waits for the partner's move now.
    virtual void PartnerAsked() = 0;
    // A new game: moves still waiting are dropped.
    virtual void ForgetPartnersMoves() = 0;
    virtual void CloseLink() = 0;
    // Freed once control is back in the main loop: a handler of the link
    // may still be on the stack.
    virtual void Release() = 0;

protected:
    ~GameLink() = default;
};
