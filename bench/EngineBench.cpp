// Speed of the amortization engine in the patterns the amortization page uses.

#include "MortLib.h"

#include <benchmark/benchmark.h>

namespace {

double ReadAllRows(const TMortgage& m) {
    double sum = 0;
    for (const TPayment& p : m.Payments) sum += p.Balance + p.Prepayment;
    return sum;
}

// One iteration: the schedule built, the extra payments set as the page sets
// them, and every row read back.
template <typename SetExtras>
void RunSchedule(benchmark::State& state, int32_t payments, double principal, SetExtras setExtras) {
    TMortgage m;
    for (auto _ : state) {
        m.Create(payments, principal, 0.0875, 12, 1, 2000);
        setExtras(m);
        benchmark::DoNotOptimize(ReadAllRows(m));
    }
}

// Rebuild of a 30-year schedule followed by 12 extra payments, one call each.
void BM_Schedule360With12ExtraPayments(benchmark::State& state) {
    RunSchedule(state, 360, 100000, [](TMortgage& m) {
        for (int k = 1; k <= 12; ++k) m.SetExtraPayment(k * 30, 500);
    });
}
BENCHMARK(BM_Schedule360With12ExtraPayments)->Unit(benchmark::kMicrosecond);

// The page's refresh: one SetExtraPayment per line of its extra-payment list,
// 360 lines of which 12 carry an amount.
void BM_Refresh360FromExtraPaymentList(benchmark::State& state) {
    RunSchedule(state, 360, 100000, [](TMortgage& m) {
        for (int k = 1; k <= 360; ++k) m.SetExtraPayment(k, k % 30 == 0 ? 500 : 0);
    });
}
BENCHMARK(BM_Refresh360FromExtraPaymentList)->Unit(benchmark::kMicrosecond);

// The longest schedule the page accepts, with an extra payment on every row
// through "All Payments".
void BM_Schedule32767ExtraOnEveryRow(benchmark::State& state) {
    RunSchedule(state, 32767, 10000000, [](TMortgage& m) { m.SetExtraPaymentFrom(1, 1); });
}
BENCHMARK(BM_Schedule32767ExtraOnEveryRow)->Unit(benchmark::kMillisecond);

// The same schedule refreshed by the page: one SetExtraPayment per row.
void BM_Refresh32767FromExtraPaymentList(benchmark::State& state) {
    RunSchedule(state, 32767, 10000000, [](TMortgage& m) {
        for (int k = 1; k <= 32767; ++k) m.SetExtraPayment(k, 1);
    });
}
BENCHMARK(BM_Refresh32767FromExtraPaymentList)->Unit(benchmark::kMillisecond);

}  // namespace
