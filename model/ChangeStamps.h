#pragma once

// The one source of the model's change and save stamps. Every model object
// records when it last changed and when it was last saved, and consumers
// compare these stamps to decide whether to recompute or rewrite. The wall
// clock alone cannot serve: it ticks in steps of about 15 ms and jumps back
// at daylight-saving changes and resynchronisation, so an edit made in the
// same tick as a save, or after the clock went back, would look older than
// that save and never be written. A stamp is therefore the current time,
// but always at least 1 ms later than the stamp before it.
double changeStamp();
