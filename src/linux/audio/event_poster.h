#pragma once

#include "player/messages.h"

namespace tav {

// Queues a message for the main window; it is routed later from the event loop, never from
// inside the call that posts it. Safe to call from any thread.
class EventPoster {
public:
    virtual ~EventPoster() = default;
    virtual void Post(const Message& message) = 0;
};

}  // namespace tav
