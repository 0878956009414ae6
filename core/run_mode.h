#pragma once

// A private run (scoutwell --private) leaves no traces: its pages keep nothing
// on disk, no recent searches are kept and no suggestions are asked for.
// Settled from the command line before the toolkit and the OpenGL driver
// start, and once more when the toolkit has taken its own options.
void SetPrivateRun(bool privateRun);
bool IsPrivateRun();
