#pragma once

class Desktop;
class Placement;

// Places window so that it covers the desktop's work area exactly. A desktop
// that reports no usable work area gives the whole screen instead, never an
// empty window. Throws ScoutwellError when a value cannot be held or the
// window refuses it; the assignments after it are then not made.
void FitToWorkArea(Placement& window, const Desktop& desktop);
