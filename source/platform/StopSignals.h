#pragma once

namespace platform
{
// Lets SIGINT and SIGTERM ask the program to stop rather than end it on the spot, so that it can shut
// down in order and finish its log: the handler only notes the signal. A second signal of the same kind
// ends the program at once, as it would without this.
void CatchStopSignals();

// The signal (SIGINT or SIGTERM) that arrived since the last call, 0 for none. Cheap enough for every frame.
int TakeStopSignal();
} // namespace platform
