#pragma once
#include "core/shared_state.h"

#include <cstdint>

namespace core {

// A live value is fresh while the last answered status poll is at most this old: one
// poll a second, with room for a slow reply.
constexpr std::int64_t kStatusFreshMs = 2000;

inline bool statusFresh(const SharedState& state, std::int64_t nowMs) {
    return state.LastStatusMs >= 0 && nowMs - state.LastStatusMs <= kStatusFreshMs;
}

}  // namespace core
