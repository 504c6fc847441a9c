// The entry of the benchmarks that run class-library windows: they run on
// the offscreen platform, in an application object as the program's.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "platform/vcl/Forms.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Application->DestroyComponents();
    return 0;
}
