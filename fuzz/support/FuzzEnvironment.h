#pragma once
// What every fuzz target stands on, made once before the first input: a
// registry hive, user folders and a program folder of the run's own under
// $TMPDIR, never the real home; optionally the platform's application
// object on Qt's offscreen platform with a test hook that answers every
// message box and modal form, and the build's data files in the program
// folder. Nothing of it is freed: the process ends with the run.

#include <memory>
#include <string>

class TempFolder;

struct FuzzOptions {
    // The application object, for targets that make windows or wait on
    // the event loop.
    bool gui = false;
    // Links the build's data files (language file, packs) into the program
    // folder, for targets that start the program's windows.
    bool programData = false;
};

class FuzzEnvironment {
public:
    // The first call makes the environment; later calls return it.
    static FuzzEnvironment& Enter(const FuzzOptions& options);

    // The program folder, ending with "/".
    const std::string& ProgramFolder() const { return programFolder_; }
    // A scratch file of the run's own.
    std::string ScratchFile(const std::string& name) const;

private:
    explicit FuzzEnvironment(const FuzzOptions& options);

    std::unique_ptr<TempFolder> folder_;
    std::string root_;
    std::string programFolder_;
};

// Ends the process unless it has a network of its own with nothing but
// the loopback interface: the targets whose input names hosts (redirects,
// proxies) must not be able to reach any other machine. scripts/fuzz runs
// them so.
void RequireLoopbackOnlyNetwork();
