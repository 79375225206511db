#pragma once
// One-dimensional root finding on a bracket by Brent's method: inverse
// quadratic interpolation and secant steps, with bisection whenever they fail
// to shrink the bracket fast enough, so convergence never depends on a good
// starting guess.

#include "EngineMath.h"

#include <cfloat>
#include <cmath>
#include <string>

struct TRootSolution {
    long double Root = 0;
    int Iterations = 0;  // evaluations after the two at the bracket ends
};

// Precondition: f(Lower) and f(Upper) are finite and of opposite signs (or one
// of them is 0); otherwise EMathError names the bracket and both values.
// Stopping rule: f(x) == 0, or the bracket around x is no wider than
// 2 * (2 * eps * |x| + Accuracy / 2); x is then returned. When MaxIterations
// evaluations do not reach that, EMathError names the bracket left.
template <typename F>
TRootSolution SolveBrent(F f, long double Lower, long double Upper, long double Accuracy, int MaxIterations) {
    using engine::NumberText;
    if (!(Accuracy > 0)) throw EInvalidOp("Root accuracy (" + NumberText(Accuracy) + ") must be positive");
    long double a = Lower, b = Upper;
    long double fa = f(a), fb = f(b);
    if (fa == 0) return {a, 0};
    if (fb == 0) return {b, 0};
    if (!std::isfinite(fa) || !std::isfinite(fb) || (fa > 0) == (fb > 0))
        throw EInvalidOp("Root not bracketed: f(" + NumberText(a) + ") = " + NumberText(fa) + ", f(" + NumberText(b) +
                         ") = " + NumberText(fb));

    const long double eps = LDBL_EPSILON;
    long double c = b, fc = fb;
    long double d = b - a, e = d;
    for (int iter = 1; iter <= MaxIterations; ++iter) {
        if ((fb > 0) == (fc > 0)) {
            // Keep the root between b and c.
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const long double tol = 2 * eps * std::fabs(b) + Accuracy / 2;
        const long double half = (c - b) / 2;
        if (std::fabs(half) <= tol || fb == 0) return {b, iter - 1};

        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            long double p, q;
            const long double s = fb / fa;
            if (a == c) {
                p = 2 * half * s;
                q = 1 - s;
            } else {
                const long double qa = fa / fc, r = fb / fc;
                p = s * (2 * half * qa * (qa - r) - (b - a) * (r - 1));
                q = (qa - 1) * (r - 1) * (s - 1);
            }
            if (p > 0) q = -q;
            p = std::fabs(p);
            const long double limit1 = 3 * half * q - std::fabs(tol * q);
            const long double limit2 = std::fabs(e * q);
            if (2 * p < (limit1 < limit2 ? limit1 : limit2)) {
                e = d;
                d = p / q;
            } else {
                d = half;
                e = d;
            }
        } else {
            d = half;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol ? d : (half > 0 ? tol : -tol);
        fb = f(b);
        if (!std::isfinite(fb)) throw EInvalidOp("Root search met a non-finite value at " + NumberText(b));
    }
    throw EMathError("Root not found within " + std::to_string(MaxIterations) + " iterations: bracket [" +
                     NumberText(b < c ? b : c) + ", " + NumberText(b < c ? c : b) + "]");
}
