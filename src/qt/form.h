#pragma once

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/window_layout.h"

class QWidget;

namespace quellgate::qt {

// The controls of one window, built from its layout on `canvas`: each at its
// place, in its font and colour, named by its id (see control_names.h). The
// canvas takes the window's client size. The form must not outlive the canvas.
class Form {
public:
    Form(QWidget& canvas, const layout::Window& design);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form();

    // Throws std::out_of_range for an id the layout does not have.
    QWidget& Control(int id) const;
    template <typename Widget>
    Widget& Get(int id) const {
        return dynamic_cast<Widget&>(Control(id));
    }

private:
    std::vector<std::pair<int, std::unique_ptr<QWidget>>> controls_;
};

}  // namespace quellgate::qt
