#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <algorithm>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/vcl/QtBridge.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/TestHook.h"

namespace {

// The window of a form: the menu bar on top, the client area below.
class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form) : form_(form) {}
    void Detach() { form_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (form_ && !ControlBridge::Silence::Active())
            RunHandler([this] { form_->CloseFromWindow(); });
    }
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        const bool dialogKey =
            key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
        bool pressed = false;
        if (form_ && dialogKey)
            RunHandler([&] { pressed = form_->PressDialogKey(key == Qt::Key_Escape); });
        if (pressed)
            event->accept();
        else
            QWidget::keyPressEvent(event);
    }

private:
    TForm* form_;
};

// The client area: the form's colour, what its canvas drew, and OnPaint.
class FormClient : public QWidget {
public:
    FormClient(TForm* form, QWidget* window) : QWidget(window), form_(form) {
        setAutoFillBackground(true);
    }
    void Detach() { form_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!form_)
            return;
        QPainter painter(this);
        painter.drawImage(0, 0, form_->Canvas->Image());
        painter.end();
        if (!PaintState::ShowingCanvas())
            form_->RequestPaint();
    }

private:
    TForm* form_;
};

TButton* FindButton(const TWinControl& parent, const std::function<bool(TButton&)>& wanted) {
    for (int i = 0; i < parent.ControlCount; ++i) {
        TControl* control = parent.Controls[i];
        auto* button = dynamic_cast<TButton*>(control);
        if (button && button->Visible && button->Enabled && wanted(*button))
            return button;
        auto* inner = dynamic_cast<TWinControl*>(control);
        if (inner && inner->Visible)
            if (TButton* found = FindButton(*inner, wanted))
                return found;
    }
    return nullptr;
}

} // namespace

// ---- TForm ----

TForm* GetParentForm(TControl* control) {
    while (control && !dynamic_cast<TForm*>(control))
        control = control->Parent;
    return dynamic_cast<TForm*>(control);
}

TForm::TForm(TComponent* AOwner)
    : TWinControl(AOwner),
      ModalResult([this] { return modalResult_; }, [this](TModalResult v) { modalResult_ = v; }),
      BorderStyle([this] { return borderStyle_; },
                  [this](TFormBorderStyle v) {
                      borderStyle_ = v;
                      ApplyWindowFlags();
                  }),
      BorderIcons([this] { return borderIcons_; },
                  [this](TBorderIcons v) {
                      borderIcons_ = v;
                      ApplyWindowFlags();
                  }),
      Position([this] { return position_; }, [this](TPosition v) { position_ = v; }),
      FormStyle([this] { return formStyle_; },
                [this](TFormStyle v) {
                    formStyle_ = v;
                    ApplyWindowFlags();
                }),
      Menu([this] { return menu_; },
           [this](TMainMenu* menu) {
               const TRect client = GetClientRect();
               if (menu_ && menu_->bar_) {
                   menu_->bar_->hide();
                   menu_->bar_->setParent(nullptr);
               }
               if (menu_)
                   menu_->shownBy_ = nullptr;
               if (menu && menu->shownBy_ && menu->shownBy_ != this)
                   menu->shownBy_->Menu = nullptr;
               menu_ = menu;
               if (menu_) {
                   menu_->shownBy_ = this;
                   menu_->bar_->setParent(Widget());
                   menu_->bar_->show();
               }
               // A form resource's client size holds; a window on the screen
               // keeps its size, and its client area takes or gives the bar's
               // room.
               if (GetVisible()) {
                   Resized();
               } else {
                   LayOutMenu();
                   SetClientSize(client.Width(), client.Height());
               }
           }),
      Constraints([this] { return constraints_.get(); }), Canvas([this] { return canvas_.get(); }),
      Modal([this] { return modal_; }), Active([this] { return Widget()->isActiveWindow(); }),
      constraints_(std::make_unique<TSizeConstraints>()) {
    auto* window = new FormWindow(this);
    client_ = new FormClient(this, window);
    canvas_ = std::make_unique<TCanvas>(client_);
    SetWidget(window);
    window->resize(320, 240);
    constraints_->OnChange = [this](TObject*) { ApplyConstraints(); };
    ApplyWindowFlags();
    LayOutMenu();
    CheckResized();
}

void TForm::operator delete(TForm* form, std::destroying_delete_t) {
    if (form->OnDestroy)
        form->OnDestroy(form);
    void* storage = dynamic_cast<void*>(form);
    form->~TForm();
    ::operator delete(storage);
}

TForm::~TForm() {
    ControlBridge::Silence silence;
    if (Application->MainForm == this)
        Application->mainForm_ = nullptr;
    // The menu bar outlives the window; nothing is laid out any more.
    if (menu_) {
        menu_->shownBy_ = nullptr;
        menu_->bar_->hide();
        menu_->bar_->setParent(nullptr);
        menu_ = nullptr;
    }
    static_cast<FormClient*>(client_)->Detach();
    if (auto* window = dynamic_cast<FormWindow*>(Widget()))
        window->Detach();
}

void TForm::Loaded() {
    if (OnCreate)
        OnCreate(this);
}

// The window manager's frame is known only once a window shows, and not
// always then; sizes that counted it would change after the first show
// and grow by it with every size stored and restored. So a form's size is
// its window's without that frame, and its place is the frame's.
TRect TForm::GetBounds() const {
    const QWidget* window = Widget();
    return Rect(window->x(), window->y(), window->x() + window->width(),
                window->y() + window->height());
}

TRect TForm::GetClientRect() const {
    return Rect(0, 0, client_->width(), client_->height());
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    QWidget* window = Widget();
    if (ALeft != window->x() || ATop != window->y())
        position_ = poDesigned;
    window->move(ALeft, ATop);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(std::max(0, AWidth), std::max(0, AHeight));
    ApplyConstraints();
    CheckResized();
}

void TForm::SetClientSize(int width, int height) {
    const TRect bounds = GetBounds();
    const int menuHeight = Widget()->height() - client_->height();
    SetBounds(bounds.Left, bounds.Top, width, height + menuHeight);
}

void TForm::LayOutMenu() {
    QWidget* window = Widget();
    QMenuBar* bar = menu_ ? menu_->bar_ : nullptr;
    const int menuHeight = bar ? bar->sizeHint().height() : 0;
    if (bar)
        bar->setGeometry(0, 0, window->width(), menuHeight);
    client_->setGeometry(0, menuHeight, window->width(),
                         std::max(0, window->height() - menuHeight));
    canvas_->Resize(client_->width(), client_->height());
}

void TForm::Resized() {
    LayOutMenu();
    TWinControl::Resized();
}

// A form is visible from the moment it is told to show, so its OnShow
// handler sees it visible, as the class library has it.
bool TForm::GetVisible() const {
    return showing_ || Widget()->isVisible();
}

void TForm::SetVisible(bool visible) {
    if (visible)
        ShowForm();
    else
        HideForm();
}

void TForm::ShowCaption(const AnsiString& caption) {
    Widget()->setWindowTitle(ToQString(caption));
}

void TForm::ApplyColor() {
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, ColorToQColor(Color));
    client_->setPalette(palette);
}

void TForm::ApplyWindowFlags() {
    QWidget* window = Widget();
    Qt::WindowFlags flags = Qt::Window;
    if (borderStyle_ == bsDialog)
        flags = Qt::Dialog;
    else if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin)
        flags = Qt::Tool;
    if (borderStyle_ == bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_.Contains(biSystemMenu))
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (borderIcons_.Contains(biMinimize))
            flags |= Qt::WindowMinimizeButtonHint;
        if (borderIcons_.Contains(biMaximize) &&
            (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin))
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (formStyle_ == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (window->windowFlags() != flags) {
        const bool wasVisible = window->isVisible();
        window->setWindowFlags(flags);
        if (wasVisible)
            window->show();
    }
    ApplyConstraints();
}

void TForm::ApplyConstraints() {
    QWidget* window = Widget();
    const bool fixedSize = borderStyle_ == bsDialog || borderStyle_ == bsSingle ||
                           borderStyle_ == bsNone || borderStyle_ == bsToolWindow;
    if (fixedSize) {
        window->setFixedSize(window->size());
        return;
    }
    const TSizeConstraints& limits = *constraints_;
    window->setMinimumSize(limits.MinWidth, limits.MinHeight);
    window->setMaximumSize(limits.MaxWidth ? int(limits.MaxWidth) : QWIDGETSIZE_MAX,
                           limits.MaxHeight ? int(limits.MaxHeight) : QWIDGETSIZE_MAX);
}

void TForm::PlaceOnShow() {
    QWidget* window = Widget();
    const TRect bounds = GetBounds();
    QRect area;
    const TForm* centreOn = nullptr;
    if (position_ == poMainFormCenter)
        centreOn = Application->MainForm;
    else if (position_ == poOwnerFormCenter)
        centreOn = dynamic_cast<TForm*>(static_cast<TComponent*>(Owner));
    if (centreOn && centreOn != this && centreOn->Widget()->isVisible())
        area = centreOn->Widget()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = position_ == poDesktopCenter ? screen->virtualGeometry() : screen->geometry();
    const bool centred = position_ == poScreenCenter || position_ == poDesktopCenter ||
                         position_ == poMainFormCenter || position_ == poOwnerFormCenter;
    if (centred && area.isValid())
        window->move(area.x() + (area.width() - bounds.Width()) / 2,
                     area.y() + (area.height() - bounds.Height()) / 2);
}

void TForm::ShowForm() {
    QWidget* window = Widget();
    if (window->isVisible() || showing_) {
        window->raise();
        window->activateWindow();
        return;
    }
    showing_ = true;
    try {
        if (OnShow)
            OnShow(this);
    } catch (...) {
        showing_ = false;
        throw;
    }
    showing_ = false;
    PlaceOnShow();
    ApplyConstraints();
    window->show();
    window->raise();
    window->activateWindow();
}

void TForm::HideForm() {
    QWidget* window = Widget();
    if (!window->isVisible())
        return;
    window->hide();
    if (OnHide)
        OnHide(this);
}

int TForm::ShowModal() {
    const TNestedLoop nested;
    if (Widget()->isVisible() || modal_)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (TestHook* hook = Application->Hook())
        return hook->AnswerModal(*this);
    modal_ = true;
    modalResult_ = mrNone;
    Widget()->setWindowModality(Qt::ApplicationModal);
    ShowForm();
    while (modalResult_ == mrNone) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (Application->Terminated)
            modalResult_ = mrCancel;
        else if (modalResult_ != mrNone)
            CloseModal();
    }
    HideForm();
    Widget()->setWindowModality(Qt::NonModal);
    modal_ = false;
    return modalResult_;
}

void TForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        modalResult_ = mrNone;
    else if (action == caFree)
        Release();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(this, action);
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application->MainForm == this)
        Application->Terminate();
    else if (action == caHide)
        HideForm();
    else if (action == caMinimize)
        Widget()->showMinimized();
    else
        Release();
}

void TForm::CloseFromWindow() {
    Close();
}

// A form freed in the meantime (by its owner) takes its window with it,
// and the job then is dropped.
void TForm::WhenBackInMainLoop(std::function<void()> job) {
    ::WhenBackInMainLoop([window = QPointer<QWidget>(Widget()), job = std::move(job)] {
        if (window)
            job();
    });
}

void TForm::Release() {
    WhenBackInMainLoop([this] { RunHandler([this] { delete this; }); });
}

void TForm::RequestPaint() {
    if (!OnPaint) {
        painted_ = true;
        return;
    }
    if (paintPending_)
        return;
    paintPending_ = true;
    QMetaObject::invokeMethod(
        client_,
        [this] {
            paintPending_ = false;
            if (OnPaint)
                RunHandler([this] { OnPaint(this); });
            painted_ = true;
        },
        Qt::QueuedConnection);
}

bool TForm::PressDialogKey(bool escape) {
    TButton* button = nullptr;
    if (!escape) {
        QWidget* focus = QApplication::focusWidget();
        button = FindButton(*this, [focus](TButton& b) { return b.Widget() == focus; });
        if (!button)
            button = FindButton(*this, [](TButton& b) { return bool(b.Default); });
    } else {
        button = FindButton(*this, [](TButton& b) { return bool(b.Cancel); });
    }
    if (!button)
        return false;
    button->Click();
    return true;
}

// ---- TFrame ----

TFrame::TFrame(TComponent* AOwner) : TWinControl(AOwner) {
    SetWidget(new QWidget);
    SetBounds(0, 0, 320, 240);
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent* AOwner)
    : TWinControl(AOwner), BorderStyle(
                               [this] {
                                   auto* area = static_cast<QScrollArea*>(Widget());
                                   return area->frameShape() == QFrame::NoFrame ? bsNone : bsSingle;
                               },
                               [this](TBorderStyle v) {
                                   static_cast<QScrollArea*>(Widget())->setFrameShape(
                                       v == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
                               }) {
    auto* area = new QScrollArea;
    inner_ = new QWidget;
    area->setWidget(inner_);
    area->setWidgetResizable(false);
    SetWidget(area);
    SetBounds(0, 0, 185, 41);
}

// The scrolled area grows to hold every control inside it.
void TScrollBox::ControlsChanged() {
    QRect extent(0, 0, 1, 1);
    for (int i = 0; i < ControlCount; ++i)
        if (const QWidget* widget = Controls[i]->Widget())
            extent |= widget->geometry();
    inner_->resize(extent.right() + 1, extent.bottom() + 1);
}
