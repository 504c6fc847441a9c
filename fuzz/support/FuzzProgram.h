#pragma once
// The whole program started once, as its entry starts it, with its game
// timer stopped: nothing runs but what a target calls. Its windows read
// their language file and graphics pack from the run's program folder.

class FuzzProgram {
public:
    // The first call starts the program; later calls find it running.
    static void Start();
};
