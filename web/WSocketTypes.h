#pragma once
// The socket components' states, options and events, and the messages of
// their hidden windows.

#include <exception>
#include <functional>

#include "platform/vcl/Classes.h"
#include "platform/vcl/SysSet.h"
#include "platform/win32/Messages.h"

enum TSocketState {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed
};

enum TWSocketOption { wsoNoReceiveLoop, wsoTcpNoDelay };
using TWSocketOptions = Set<TWSocketOption, wsoNoReceiveLoop, wsoTcpNoDelay>;

// Any number can be handed in; the setter accepts only these two.
enum TSocketSendFlags : int { wsSendNormal, wsSendUrgent };

enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };

enum TSocksAuthState { socksAuthStart, socksAuthSuccess, socksAuthFailure, socksAuthNotRequired };

using TDataAvailable = std::function<void(TObject* Sender, WORD Error)>;
using TDataSent = std::function<void(TObject* Sender, WORD Error)>;
using TSendData = std::function<void(TObject* Sender, int BytesSent)>;
using TSessionClosed = std::function<void(TObject* Sender, WORD Error)>;
using TSessionAvailable = std::function<void(TObject* Sender, WORD Error)>;
using TSessionConnected = std::function<void(TObject* Sender, WORD Error)>;
using TDnsLookupDone = std::function<void(TObject* Sender, WORD Error)>;
using TChangeState =
    std::function<void(TObject* Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent =
    std::function<void(TObject* Sender, const std::exception& E, bool& CanAbort)>;
using TLineLimitEvent = std::function<void(TObject* Sender, int RcvdLength, bool& ClearData)>;
using TSocksErrorEvent = std::function<void(TObject* Sender, int Error, const AnsiString& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;

// Messages of a socket's hidden window.
constexpr UINT WM_ASYNCSELECT = WM_USER + 1;
constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;
constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;
constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;
constexpr UINT WM_WSOCKET_RELEASE = WM_USER + 5;
constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;
constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;
