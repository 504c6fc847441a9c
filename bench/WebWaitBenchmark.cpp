// What a synchronous wait of the web transport costs the processor while
// the other end takes its time: a request to a local server that answers
// after three seconds (also while a job waits for the main loop, which the
// wait must not run nor be woken by), a reply whose server keeps the
// connection open for three seconds after the body, and a line that comes
// after three seconds.
// Each runs on the offscreen platform's event loop, as the program waits.
// The counter cpu_percent is the calling thread's processor time as a share
// of the wall time of the wait; the servers' threads do not count.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <thread>

#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"
#include "tests/support/HttpRequest.h"
#include "tests/support/Pump.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestListener.h"
#include "web/HttpProt.h"
#include "web/WSocket.h"

namespace {

constexpr std::chrono::seconds ServerDelay{3};

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs `wait` and reports its wall time and the share of it this thread
// spent on the processor.
void Measure(benchmark::State& state, const std::function<void()>& wait) {
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    wait();
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
    state.SetIterationTime(wall.count());
    state.counters["cpu_percent"] = 100 * cpu / wall.count();
}

std::string Url(int port) {
    return "http://127.0.0.1:" + std::to_string(port) + "/slow";
}

void PostToALateServer(benchmark::State& state, bool jobWaiting) {
    for (auto _ : state) {
        bool jobRan = false;
        if (jobWaiting)
            WhenBackInMainLoop([&] { jobRan = true; });
        ScriptedServer server([](TestPeer& connection) {
            ReadHttpRequest(connection);
            std::this_thread::sleep_for(ServerDelay);
            connection.Send("HTTP/1.0 200 OK\r\n\r\nlate");
        });
        TMemoryStream toSend;
        toSend.WriteBuffer("a=1", 3);
        toSend.Position = 0;
        THttpCli client(nullptr);
        client.PostStream = &toSend;
        client.URL = Url(server.Port());
        Measure(state, [&] { client.Post(); });
        if (jobRan)
            state.SkipWithError("the job ran inside the wait");
        PumpOnce();
    }
}

void BodyOnAConnectionKeptOpen(benchmark::State& state) {
    for (auto _ : state) {
        ScriptedServer server([](TestPeer& connection) {
            ReadHttpRequest(connection);
            connection.Send("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody");
            std::this_thread::sleep_for(ServerDelay);
        });
        THttpCli client(nullptr);
        client.URL = Url(server.Port());
        Measure(state, [&] { client.Get(); });
    }
}

void ReadALateLine(benchmark::State& state) {
    for (auto _ : state) {
        TestListener listener;
        TWSocket socket(nullptr);
        socket.Addr = "127.0.0.1";
        socket.Port = std::to_string(listener.Port());
        socket.Connect();
        TestPeer peer = listener.Accept();
        if (!PumpUntil([&] { return socket.State == wsConnected; })) {
            state.SkipWithError("no connection");
            return;
        }
        std::thread sender([&] {
            std::this_thread::sleep_for(ServerDelay);
            peer.Send("late\r\n");
        });
        AnsiString line;
        Measure(state, [&] { socket.ReadLine(0, line); });
        sender.join();
    }
}

BENCHMARK_CAPTURE(PostToALateServer, Alone, false)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PostToALateServer, WithAJobWaiting, true)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BodyOnAConnectionKeptOpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReadALateLine)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
