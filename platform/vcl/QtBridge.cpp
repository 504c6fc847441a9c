#include "platform/vcl/QtBridge.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/vcl/Forms.h"

void ShowHandlerException(const std::exception& error) {
    Application->ShowException(error);
}

QString WithoutAccelerators(const AnsiString& caption) {
    QString shown;
    const QString text = ToQString(caption);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == u'&')
            continue;
        shown += text[i];
    }
    return shown;
}

namespace {

TMouseButton ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

TShiftState KeysOf(Qt::KeyboardModifiers modifiers) {
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift << ssShift;
    if (modifiers & Qt::AltModifier)
        shift << ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift << ssCtrl;
    return shift;
}

TShiftState ShiftOf(const QMouseEvent& event, bool doubleClick) {
    TShiftState shift = KeysOf(event.modifiers());
    if (event.buttons() & Qt::LeftButton)
        shift << ssLeft;
    if (event.buttons() & Qt::RightButton)
        shift << ssRight;
    if (event.buttons() & Qt::MiddleButton)
        shift << ssMiddle;
    if (doubleClick)
        shift << ssDouble;
    return shift;
}

// The virtual key of a Qt key; 0 for a key without one here.
WORD VirtualKeyOf(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter ? VK_RETURN : 0;
}

} // namespace

ControlBridge::ControlBridge(TControl* control, QWidget* widget)
    : QObject(widget), control_(control) {
    widget->installEventFilter(this);
}

ControlBridge::~ControlBridge() {
    if (control_) {
        control_->widget_ = nullptr;
        control_->bridge_ = nullptr;
    }
}

bool ControlBridge::eventFilter(QObject* watched, QEvent* event) {
    bool used = false;
    if (control_ && watched == parent() && !Silence::Active())
        RunHandler([&] { used = Forward(static_cast<QWidget*>(watched), event); });
    return used;
}

bool ControlBridge::Forward(QWidget* watched, QEvent* event) {
    auto* winControl = dynamic_cast<TWinControl*>(control_);
    switch (event->type()) {
    case QEvent::Resize:
        control_->CheckResized();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        pressed_ = true;
        const QPoint at = mouse->position().toPoint();
        control_->MouseDown(ButtonOf(mouse->button()),
                            ShiftOf(*mouse, event->type() == QEvent::MouseButtonDblClick), at.x(),
                            at.y());
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool inside = watched->rect().contains(mouse->position().toPoint());
        const bool click = pressed_ && inside && mouse->button() == Qt::LeftButton;
        pressed_ = false;
        if (click && !control_->reportsClicks_)
            control_->Click();
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const WORD virtualKey = VirtualKeyOf(key->key());
        // A disabled control takes no keys, though its filter sees them.
        if (winControl && virtualKey != 0 && watched->isEnabled())
            return winControl->KeyDown(virtualKey, KeysOf(key->modifiers()));
        break;
    }
    case QEvent::FocusIn:
        if (winControl)
            winControl->FocusEntered();
        break;
    case QEvent::FocusOut:
        if (winControl)
            winControl->FocusLeft();
        break;
    default:
        break;
    }
    return false;
}
