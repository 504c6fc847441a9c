#pragma once
// Inside the class library only: what ties a control to its Qt widget,
// text conversion, and the state of painting that decides how drawing
// reaches the screen.

#include <QObject>
#include <QString>

#include "platform/vcl/Controls.h"
#include "platform/vcl/SysUtils.h"

class QWidget;

inline QString ToQString(const AnsiString& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline AnsiString FromQString(const QString& text) {
    return text.toUtf8().toStdString();
}

// A caption shown where "&" marks an accelerator and Qt would show it:
// "&&" becomes "&", a single "&" disappears.
QString WithoutAccelerators(const AnsiString& caption);

// Runs a handler for Qt. An exception from it is shown by the application
// object and goes no further, as in the class library's message loop: Qt
// cannot carry an exception through its event dispatch.
void ShowHandlerException(const std::exception& error);
template <class F> void RunHandler(F&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowHandlerException(error);
    }
}

// Watches a control's widget: forwards size changes, mouse presses, keys
// and focus changes to the control, and tells the control when Qt destroys
// the widget (a child of the widget, so it dies with it).
class ControlBridge : public QObject {
public:
    // While a windowed control is being freed, its widgets report
    // nothing: hiding and freeing them moves the focus and changes
    // sizes, and the handlers those would run belong to a form that is
    // already gone.
    class Silence {
    public:
        Silence() { ++depth_; }
        ~Silence() { --depth_; }
        Silence(const Silence&) = delete;
        Silence& operator=(const Silence&) = delete;
        static bool Active() { return depth_ > 0; }

    private:
        static inline int depth_ = 0;
    };

    ControlBridge(TControl* control, QWidget* widget);
    ~ControlBridge() override;
    void Detach() { control_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the control used the event.
    bool Forward(QWidget* watched, QEvent* event);
    TControl* control_;
    bool pressed_ = false;
};

// How drawing on a canvas reaches the screen. Drawing done outside any
// paint is shown at once (the widget repaints now); while Qt paints, the
// paint in progress shows it. A repaint that only shows what a canvas
// drew does not run OnPaint handlers, as drawing straight on the screen
// does not.
class PaintState {
public:
    static bool Painting() { return painting_ != nullptr; }
    static QWidget* PaintingWidget() { return painting_; }
    static bool ShowingCanvas() { return showingCanvas_ > 0; }

    // Around a widget's paint.
    class PaintScope {
    public:
        explicit PaintScope(QWidget* widget) : previous_(painting_) { painting_ = widget; }
        ~PaintScope() { painting_ = previous_; }
        PaintScope(const PaintScope&) = delete;
        PaintScope& operator=(const PaintScope&) = delete;

    private:
        QWidget* previous_;
    };
    // Around a repaint that shows what a canvas drew.
    class ShowScope {
    public:
        ShowScope() { ++showingCanvas_; }
        ~ShowScope() { --showingCanvas_; }
        ShowScope(const ShowScope&) = delete;
        ShowScope& operator=(const ShowScope&) = delete;
    };

private:
    static inline QWidget* painting_ = nullptr;
    static inline int showingCanvas_ = 0;
};
