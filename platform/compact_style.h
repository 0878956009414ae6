#pragma once

class wxFont;

// The program's controls are laid out at fixed, small sizes (buttons 17
// pixels high). The toolkit's default theme pads controls so that their text
// would be clipped at those sizes; this style takes the padding away for the
// whole program. Call once, after the toolkit has started.
void ApplyCompactStyle();

// The default font of the program's windows: small enough that every caption
// fits its control at the documented sizes.
wxFont CompactFont();
