#include "platform/vcl/QtBridge.h"

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

TShiftState ShiftOf(const QMouseEvent& event, bool doubleClick) {
    TShiftState shift;
    if (event.modifiers() & Qt::ShiftModifier)
        shift << ssShift;
    if (event.modifiers() & Qt::AltModifier)
        shift << ssAlt;
    if (event.modifiers() & Qt::ControlModifier)
        shift << ssCtrl;
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
    if (control_ && watched == parent() && !Silence::Active())
        RunHandler([&] { Forward(static_cast<QWidget*>(watched), event); });
    return false;
}

void ControlBridge::Forward(QWidget* watched, QEvent* event) {
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
}
