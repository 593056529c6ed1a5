#pragma once

#include <windows.h>

#include "app/window/design/DesignTable.h"
#include "app/window/drawing/GdiHandles.h"

namespace tovask::app {

enum class FontRole { Window, Link, Header };

FontRole fontRoleOf(const ControlDesign& design);

// The three fonts of the design, sized for the screen's dpi, alive as long as
// the controls that use them.
class FontSet {
  public:
    explicit FontSet(int dpi);
    HFONT fontFor(FontRole role) const;

  private:
    ScopedFont window_;
    ScopedFont link_;
    ScopedFont header_;
};

}  // namespace tovask::app
