// A window of the tests' own, for any desktop Qt runs on. Its title is the
// first argument; a line "title <text>" on standard input retitles it,
// "modifiers" asks whether Alt is down now, "flood N" opens N more windows
// and renames them every 10 ms, some with titles hundreds of characters long,
// and "quit" or the end of the input ends it. It prints "ready <window id>"
// once on the screen; for every key it receives "press" or "release", the
// keysym and the modifier state, both as the desktop gives them, in hex;
// "alt+home" for each Alt+Home and "key F4", "key F5" or "key F8" for those
// keys; "modifiers alt" or "modifiers none".
#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

class Probe : public QWidget {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        Say("press", *event);
        if (event->key() == Qt::Key_Home && (event->modifiers() & Qt::AltModifier)) std::cout << "alt+home\n";
        for (const auto& [key, name] : {std::pair{Qt::Key_F4, "F4"}, {Qt::Key_F5, "F5"}, {Qt::Key_F8, "F8"}})
            if (event->key() == key) std::cout << "key " << name << "\n";
        std::cout.flush();
    }
    void keyReleaseEvent(QKeyEvent* event) override { Say("release", *event); }
    static void Say(const char* what, const QKeyEvent& event) {
        std::cout << what << std::hex << " " << event.nativeVirtualKey() << " " << event.nativeModifiers()
                  << std::dec << std::endl;
    }
    // Once it is on the screen: a window only shown may not be mapped yet.
    void paintEvent(QPaintEvent*) override {
        if (!painted_) std::cout << "ready " << winId() << std::endl;
        painted_ = true;
    }

private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Probe probe;
    probe.setWindowTitle(QString::fromUtf8(argc > 1 ? argv[1] : "Probe"));
    probe.resize(240, 120);
    probe.show();
    std::vector<std::unique_ptr<QWidget>> flood;
    QTimer renames;
    QObject::connect(&renames, &QTimer::timeout, [&, count = 0]() mutable {
        ++count;
        for (std::size_t i = 0; i < flood.size(); ++i)
            flood[i]->setWindowTitle(QString("flood %1 %2 ").arg(i).arg(count).repeated(i % 2 ? 60 : 1));
    });
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string line;
        if (!std::getline(std::cin, line) || line == "quit") return QApplication::quit();
        if (line.starts_with("title ")) probe.setWindowTitle(QString::fromUtf8(line.substr(6)));
        if (line.starts_with("flood ")) {
            for (int i = std::stoi(line.substr(6)); i > 0; --i)
                flood.emplace_back(std::make_unique<QWidget>())->show();
            renames.start(10);
        }
        if (line == "modifiers")
            std::cout << "modifiers "
                      << (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier ? "alt" : "none")
                      << std::endl;
    });
    return QApplication::exec();
}
