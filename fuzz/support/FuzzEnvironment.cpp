#include "fuzz/support/FuzzEnvironment.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ifaddrs.h>
#include <net/if.h>

#include "platform/vcl/Forms.h"
#include "platform/vcl/TestHook.h"
#include "platform/win32/WinBase.h"
#include "tests/support/ProgramData.h"
#include "tests/support/TempFolder.h"

namespace {

void Mandatory(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
}

// The offscreen platform says so for every window operation it leaves out.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith("This plugin does not"))
        return;
    qt_message_output(type, context, message);
}

void StartApplication() {
    static int argc = 1;
    static char name[] = "korvel-fuzz";
    static char* argv[] = {name, nullptr};
    qInstallMessageHandler(QuietQtMessages);
    new QApplication(argc, argv);
    Application->Initialize();
    // Boxes and forms are answered by default; that is no fault here.
    new TestHook([](const AnsiString&) {});
}

} // namespace

FuzzEnvironment& FuzzEnvironment::Enter(const FuzzOptions& options) {
    static FuzzEnvironment* environment = new FuzzEnvironment(options);
    return *environment;
}

FuzzEnvironment::FuzzEnvironment(const FuzzOptions& options)
    : folder_(std::make_unique<TempFolder>("fuzz")), root_(folder_->Path()) {
    programFolder_ = root_ + "program/";
    std::filesystem::create_directories(programFolder_);
    std::filesystem::create_directories(root_ + "config");
    Mandatory("XDG_CONFIG_HOME", root_ + "config");
    Mandatory("XDG_STATE_HOME", root_ + "state");
    Mandatory("XDG_DATA_HOME", root_ + "data");
    Mandatory("KORVEL_OPEN_COMMAND", "/bin/true");
    Mandatory("QT_QPA_PLATFORM", "offscreen");
    Mandatory("SDL_AUDIODRIVER", "dummy");
    Mandatory("LANG", "en_US.UTF-8");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    if (options.programData) {
        setenv("KORVEL_PROGRAM_DIR", KORVEL_FUZZ_PROGRAM_DIR, 0);
        LinkProgramData(programFolder_);
    }
    SetModuleFileName(programFolder_ + "korvel");
    if (options.gui)
        StartApplication();
}

std::string FuzzEnvironment::ScratchFile(const std::string& name) const {
    return root_ + name;
}

void RequireLoopbackOnlyNetwork() {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        std::perror("getifaddrs");
        std::exit(2);
    }
    bool onlyLoopback = true;
    for (const ifaddrs* at = interfaces; at; at = at->ifa_next)
        if (!(at->ifa_flags & IFF_LOOPBACK))
            onlyLoopback = false;
    freeifaddrs(interfaces);
    if (!onlyLoopback) {
        std::fprintf(stderr, "This target follows the host names of its input: run it in a network "
                             "of its own with loopback only (scripts/fuzz does), e.g.\n"
                             "  unshare -rn sh -c 'ip link set lo up && exec TARGET ...'\n");
        std::exit(2);
    }
}
