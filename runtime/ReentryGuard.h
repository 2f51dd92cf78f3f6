// A re-entry flag held for one scope.
//
// The link's receive entry and the engine's tick refuse to run inside
// themselves. They call host hooks (sending a frame, showing the display) that
// may throw; the flag is cleared when the scope ends on every path, so that
// after an exception the next call runs again instead of finding the flag
// still set for the rest of the simulation.
#pragma once

namespace runtime {

template <typename Flag> class ReentryGuard {
public:
    // Sets flag; the caller has checked that it was clear.
    explicit ReentryGuard(Flag &flag) : flag_(flag) { flag_ = static_cast<Flag>(1); }
    ~ReentryGuard() { flag_ = Flag{}; }
    ReentryGuard(const ReentryGuard &) = delete;
    ReentryGuard &operator=(const ReentryGuard &) = delete;

private:
    Flag &flag_;
};

}  // namespace runtime
