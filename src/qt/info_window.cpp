#include "qt/info_window.h"

#include <QPushButton>

#include "qt/control_names.h"
#include "qt/look.h"

namespace quellgate::qt {

InfoWindow::InfoWindow() : form_(*this, layout::kInfoWindow) {
    setObjectName(kInfoWindowName);
    setWindowTitle(ToQString(layout::kInfoWindow.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // A dialog hides when it is accepted or rejected; nothing more to do.
    connect(&form_.Get<QPushButton>(layout::kInfoOk), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quellgate::qt
