#pragma once

// A private run (scoutwell --private) leaves no traces: its pages keep nothing
// on disk, no recent searches are kept and no suggestions are asked for.
// Settled once, from the command line, before the first window is made.
void SetPrivateRun(bool privateRun);
bool IsPrivateRun();
