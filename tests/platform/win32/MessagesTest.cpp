#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/win32/Messages.h"
#include "tests/support/Pump.h"

namespace {

// The processor time of the calling thread, in seconds.
double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A hidden window that records what it receives.
class Recorder {
public:
    Recorder() : window_(AllocateHWnd([this](TMessage& m) { Receive(m); })) {}
    ~Recorder() { DeallocateHWnd(window_); }

    HWND Window() const { return window_; }
    const std::vector<UINT>& Received() const { return received_; }
    std::function<void(TMessage&)> onMessage;

private:
    void Receive(TMessage& message) {
        received_.push_back(message.Msg);
        message.Result = static_cast<LRESULT>(message.WParam) + 1;
        if (onMessage)
            onMessage(message);
    }

    HWND window_;
    std::vector<UINT> received_;
};

TEST(Messages, PostedMessagesArriveLaterInOrder) {
    Recorder recorder;
    for (UINT m = WM_USER + 1; m <= WM_USER + 5; ++m)
        ASSERT_TRUE(PostMessage(recorder.Window(), m, 0, 0));
    EXPECT_TRUE(recorder.Received().empty());
    ASSERT_TRUE(PumpUntil([&] { return recorder.Received().size() == 5; }));
    EXPECT_EQ(recorder.Received(),
              (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4, WM_USER + 5}));
}

TEST(Messages, MessagesPostedFromAnotherThreadRunOnTheWindowsThread) {
    Recorder recorder;
    const std::thread::id mainThread = std::this_thread::get_id();
    std::vector<std::thread::id> seenOn;
    recorder.onMessage = [&](TMessage&) { seenOn.push_back(std::this_thread::get_id()); };
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i)
            PostMessage(recorder.Window(), WM_USER + 1, i, 0);
    });
    poster.join();
    ASSERT_TRUE(PumpUntil([&] { return seenOn.size() == 100; }));
    for (const std::thread::id id : seenOn)
        EXPECT_EQ(id, mainThread);
}

TEST(Messages, AMessageThatPostsAnotherLeavesItForTheNextRound) {
    Recorder recorder;
    recorder.onMessage = [&](TMessage&) { PostMessage(recorder.Window(), WM_USER + 2, 0, 0); };
    PostMessage(recorder.Window(), WM_USER + 1, 0, 0);
    // Returns although every message brings another: one round at a time,
    // so the loop gets back to timers and sockets.
    Application->ProcessMessages();
    EXPECT_GE(recorder.Received().size(), 1u);
    EXPECT_LE(recorder.Received().size(), 2u);
    recorder.onMessage = nullptr;
}

TEST(Messages, AWindowThatIsGoneGetsNothing) {
    auto recorder = std::make_unique<Recorder>();
    const HWND window = recorder->Window();
    std::vector<UINT> received;
    recorder->onMessage = [&](TMessage& m) { received.push_back(m.Msg); };
    PostMessage(window, WM_USER + 1, 0, 0);
    recorder.reset();
    PumpFor(20);
    EXPECT_TRUE(received.empty());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessage(window, WM_USER + 1, 0, 0));
    // A fresh window never takes over the old handle.
    Recorder next;
    EXPECT_NE(next.Window(), window);
}

TEST(Messages, AWindowMayDestroyItselfWhileHandlingAMessage) {
    HWND window = nullptr;
    int handled = 0;
    window = AllocateHWnd([&](TMessage&) {
        ++handled;
        DeallocateHWnd(window);
    });
    PostMessage(window, WM_USER + 1, 0, 0);
    PostMessage(window, WM_USER + 2, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return handled > 0; }));
    PumpFor(20);
    EXPECT_EQ(handled, 1);
}

TEST(Messages, AnExceptionInAWindowProcedureStaysThere) {
    Recorder recorder;
    recorder.onMessage = [](TMessage& m) {
        if (m.Msg == WM_USER + 1)
            throw std::runtime_error("handler failed");
    };
    PostMessage(recorder.Window(), WM_USER + 1, 0, 0);
    PostMessage(recorder.Window(), WM_USER + 2, 0, 0);
    testing::internal::CaptureStderr();
    const bool both = PumpUntil([&] { return recorder.Received().size() == 2; });
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(both);
    EXPECT_NE(log.find("handler failed"), std::string::npos);
}

LRESULT classWindowCalls = 0;
LRESULT CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_USER + 7) {
        classWindowCalls += static_cast<LRESULT>(wParam);
        return GetWindowLongPtrA(window, 0);
    }
    return 0;
}

TEST(Messages, ClassWindowsCarryTheirExtraBytes) {
    WNDCLASSA windowClass{0, &CountingProcedure, 0, 2 * sizeof(LONG_PTR), nullptr, "TestClass"};
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    EXPECT_EQ(RegisterClassA(&windowClass), 0) << "a name is registered once";
    WNDCLASSA found{};
    EXPECT_TRUE(GetClassInfoA(nullptr, "TESTCLASS", &found)) << "names ignore case";
    EXPECT_EQ(found.cbWndExtra, static_cast<int>(2 * sizeof(LONG_PTR)));
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);

    const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "TestClass", "", WS_POPUP, 0, 0, 0, 0,
                                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(window, 0), 0) << "extra bytes start at 0";
    EXPECT_EQ(SetWindowLongPtrA(window, 0, 1234), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, sizeof(LONG_PTR), 99), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, 0), 1234);
    // Outside the extra bytes nothing is stored.
    EXPECT_EQ(SetWindowLongPtrA(window, sizeof(LONG_PTR) + 1, 5), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, sizeof(LONG_PTR) + 1), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, -1), 0);

    classWindowCalls = 0;
    PostMessage(window, WM_USER + 7, 3, 0);
    PostMessage(window, WM_USER + 8, 100, 0);
    ASSERT_TRUE(PumpUntil([] { return classWindowCalls == 3; }));
    const MSG direct{window, WM_USER + 7, 4, 0};
    EXPECT_EQ(DispatchMessageA(&direct), 1234);
    EXPECT_EQ(classWindowCalls, 7);

    EXPECT_FALSE(UnregisterClassA("TestClass", nullptr)) << "a window of the class exists";
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassA("TestClass", nullptr));
}

TEST(Messages, PeekMessageTakesMessagesItselfAndQuitStaysForIt) {
    Recorder recorder;
    PostMessage(recorder.Window(), WM_USER + 1, 10, 0);
    PostQuitMessage(3);
    PostMessage(recorder.Window(), WM_USER + 2, 20, 0);

    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 20u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 1);
    EXPECT_EQ(DispatchMessageA(&message), 11);
    EXPECT_TRUE(recorder.Received() == std::vector<UINT>{WM_USER + 1});

    // The event loop delivers the window's message and leaves the quit.
    ASSERT_TRUE(PumpUntil([&] { return recorder.Received().size() == 2; }));
    EXPECT_FALSE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(Messages, GetMessageWaitsForAMessageFromAnotherThread) {
    Recorder recorder;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessage(recorder.Window(), WM_USER + 9, 0, 0);
    });
    MSG message{};
    EXPECT_TRUE(GetMessageA(&message, recorder.Window(), 0, 0));
    poster.join();
    EXPECT_EQ(message.message, WM_USER + 9);
}

// The wait leaves the messages to the caller: it ends when one is there,
// whoever posted it, and gives up without one.
TEST(Messages, WaitMessageTimeoutEndsWithAMessageOrGivesUp) {
    Recorder recorder;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_FALSE(WaitMessageTimeout(20));
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessage(recorder.Window(), WM_USER + 3, 0, 0);
    });
    EXPECT_TRUE(WaitMessageTimeout(WaitBoundMs));
    poster.join();
    EXPECT_TRUE(recorder.Received().empty()) << "the message stays for the caller";
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 3);

    PostQuitMessage(0);
    EXPECT_TRUE(WaitMessageTimeout(WaitBoundMs)) << "a quit message counts";
    EXPECT_FALSE(GetMessageA(&message, nullptr, 0, 0));
}

// While it sleeps the event loop runs on (a timer fires and may post),
// and sleeping costs no processor time.
TEST(Messages, WaitMessageTimeoutSleepsWhileTheEventLoopRuns) {
    Recorder recorder;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    EXPECT_FALSE(WaitMessageTimeout(300));
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
    const double cpu = ThreadCpuSeconds() - cpuStart;
    EXPECT_LT(cpu, wall.count() / 4) << "the wait turned instead of sleeping";

    QTimer::singleShot(30, [&] { PostMessage(recorder.Window(), WM_USER + 4, 0, 0); });
    EXPECT_TRUE(WaitMessageTimeout(WaitBoundMs));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 4);
}

} // namespace
