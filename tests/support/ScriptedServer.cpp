#include "tests/support/ScriptedServer.h"

#include <utility>

ScriptedServer::ScriptedServer(Script script, int connections)
    : thread_([this, script = std::move(script), connections] {
          for (int i = 0; i < connections; ++i) {
              TestPeer connection = listener_.Accept();
              if (!connection.Valid())
                  return;
              script(connection);
          }
      }) {}

ScriptedServer::~ScriptedServer() {
    thread_.join();
}
