// Timing shared by the benchmark programs: each figure is measured next to
// its reference in the same run, best of several rounds, because the
// machines are shared and noisy.
#pragma once
#include <chrono>

namespace bench {

inline double now_ns() {
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct timing {
    double ns, ref_ns;
};

// Nanoseconds per call of `f` and of `ref`, each the best of `rounds`
// batches of at least `batch_ns` (the batch size is found first, doubling
// up to `max_reps`). A round times the work and its reference back to back.
template <class F, class G>
timing measure(F f, G ref, int rounds, double batch_ns, int max_reps) {
    int reps = 1;
    for (;;) {
        double t0 = now_ns();
        for (int i = 0; i < reps; i++) f();
        if (now_ns() - t0 > batch_ns || reps > max_reps) break;
        reps *= 2;
    }
    timing best = {1e300, 1e300};
    for (int round = 0; round < rounds; round++) {
        double t0 = now_ns();
        for (int i = 0; i < reps; i++) f();
        double t1 = now_ns();
        for (int i = 0; i < reps; i++) ref();
        double t2 = now_ns();
        if ((t1 - t0) / reps < best.ns) best.ns = (t1 - t0) / reps;
        if ((t2 - t1) / reps < best.ref_ns) best.ref_ns = (t2 - t1) / reps;
    }
    return best;
}

}  // namespace bench
