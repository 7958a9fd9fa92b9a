#pragma once

namespace Tarvio::Wx {

// Marks the controls among which a check box's Tab key moves the focus.
class Focusable {
protected:
    Focusable() = default;
    ~Focusable() = default;
};

} // namespace Tarvio::Wx
