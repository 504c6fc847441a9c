#pragma once
// The online services inside the running program, against the maker's
// web server of the tests.

#include <string>
#include <vector>

#include "tests/fixtures/MakerServer.h"
#include "tests/support/ControlFixture.h"

class OnlineFixture : public ControlFixture {
protected:
    // The usage-data store: play seconds, launches, customer id.
    static std::vector<AnsiString> UsageStore();
    static void StoreUsage(const std::vector<AnsiString>& values);
    // The program started without music, its first tick not yet run.
    void StartQuietProgram();
    // A two-people match under way (the welcome answered), started without
    // music on these stored settings.
    void StartMatch(std::map<int, AnsiString> settings = {});
};
