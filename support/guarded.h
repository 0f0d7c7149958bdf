// The one boundary for errors where the system calls in (window procedures, COM methods):
// nothing may unwind into the caller, so an exception becomes the caller's fallback answer.
#pragma once

namespace quendral {

// handler()'s answer, or fallback()'s if handler throws.
template <class Handler, class Fallback>
auto Guarded(Handler&& handler, Fallback&& fallback) noexcept -> decltype(handler()) {
    try {
        return handler();
    } catch (...) {
        return fallback();
    }
}

}  // namespace quendral
