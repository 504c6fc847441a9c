#pragma once
// Every event of the components under test as one line of text, in the
// order they came: what the handlers of the link window would see. Read
// events log the text that ReceiveText returned. Error handlers clear the
// code, as a handler that has dealt with the error does.

#include <string>
#include <vector>

#include "platform/inet/ClientSocket.h"
#include "platform/inet/ServerSocket.h"

std::string ErrorEntry(const std::string& prefix, TErrorEvent event, int code);

struct SocketLog {
    void Watch(TClientSocket& client);
    void Watch(TServerSocket& server);
    // Waits until the log holds `count` entries.
    bool Reaches(size_t count);

    std::vector<std::string> entries;
};
