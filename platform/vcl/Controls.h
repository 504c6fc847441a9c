#pragma once
// Controls: the visible components. A control has absolute geometry in
// its parent's client area, as a form resource gives it (Left, Top,
// Width, Height), or an alignment that makes it fill an edge or the rest
// of the client area. A control shows nothing until it has a parent.
// Freeing a windowed control frees the controls it parents, as the class
// library does.

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/SysSet.h"
#include "platform/win32/WinTypes.h"

class QWidget;
class ControlBridge;
class TWinControl;

// A call that the state of a control does not allow.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The frame style of forms, memos, panels and scroll boxes.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateElement { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateElement, ssShift, ssDouble>;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
// A key went down; a handler that sets Key to 0 has used it, and the
// control and its form do nothing more with it.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

// Binds a handler with more than the Sender, such as a mouse-down handler
// or FormCloseQuery(TObject* Sender, bool& CanClose).
template <class C, class... Args>
std::function<void(TObject*, Args...)> Method(C* object, void (C::*handler)(TObject*, Args...)) {
    return [object, handler](TObject* sender, Args... args) {
        (object->*handler)(sender, std::forward<Args>(args)...);
    };
}

// The result of a modal form; the numbers of the message-box results.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

// Smallest and largest size of a form (0: no limit).
class TSizeConstraints : public TObject {
public:
    TSizeConstraints();
    TSizeConstraints(const TSizeConstraints&) = delete;
    TSizeConstraints& operator=(const TSizeConstraints&) = delete;

    Property<int> MinWidth;
    Property<int> MinHeight;
    Property<int> MaxWidth;
    Property<int> MaxHeight;
    TNotifyEvent OnChange;

private:
    Property<int> Limit(int& value);
    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

class TControl : public TComponent {
public:
    ~TControl() override;

    Property<TWinControl*> Parent;
    Property<int> Left;
    Property<int> Top;
    Property<int> Width;
    Property<int> Height;
    Property<int> ClientWidth;
    Property<int> ClientHeight;
    Property<TAlign> Align;
    Property<bool> Visible;
    Property<bool> Enabled;
    // The text the control shows (a form's window caption).
    Property<AnsiString> Caption;
    Property<TColor> Color;
    ReadOnlyProperty<TFont*> Font;

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TNotifyEvent OnResize;

    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    void Show() { Visible = true; }
    void Hide() { Visible = false; }
    void BringToFront();
    void SendToBack();
    // Paints the control now; Invalidate paints it at the next chance.
    void Repaint();
    void Invalidate();
    void Refresh() { Repaint(); }
    // What a click of the user does: the OnClick handler.
    virtual void Click();

    // Platform side: the widget that shows this control.
    QWidget* Widget() const { return widget_; }

protected:
    explicit TControl(TComponent* AOwner);
    // Called by the concrete class's constructor; the control owns the
    // widget from then on.
    void SetWidget(QWidget* widget);

    virtual TRect GetBounds() const;
    virtual TRect GetClientRect() const;
    virtual void SetClientSize(int width, int height);
    virtual bool GetVisible() const { return visible_; }
    virtual void SetVisible(bool visible);
    virtual void ShowCaption(const AnsiString&) {}
    virtual void ApplyColor();
    virtual void ApplyFont();
    // The widget's size has changed.
    virtual void Resized();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    // Runs Resized when the widget's size differs from the last one seen.
    void CheckResized();
    // The widget reports clicks itself (buttons, check boxes); others get
    // a click from a press and release inside them.
    bool reportsClicks_ = false;

private:
    friend class ControlBridge;
    friend class TWinControl;
    void SetParent(TWinControl* parent);
    void UpdateWidgetVisibility();

    QWidget* widget_ = nullptr;
    ControlBridge* bridge_ = nullptr;
    TWinControl* parent_ = nullptr;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    AnsiString caption_;
    std::unique_ptr<TFont> font_;
    int lastWidth_ = -1;
    int lastHeight_ = -1;
};

// A control that can hold other controls and take the keyboard focus.
class TWinControl : public TControl {
public:
    ~TWinControl() override;

    ReadOnlyProperty<int> ControlCount;
    IndexedProperty<TControl*> Controls;
    // The control's window, for the Win32 layer.
    ReadOnlyProperty<HWND> Handle;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    // Reported for the keys that have a virtual key in WinTypes.h.
    TKeyEvent OnKeyDown;

    void SetFocus();
    bool Focused() const;
    // Places the aligned child controls; runs by itself when the client
    // area or an aligned child changes.
    void AlignControls();

    // Platform side: the widget that the children live in.
    virtual QWidget* ClientWidget() const { return Widget(); }

protected:
    explicit TWinControl(TComponent* AOwner);
    virtual void FocusEntered();
    virtual void FocusLeft();
    // True when OnKeyDown used the key.
    bool KeyDown(WORD key, TShiftState shift);
    // A child control was added, removed or moved.
    virtual void ControlsChanged() {}
    void Resized() override;

private:
    friend class TControl;
    friend class ControlBridge;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void MoveControl(TControl* control, bool toFront);

    std::vector<TControl*> controls_;
    bool aligning_ = false;
};
