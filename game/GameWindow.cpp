#include "game/GameWindow.h"

namespace {

GameWindow* Current = nullptr;

} // namespace

GameWindow::GameWindow(TComponent* Owner) : TForm(Owner) {
    Current = this;
}

GameWindow::~GameWindow() {
    if (Current == this)
        Current = nullptr;
}

GameWindow* MainWindow() {
    return Current;
}
