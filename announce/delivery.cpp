#include "announce/delivery.h"

namespace quendral {

unsigned DeliveryPacer::WaitFor(WindowHandle window, std::uint64_t elapsedMs) const {
    if (elapsedMs >= kStepLimitMs) return 0;
    const auto leftInStep = static_cast<unsigned>(kStepLimitMs - elapsedMs);
    unsigned wait = kShortWaitMs;
    if (elapsedMs < kStepBudgetMs && !IsSlow(window)) {
        wait = std::max(static_cast<unsigned>(kStepBudgetMs - elapsedMs), kShortWaitMs);
    }
    return std::min(wait, leftInStep);
}

void DeliveryPacer::Note(WindowHandle window, std::uint64_t tookMs, bool answered) {
    const auto found = std::find(slow_.begin(), slow_.end(), window);
    const bool madeItWait = answered ? tookMs >= kSlowAnswerMs : tookMs >= kShortWaitMs;
    if (madeItWait) {
        if (found == slow_.end()) slow_.push_back(window);
    } else if (answered && found != slow_.end()) {
        slow_.erase(found);
    }
}

void DeliveryPacer::KeepOnly(std::span<const WindowHandle> windows) {
    std::erase_if(slow_, [&](WindowHandle window) {
        return std::find(windows.begin(), windows.end(), window) == windows.end();
    });
}

bool DeliveryPacer::IsSlow(WindowHandle window) const {
    return std::find(slow_.begin(), slow_.end(), window) != slow_.end();
}

}  // namespace quendral
