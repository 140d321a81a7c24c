// The process-wide list of registered message handlers (internal to the core).
#pragma once

#include "kelncore/collections/arrays/arrays_local.h"

namespace keln {

class message_handler_t;

// Created on first use (first registration or first message) and destroyed at
// program exit; holds at most 8 handlers in registration order.
array_local_t<message_handler_t*, 8>& msg_handler_list();

}  // namespace keln
