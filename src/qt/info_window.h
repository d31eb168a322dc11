#pragma once

#include <QDialog>

#include "qt/form.h"

namespace quellgate::qt {

// What the program does, with its picture. OK, Enter, Esc and closing hide it.
class InfoWindow : public QDialog {
public:
    InfoWindow();

private:
    Form form_;
};

}  // namespace quellgate::qt
