// Every export runs its body through guarded_export: a domain error of the
// guarded arithmetic abandons the call silently, a failed allocation shows
// message 1001, and nothing ever crosses the export boundary.
#pragma once

#include <new>
#include <utility>

#include "bridge/messages.h"
#include "stats/guarded.h"

namespace ztq {

template <class F, class R = decltype(std::declval<F>()())>
R guarded_export(F&& body, R failure = R{}) noexcept {
  try {
    return body();
  } catch (const DomainAbort&) {
    return failure;
  } catch (const std::bad_alloc&) {
    try {
      ShowMessage(Str::kNoMemory);
    } catch (...) {
    }
    return failure;
  } catch (...) {
    return failure;
  }
}

// The same for exports without a result.
template <class F>
void guarded_void(F&& body) noexcept {
  guarded_export([&] {
    body();
    return 0;
  });
}

}  // namespace ztq
