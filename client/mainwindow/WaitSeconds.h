#pragma once

// Shared module routines of the client.
namespace waiting {

// Returns after `seconds`, dispatching events meanwhile (the exit page's
// request, painting, clicks). Sleeps in the event loop rather than polling.
// Returns early when the program is asked to end.
void WaitSeconds(double seconds);

} // namespace waiting
