#include "platform/vcl/Controls.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

#include "platform/vcl/QtBridge.h"

// ---- TSizeConstraints ----

TSizeConstraints::TSizeConstraints()
    : MinWidth(Limit(minWidth_)), MinHeight(Limit(minHeight_)), MaxWidth(Limit(maxWidth_)),
      MaxHeight(Limit(maxHeight_)) {}

Property<int> TSizeConstraints::Limit(int& value) {
    return Property<int>([&value] { return value; },
                         [this, &value](int limit) {
                             value = std::max(0, limit);
                             if (OnChange)
                                 OnChange(this);
                         });
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      Parent([this] { return parent_; }, [this](TWinControl* p) { SetParent(p); }),
      Left([this] { return GetBounds().Left; },
           [this](int v) {
               const TRect b = GetBounds();
               SetBounds(v, b.Top, b.Width(), b.Height());
           }),
      Top([this] { return GetBounds().Top; },
          [this](int v) {
              const TRect b = GetBounds();
              SetBounds(b.Left, v, b.Width(), b.Height());
          }),
      Width([this] { return GetBounds().Width(); },
            [this](int v) {
                const TRect b = GetBounds();
                SetBounds(b.Left, b.Top, v, b.Height());
            }),
      Height([this] { return GetBounds().Height(); },
             [this](int v) {
                 const TRect b = GetBounds();
                 SetBounds(b.Left, b.Top, b.Width(), v);
             }),
      ClientWidth([this] { return GetClientRect().Width(); },
                  [this](int v) { SetClientSize(v, GetClientRect().Height()); }),
      ClientHeight([this] { return GetClientRect().Height(); },
                   [this](int v) { SetClientSize(GetClientRect().Width(), v); }),
      Align([this] { return align_; },
            [this](TAlign a) {
                align_ = a;
                if (parent_)
                    parent_->AlignControls();
            }),
      Visible([this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }),
      Enabled([this] { return enabled_; },
              [this](bool v) {
                  enabled_ = v;
                  if (widget_)
                      widget_->setEnabled(v);
              }),
      Caption([this] { return caption_; },
              [this](const AnsiString& c) {
                  caption_ = c;
                  ShowCaption(c);
              }),
      Color([this] { return color_; },
            [this](TColor c) {
                color_ = c;
                ApplyColor();
            }),
      Font([this] { return font_.get(); }), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { ApplyFont(); };
}

TControl::~TControl() {
    if (parent_)
        parent_->RemoveControl(this);
    if (bridge_)
        bridge_->Detach();
    delete widget_;
}

void TControl::SetWidget(QWidget* widget) {
    widget_ = widget;
    bridge_ = new ControlBridge(this, widget);
    widget->hide();
}

TRect TControl::GetBounds() const {
    if (!widget_)
        return {};
    const QRect g = widget_->geometry();
    return Rect(g.x(), g.y(), g.x() + g.width(), g.y() + g.height());
}

TRect TControl::GetClientRect() const {
    const TRect b = GetBounds();
    return Rect(0, 0, b.Width(), b.Height());
}

void TControl::SetClientSize(int width, int height) {
    const TRect b = GetBounds();
    SetBounds(b.Left, b.Top, width, height);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!widget_)
        return;
    widget_->setGeometry(ALeft, ATop, std::max(0, AWidth), std::max(0, AHeight));
    if (parent_ && align_ != alNone)
        parent_->AlignControls();
    if (parent_)
        parent_->ControlsChanged();
    CheckResized();
}

void TControl::CheckResized() {
    if (!widget_)
        return;
    const QSize size = widget_->size();
    if (size.width() == lastWidth_ && size.height() == lastHeight_)
        return;
    lastWidth_ = size.width();
    lastHeight_ = size.height();
    Resized();
}

void TControl::Resized() {
    if (OnResize)
        OnResize(this);
}

void TControl::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    UpdateWidgetVisibility();
    if (parent_ && align_ != alNone)
        parent_->AlignControls();
}

void TControl::UpdateWidgetVisibility() {
    if (widget_)
        widget_->setVisible(visible_ && parent_);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_)
        return;
    if (parent_)
        parent_->RemoveControl(this);
    parent_ = parent;
    if (widget_)
        widget_->setParent(parent ? parent->ClientWidget() : nullptr);
    if (parent)
        parent->InsertControl(this);
    UpdateWidgetVisibility();
    if (parent && align_ != alNone)
        parent->AlignControls();
}

void TControl::ApplyColor() {
    if (!widget_)
        return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, ColorToQColor(color_));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

void TControl::ApplyFont() {
    if (!widget_)
        return;
    const QWidget* parent = widget_->parentWidget();
    widget_->setFont(font_->ToQFont(parent ? parent->font() : QApplication::font()));
    QPalette palette = widget_->palette();
    const QColor color = ColorToQColor(font_->Color);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, color);
    widget_->setPalette(palette);
}

void TControl::BringToFront() {
    if (widget_)
        widget_->raise();
    if (parent_)
        parent_->MoveControl(this, true);
}

void TControl::SendToBack() {
    if (widget_)
        widget_->lower();
    if (parent_)
        parent_->MoveControl(this, false);
}

namespace {

// A form paints through its client area, which Qt does not repaint with
// the window around it.
std::vector<QWidget*> PaintedWidgets(TControl& control) {
    std::vector<QWidget*> widgets{control.Widget()};
    if (auto* winControl = dynamic_cast<TWinControl*>(&control))
        if (winControl->ClientWidget() != control.Widget())
            widgets.push_back(winControl->ClientWidget());
    return widgets;
}

} // namespace

void TControl::Repaint() {
    if (!widget_)
        return;
    for (QWidget* widget : PaintedWidgets(*this)) {
        if (PaintState::Painting())
            widget->update();
        else
            widget->repaint();
    }
}

void TControl::Invalidate() {
    if (!widget_)
        return;
    for (QWidget* widget : PaintedWidgets(*this))
        widget->update();
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), ControlCount([this] { return static_cast<int>(controls_.size()); }),
      Controls([this](int i) {
          if (i < 0 || i >= static_cast<int>(controls_.size()))
              throw EListError("List index out of bounds (" + IntToStr(i) + ")");
          return controls_[i];
      }),
      Handle([this] { return reinterpret_cast<HWND>(this); }) {}

TWinControl::~TWinControl() {
    ControlBridge::Silence silence;
    aligning_ = true;
    while (!controls_.empty())
        delete controls_.back();
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    ControlsChanged();
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    AlignControls();
    ControlsChanged();
}

void TWinControl::MoveControl(TControl* control, bool toFront) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (toFront)
        controls_.push_back(control);
    else
        controls_.insert(controls_.begin(), control);
    AlignControls();
}

void TWinControl::Resized() {
    AlignControls();
    TControl::Resized();
}

void TWinControl::AlignControls() {
    const QWidget* client = ClientWidget();
    if (aligning_ || !client)
        return;
    aligning_ = true;
    QRect free = client->rect();
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* control : controls_) {
            QWidget* widget = control->Widget();
            if (control->align_ != align || !control->visible_ || !widget)
                continue;
            QRect place = free;
            switch (align) {
            case alTop:
                place.setHeight(widget->height());
                free.setTop(free.top() + widget->height());
                break;
            case alBottom:
                place.setTop(free.bottom() + 1 - widget->height());
                free.setBottom(free.bottom() - widget->height());
                break;
            case alLeft:
                place.setWidth(widget->width());
                free.setLeft(free.left() + widget->width());
                break;
            case alRight:
                place.setLeft(free.right() + 1 - widget->width());
                free.setRight(free.right() - widget->width());
                break;
            default:
                break;
            }
            widget->setGeometry(place.normalized());
            control->CheckResized();
        }
    }
    aligning_ = false;
}

void TWinControl::SetFocus() {
    if (Widget())
        Widget()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    return Widget() && Widget()->hasFocus();
}

void TWinControl::FocusEntered() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::FocusLeft() {
    if (OnExit)
        OnExit(this);
}

bool TWinControl::KeyDown(WORD key, TShiftState shift) {
    if (!OnKeyDown)
        return false;
    WORD used = key;
    OnKeyDown(this, used, shift);
    return used == 0;
}
