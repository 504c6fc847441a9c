// What a memo's lines cost as the memo grows: appending lines one by one,
// as the link window's log takes a burst of chat lines, and reading a log
// of that size back line by line (its count, then every line), as the
// link window and the tests read it. Each runs on the offscreen platform,
// in a memo on a form, as the program holds it. The argument is the
// number of lines; a cost that grows with the log shows as a time per
// line (the counter us_per_line) that grows with the argument.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

namespace {

AnsiString ChatLine(int64_t i) {
    return "Anna: line " + std::to_string(i) + " of a long and friendly chat";
}

struct MemoOnAForm {
    MemoOnAForm() : form(new TForm(nullptr)), memo(new TMemo(form.get())) {
        memo->Parent = form.get();
        memo->ReadOnly = true;
        memo->ScrollBars = ssVertical;
    }
    std::unique_ptr<TForm> form;
    TMemo* memo;
};

void PerLine(benchmark::State& state) {
    state.counters["us_per_line"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

void AppendLines(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        MemoOnAForm log;
        state.ResumeTiming();
        for (int64_t i = 0; i < state.range(0); ++i)
            log.memo->Lines->Add(ChatLine(i));
        // The lines reach the window by the next pass of the event loop.
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(log.memo->GetTextLen());
        state.PauseTiming();
        log.form.reset();
        state.ResumeTiming();
    }
    PerLine(state);
}

void ReadLinesBack(benchmark::State& state) {
    MemoOnAForm log;
    TStringList lines;
    for (int64_t i = 0; i < state.range(0); ++i)
        lines.Add(ChatLine(i));
    log.memo->Lines->Text = lines.Text;
    for (auto _ : state) {
        TStrings* memoLines = log.memo->Lines;
        const int count = memoLines->Count;
        size_t bytes = 0;
        for (int i = 0; i < count; ++i)
            bytes += memoLines->Strings[i]().size();
        benchmark::DoNotOptimize(bytes);
    }
    PerLine(state);
}

BENCHMARK(AppendLines)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadLinesBack)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
