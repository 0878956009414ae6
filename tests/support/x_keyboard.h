#pragma once

// A key's press and release come from the test process through XTest: held up between the two on a busy
// machine, the X server would repeat the key, which no person's single press does. Turns repeating off for
// the test's display.
void TurnOffKeyRepeat();
