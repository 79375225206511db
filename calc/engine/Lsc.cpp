#include "Lsc.h"

#include "EngineMath.h"
#include "RootSolver.h"

#include <cmath>
#include <string>

using engine::NumberText;
using engine::Power;
using engine::ToDouble;

double CalcPayment(int32_t N, double Principal, double Rate) {
    if (N == 0) return 0;
    const long double r = Rate;
    if (r == 0) return ToDouble(static_cast<long double>(Principal) / N);
    const long double denominator = 1 - Power(1 + r, -static_cast<long double>(N));
    return ToDouble(fp::Div(Principal * r, denominator));
}

double CalcTerm(double Principal, double Payment, double AnnualRatePercent) {
    const long double r = static_cast<long double>(AnnualRatePercent) / 1200;
    if (Payment == 0) return 0;
    if (r == 0) return ToDouble(static_cast<long double>(Principal) / Payment);
    const long double x = 1 - r * Principal / Payment;
    if (!(x > 0)) return 0;  // the payment does not cover the first month's interest
    const long double years = fp::Div(fp::Ln(x), -12 * fp::Ln(1 + r));
    return ToDouble(years * 12);
}

double CalcLoanAmount(int32_t N, double Balloon, double AnnualRatePercent, double Payment) {
    if (AnnualRatePercent == 0) return ToDouble(static_cast<long double>(N) * Payment);
    const long double r = static_cast<long double>(AnnualRatePercent) / 1200;
    const long double v = Power(1 + r, -static_cast<long double>(N));
    return ToDouble(fp::Div(Payment * (1 - v), r) - Balloon * v);
}

namespace {

// Present value of N payments of 1 at the periodic rate i > -1, accurate near
// i = 0 where the textbook form cancels.
long double AnnuityFactor(int32_t N, long double i) {
    if (i == 0) return N;
    return -std::expm1(-N * std::log1p(i)) / i;
}

// The monthly rate fraction is found to far better than 1e-10.
constexpr long double RateAccuracy = 1e-14L;
constexpr int RateIterations = 200;

}  // namespace

double CalcRate(int32_t N, double Price, double DownPaymentFraction, double Payment) {
    const long double loan = (1 - static_cast<long double>(DownPaymentFraction)) * Price;
    if (N == 0 || loan == 0) return 0;

    auto noRate = [&](const std::string& why) {
        return EInvalidOp("No interest rate repays a loan of " + NumberText(loan) + " with " + std::to_string(N) +
                          " payments of " + NumberText(Payment) + why);
    };
    if (N < 0 || Payment == 0) throw noRate("");
    // Each payment's present value is positive at every rate above -100 %, so
    // a rate exists exactly when loan and payment share their sign.
    const long double q = loan / Payment;  // loan in payments
    if (!(q > 0) || !std::isfinite(q)) throw noRate("");

    long double monthly;
    if (q == N) {
        monthly = 0;
    } else if (N == 1) {
        monthly = 1 / q - 1;
    } else {
        // The factor falls from +inf (i -> -1) to 0 (i -> inf). Below 0 the last
        // payment's discount alone reaches q at 1 + i = q^(-1/N); above 0 every
        // factor is below 1 / i.
        long double lower, upper;
        if (q < N) {
            lower = 1 / q - 1 > 0 ? 1 / q - 1 : 0;
            upper = 1 / q;
        } else {
            lower = std::expm1(-std::log(q) / N);
            upper = 0;
        }
        auto excess = [&](long double i) { return AnnuityFactor(N, i) - q; };
        try {
            monthly = SolveBrent(excess, lower, upper, RateAccuracy, RateIterations).Root;
        } catch (const EMathError& e) {
            throw noRate(": " + e.Message);
        }
    }
    return ToDouble(monthly * 1200);
}
