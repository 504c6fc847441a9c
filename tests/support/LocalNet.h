#pragma once
// What the network tests ask of the machine: free ports on 127.0.0.1, the
// process's open descriptors, the machine's addresses, and waiting for a
// socket in a way that keeps the application working.

#include <functional>
#include <string>
#include <vector>

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
int FreePort();

// The number of open file descriptors of this process.
int OpenDescriptors();

// The machine's IPv4 addresses as `hostname -I` lists them, in its order.
std::vector<std::string> HostAddresses();

// Waits until `ready` holds, polling `fd` for `events` meanwhile. On the
// application's thread the application's messages are processed while it
// waits, since the component at the other end of a test connection lives
// on them; on any other thread (a scripted server's) it only polls.
bool WaitOnSocket(int fd, short events, const std::function<bool()>& ready, int timeoutMs);
