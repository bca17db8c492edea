// A window as designed: its controls in tab order, each a box in twips relative to the client area
// or to the frame that holds it. One shape for every window, made and placed by the same code.
#pragma once

#include <map>
#include <span>

#include "base/layout_scale.h"
#include "base/twips.h"

namespace ombrix::base {

enum class ControlKind {
    ReadOnlyText,
    Text,
    Button,
    DefaultButton,
    Frame,  // a group box: lies under what it holds
    CheckBox,
    OptionButton,
    Label,
    PointerLabel,  // a label that takes the mouse and reports clicks
    Icon,
    Line,    // an etched separator, two pixels high at every size
    Custom,  // made by the window itself; the table only places it
};

struct ControlDesign {
    int id;
    ControlKind kind;
    Box twips;
    const char* caption = "";  // captions and the texts the window starts with
    int container = 0;         // the id of the frame that holds it; 0: the window itself
    int maxLength = 0;         // of a text box; 0: no limit
};

using DesignTable = std::span<const ControlDesign>;
// Twips each control has moved down since the design, by id.
using TopShifts = std::map<int, int>;

// The design of control `id`; null when the table has none.
constexpr const ControlDesign* FindDesign(DesignTable table, int id) {
    for (const ControlDesign& design : table) {
        if (design.id == id) {
            return &design;
        }
    }
    return nullptr;
}

// The control's box in the client area, in twips: its own position plus its containers', moves
// included.
inline Box ClientTwips(DesignTable table, const ControlDesign& design,
                       const TopShifts& shifts = {}) {
    Box box = design.twips;
    box.left = 0;
    box.top = 0;
    for (const ControlDesign* at = &design; at != nullptr;
         at = at->container != 0 ? FindDesign(table, at->container) : nullptr) {
        const auto shift = shifts.find(at->id);
        box.left += at->twips.left;
        box.top += at->twips.top + (shift == shifts.end() ? 0 : shift->second);
    }
    return box;
}

// The control's box in the client area in pixels: each edge converted, so that controls that
// touch in the design touch at every scale.
inline Box ClientPixels(DesignTable table, const ControlDesign& design, const LayoutScale& scale,
                        const TopShifts& shifts = {}) {
    return scale.ToPixels(ClientTwips(table, design, shifts));
}

}  // namespace ombrix::base
