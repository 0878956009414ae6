#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// WebKit draws each page through OpenGL when it composites. Where the only
// OpenGL is a software one (Mesa's llvmpipe on a machine without a usable
// graphics chip, a virtual display, a virtual machine without 3D) compositing
// costs every view tens of megabytes and much processor time, and result pages
// look the same without it.

// Asks the system which OpenGL renderer a program gets; nothing when there is
// none or it cannot be asked.
using RendererQuery = std::function<std::optional<std::string>()>;

// Whether an OpenGL renderer name is that of a software renderer.
bool IsSoftwareRenderer(std::string_view renderer);

// Whether to turn compositing off. The user's own WEBKIT_DISABLE_COMPOSITING_MODE
// or WEBKIT_FORCE_COMPOSITING_MODE, whatever its value, always wins; otherwise
// compositing goes off only when the renderer is known to be a software one.
// The renderer is asked only when the answer depends on it.
bool ShouldDisableCompositing(std::optional<std::string_view> userDisable,
                              std::optional<std::string_view> userForce, const RendererQuery& renderer);

// Whether the user has chosen through WebKit's own variables, so that the
// renderer need not be asked.
bool UserChoseCompositing();

// Decides from this process's environment and sets WEBKIT_DISABLE_COMPOSITING_MODE
// when compositing is to go off. WebKit reads it when the first web view is
// made, so this runs before that. Returns whether it turned compositing off.
bool ChooseCompositingMode(const RendererQuery& renderer);

// The WebKit variables this process set for itself rather than inherited from
// the user: programs it starts (the user's browser) are not to inherit them.
std::vector<std::string> OwnWebKitVariables();
