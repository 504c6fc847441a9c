#pragma once
// Forms, frames, scroll boxes, the application object and the screen.
//
// A form class derives from TForm; its constructor creates the components
// as its form resource lists them, binds the handlers and ends with
// Loaded(), which runs OnCreate:
//
//   TSurrenderForm::TSurrenderForm(TComponent* Owner) : TForm(Owner) {
//       Name = "SurrenderForm";
//       Tag = 305;
//       Caption = "Giving up the game...";
//       FormStyle = fsStayOnTop;
//       Position = poScreenCenter;
//       Button1 = new TButton(this);
//       Button1->Parent = this;
//       Button1->SetBounds(80, 120, 75, 25);
//       Button1->ModalResult = mrOk;
//       ...
//       OnShow = Method(this, &TSurrenderForm::FormShow);
//       Loaded();
//   }
//
// A form's Width and Height are its window's size (menu bar and client
// area) without the frame that the window manager adds; Left and Top
// place the frame. Setting Left or Top of a form places it where it is told (Position
// becomes poDesigned), so a form resource sets Position after them.
// Setting Menu on a form not yet shown keeps the client area's size (the
// window grows by the menu bar), so the client size of a resource holds in
// either order; on a shown form it keeps the window's size, and the client
// area takes or gives the bar's room (OnResize runs).
// Forms are freed with delete (OnDestroy runs first) or by their owner.

#include <memory>
#include <new>

#include "platform/vcl/Classes.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/SysSet.h"
#include "platform/win32/WinTypes.h"

class TMainMenu;
class TestHook;
class HelpViewer;
class QApplication;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon, biSystemMenu, biHelp>;

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// Help commands of HelpCommand.
constexpr int HELP_CONTEXT = 0x0001;
constexpr int HELP_QUIT = 0x0002;
constexpr int HELP_CONTENTS = 0x0003;
constexpr int HELP_FINDER = 0x000B;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;
    // `delete form` runs OnDestroy while the whole form still exists.
    static void operator delete(TForm* form, std::destroying_delete_t);

    // Shows the form and runs a message loop until ModalResult is set
    // (by a button's ModalResult, the handlers, Close or Terminate) and
    // the form agrees to close; returns ModalResult. With a test hook
    // installed, the hook answers instead (TestHook.h).
    int ShowModal();
    // Asks OnCloseQuery, then runs OnClose and hides (or frees) the form;
    // closing the main form ends the application. Inside ShowModal it
    // only sets ModalResult to mrCancel.
    void Close();
    bool CloseQuery();
    // Frees the form once control is back in the main loop, so no handler
    // still running below is left inside a freed form.
    void Release();
    // Runs `job` once control is back in the main loop (MessageLoop.h),
    // unless the form has been freed by then.
    void WhenBackInMainLoop(std::function<void()> job);
    // The end of the form resource: runs OnCreate.
    void Loaded();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    Property<TModalResult> ModalResult;
    Property<TFormBorderStyle> BorderStyle;
    Property<TBorderIcons> BorderIcons;
    Property<TPosition> Position;
    Property<TFormStyle> FormStyle;
    Property<TMainMenu*> Menu;
    ReadOnlyProperty<TSizeConstraints*> Constraints;
    ReadOnlyProperty<TCanvas*> Canvas;
    ReadOnlyProperty<bool> Modal;
    // The form is the application's active window (it has the focus).
    ReadOnlyProperty<bool> Active;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // Platform side.
    QWidget* ClientWidget() const override { return client_; }
    // Enter and Escape: the focused button, else the default or the
    // cancel button, is clicked. True when a button took the key.
    bool PressDialogKey(bool escape);
    // The close box: as Close.
    void CloseFromWindow();
    // Runs OnPaint once the paint that asks for it has finished.
    void RequestPaint();

protected:
    TRect GetBounds() const override;
    TRect GetClientRect() const override;
    void SetClientSize(int width, int height) override;
    bool GetVisible() const override;
    void SetVisible(bool visible) override;
    void ShowCaption(const AnsiString& caption) override;
    void ApplyColor() override;
    void Resized() override;

private:
    friend class TestHook;
    friend class TApplication;
    void ShowForm();
    void HideForm();
    void ApplyWindowFlags();
    void ApplyConstraints();
    void PlaceOnShow();
    void LayOutMenu();
    void CloseModal();
    void DoClose(TCloseAction& action);

    QWidget* client_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TModalResult modalResult_ = mrNone;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = TBorderIcons() << biSystemMenu << biMinimize << biMaximize;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    bool modal_ = false;
    bool showing_ = false;
    bool paintPending_ = false;
    // The client has been painted, OnPaint included, since the test hook
    // showed the form.
    bool painted_ = false;
    std::unique_ptr<TSizeConstraints> constraints_;
    std::unique_ptr<TCanvas> canvas_;
};

// The form a control sits on (through its parents); nullptr when none.
TForm* GetParentForm(TControl* control);

// A reusable group of controls placed on a form; it owns its components.
class TFrame : public TWinControl {
public:
    explicit TFrame(TComponent* AOwner);
};

// A client area larger than the control, scrolled; its size follows the
// controls inside.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);

    Property<TBorderStyle> BorderStyle;

    QWidget* ClientWidget() const override { return inner_; }

protected:
    void ControlsChanged() override;

private:
    QWidget* inner_ = nullptr;
};

// The running program: message boxes, the message loop, help. Forms that
// it owns are freed when Run ends (or by DestroyComponents, which a
// program that does not call Run calls before it ends).
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Starts the windowing system (once; a program has no command line).
    void Initialize();
    // Creates a form owned by the application; the first one becomes the
    // main form.
    template <class T> void CreateForm(T*& reference) {
        reference = new T(this);
        if (!mainForm_)
            mainForm_ = reference;
    }
    // Shows the main form and runs the message loop until the main form
    // closes or Terminate is called; then frees the forms it owns and ends
    // the windowing system that Initialize started. An exception from an
    // event handler is shown with ShowException and the loop goes on, in
    // modal loops as well.
    void Run();
    void Terminate();
    void ProcessMessages();
    // One turn of a wait: runs the waiting messages or, when none wait,
    // sleeps until one comes (at most MessageWaitMs), so a loop of these
    // costs no processor time while nothing happens. A nested loop, as
    // ProcessMessages is.
    void HandleMessage();
    // Frees every component the application owns, last first.
    void DestroyComponents();

    // A message box: the MB_ flags choose buttons, icon and default
    // button; the result is the ID of the pressed button. With a test
    // hook installed the hook answers; with no windowing system it writes
    // the text to standard error and answers with the default button.
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags);
    // The message box of an exception: its message (with a full stop
    // added unless it ends in punctuation), captioned with the Title.
    void ShowException(const std::exception& error);

    // The help window on the HTML book of HelpFile (see HelpViewer.h);
    // false when there is no HelpFile or no windowing system.
    bool HelpJump(const AnsiString& topic);
    bool HelpCommand(int Command, int Data);

    Property<AnsiString> Title;
    Property<AnsiString> HelpFile;
    ReadOnlyProperty<TForm*> MainForm;
    ReadOnlyProperty<bool> Terminated;
    ReadOnlyProperty<HWND> Handle;

    // Test side: the installed hook (nullptr when none).
    TestHook* Hook() const { return hook_; }
    // Test side: after Terminate the program runs again, as it would in a
    // new process.
    void ResetTermination() { terminated_ = false; }

private:
    friend class TestHook;
    friend class TForm;
    int ShowMessageBox(const AnsiString& text, const AnsiString& caption, int flags);
    bool ShowHelp(const AnsiString& topic);

    AnsiString title_;
    AnsiString helpFile_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    TestHook* hook_ = nullptr;
    QApplication* ownApplication_ = nullptr;
    std::unique_ptr<HelpViewer> help_;
};

extern TApplication* Application;

// The screen: the size of the primary screen and of the whole desktop
// (all screens); 0 when there is no windowing system.
class TScreen : public TObject {
public:
    TScreen();
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    ReadOnlyProperty<int> Width;
    ReadOnlyProperty<int> Height;
    ReadOnlyProperty<int> DesktopWidth;
    ReadOnlyProperty<int> DesktopHeight;
};

extern TScreen* Screen;
