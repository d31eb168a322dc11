#pragma once

#include <QApplication>

#include "platform/diagnostics.h"

namespace quellgate::qt {

// No exception from a slot or an event handler unwinds through Qt's event
// loop, which would end the program and with it the blocking: the event is
// dropped and noted, and the loop goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv, Diagnostics& diagnostics)
        : QApplication(argc, argv), diagnostics_(diagnostics) {}

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Diagnostics& diagnostics_;
};

}  // namespace quellgate::qt
