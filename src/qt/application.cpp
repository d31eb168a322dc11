#include "qt/application.h"

#include <exception>
#include <string>

namespace quellgate::qt {

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& failure) {
            diagnostics_.Note(std::string("an event was dropped: ") + failure.what());
        } catch (...) {
            diagnostics_.Note("an event was dropped");
        }
    } catch (...) {  // the note itself failed: nothing more to do
    }
    return false;
}

}  // namespace quellgate::qt
