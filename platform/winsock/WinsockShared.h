#pragma once
// What the parts of the Winsock layer share: whether it is started, the
// calling thread's last error, and the end of the running lookups.

#include "platform/winsock/Winsock.h"

namespace wsock32 {

// True between the first WSAStartup and the last WSACleanup.
bool Started();

// Sets the calling thread's last error and returns SOCKET_ERROR.
int Fail(int error);
// The same with the Winsock number of the current errno.
int FailFromErrno();
// The Winsock number of an errno value.
int ErrorFromErrno(int errnoValue);

// Fails with WSANOTINITIALISED unless started.
inline bool CheckStarted() {
    if (Started())
        return true;
    Fail(WSANOTINITIALISED);
    return false;
}

// At the last WSACleanup: every lookup still running is cancelled.
void CancelAllLookups();

} // namespace wsock32
