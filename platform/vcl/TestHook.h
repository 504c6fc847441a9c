#pragma once
// The test hook of the application object: it answers message boxes and
// modal forms so that tests never block, and records every one shown.
//
//   TestHook hook;                       // installed while it lives
//   hook.ExpectMessageBox("Really give up the match?")
//       .Caption("Korvel").Flags(MB_YESNO | MB_TASKMODAL).Press(IDYES);
//   hook.ExpectModal<TSurrenderForm>()
//       .Fill([](TSurrenderForm& form) {
//           form.RadioButton1->Click();
//           form.Button1->Click();       // its ModalResult closes the form
//       });
//   hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel);
//   hook.ExpectMessageBox("Draw?").WhileOpen([] { /* more messages arrive */ });
//   ... run the code under test ...
//   EXPECT_EQ(hook.MessageBoxes().size(), 1u);
//
// Expectations are met in the order they were stated: a box or form takes
// the first open expectation that matches it. An expectation is met once
// unless Times(n) or Repeatedly() says otherwise.
//
// A message box with no matching expectation is answered with its default
// button; a modal form with none gets mrCancel; both are failures, and so
// is an expectation still open when the hook ends (or at Verify). A
// failure goes to OnFailure: a new hook takes it over from the hook
// installed before it (the GUI test main installs one that fails the
// running test), and writes to standard error when there is none; every
// failure is also kept in Failures().
//
// A message box with WhileOpen runs that action while it is open, before
// it is answered, as a user's box lets messages (timers, sockets) run
// meanwhile; boxes shown inside the action are recorded after the box.
//
// A modal form runs as it would for a user: it is shown (OnShow), its first
// paint (with OnPaint) is waited for and the other pending messages are
// processed, then Fill runs with the form; its result is Result(...) when given, otherwise the
// ModalResult that Fill left (a button's ModalResult, a handler). Then the
// form is asked to close (OnCloseQuery, OnClose) and hidden. A form left
// without a result, or one that refuses to close, is a failure and gives
// mrCancel.

#include <functional>
#include <list>
#include <typeinfo>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/SysUtils.h"

struct MessageBoxCall {
    AnsiString Text;
    AnsiString Caption;
    int Flags = 0;
    int Result = 0;
    bool Expected = false;
};

struct ModalFormCall {
    AnsiString ClassName; // "TSurrenderForm"
    AnsiString Name;      // "SurrenderForm"
    AnsiString Caption;   // as shown, after OnShow
    TModalResult Result = mrNone;
    bool Expected = false;
};

class TestHook {
public:
    using FailureReporter = std::function<void(const AnsiString& message)>;

    TestHook();
    explicit TestHook(FailureReporter onFailure);
    TestHook(const TestHook&) = delete;
    TestHook& operator=(const TestHook&) = delete;
    // Reports the expectations still open, then gives the application
    // back to the hook installed before.
    ~TestHook();

    class MessageBoxExpectation {
    public:
        MessageBoxExpectation& Caption(const AnsiString& caption);
        MessageBoxExpectation& Flags(int flags);
        // The button pressed (IDOK, IDYES, ...); without it, the box's
        // default button.
        MessageBoxExpectation& Press(int id);
        MessageBoxExpectation& Times(int count);
        MessageBoxExpectation& Repeatedly();
        // Runs while the box is open, before it is answered.
        MessageBoxExpectation& WhileOpen(std::function<void()> action);

    private:
        friend class TestHook;
        bool Matches(const AnsiString& text, const AnsiString& caption, int flags) const;
        AnsiString Describe() const;
        AnsiString text_;
        AnsiString caption_;
        bool hasCaption_ = false;
        int flags_ = 0;
        bool hasFlags_ = false;
        int answer_ = 0;
        bool hasAnswer_ = false;
        int remaining_ = 1; // -1: any number of times
        std::function<void()> whileOpen_;
    };

    class ModalExpectation {
    public:
        ModalExpectation& Fill(std::function<void(TForm&)> fill);
        ModalExpectation& Result(TModalResult result);
        ModalExpectation& Times(int count);
        ModalExpectation& Repeatedly();

    private:
        friend class TestHook;
        AnsiString description_;
        std::function<bool(TForm&)> matches_;
        std::function<void(TForm&)> fill_;
        TModalResult result_ = mrNone;
        bool hasResult_ = false;
        int remaining_ = 1;
    };

    // The answer to modal forms of class T (or a subclass); Fill gets the
    // form as a T.
    template <class T> class ModalAnswer {
    public:
        explicit ModalAnswer(ModalExpectation& expectation) : expectation_(expectation) {}
        ModalAnswer& Fill(std::function<void(T&)> fill) {
            expectation_.Fill([fill](TForm& form) { fill(dynamic_cast<T&>(form)); });
            return *this;
        }
        ModalAnswer& Result(TModalResult result) {
            expectation_.Result(result);
            return *this;
        }
        ModalAnswer& Times(int count) {
            expectation_.Times(count);
            return *this;
        }
        ModalAnswer& Repeatedly() {
            expectation_.Repeatedly();
            return *this;
        }

    private:
        ModalExpectation& expectation_;
    };

    MessageBoxExpectation& ExpectMessageBox(const AnsiString& text);

    template <class T> ModalAnswer<T> ExpectModal() {
        ModalExpectation& expectation = AddModal(
            ClassNameOf<T>(), [](TForm& form) { return dynamic_cast<T*>(&form) != nullptr; });
        return ModalAnswer<T>(expectation);
    }
    // By class name ("TSurrenderForm") or component Name ("SurrenderForm").
    ModalAnswer<TForm> ExpectModal(const AnsiString& classOrName);

    const std::vector<MessageBoxCall>& MessageBoxes() const { return boxes_; }
    // How many of the boxes shown so far had this text.
    int BoxesShown(const AnsiString& text) const;
    const std::vector<ModalFormCall>& ModalForms() const { return forms_; }
    // Every help request: the topic of HelpJump, "" for the contents.
    const std::vector<AnsiString>& HelpTopics() const { return helpTopics_; }
    const std::vector<AnsiString>& Failures() const { return failures_; }
    // Reports the expectations still open now and forgets them.
    void Verify();

    FailureReporter OnFailure;

    // The class name of a form ("TSurrenderForm").
    static AnsiString ClassNameOf(const TObject& object);
    template <class T> static AnsiString ClassNameOf() { return Demangle(typeid(T).name()); }

private:
    friend class TApplication;
    friend class TForm;
    static AnsiString Demangle(const char* name);
    ModalExpectation& AddModal(const AnsiString& description, std::function<bool(TForm&)> matches);
    int AnswerMessageBox(const AnsiString& text, const AnsiString& caption, int flags);
    TModalResult AnswerModal(TForm& form);
    TModalResult Run(TForm& form, const ModalExpectation& expectation, const ModalFormCall& call);
    static bool Painted(const TForm& form);
    static void WaitForFirstPaint(TForm& form);
    static constexpr int FirstPaintBoundMs = 10000;
    void RecordHelp(const AnsiString& topic) { helpTopics_.push_back(topic); }
    void Fail(const AnsiString& message);

    TestHook* previous_;
    std::list<MessageBoxExpectation> boxExpectations_;
    std::list<ModalExpectation> modalExpectations_;
    std::vector<MessageBoxCall> boxes_;
    std::vector<ModalFormCall> forms_;
    std::vector<AnsiString> helpTopics_;
    std::vector<AnsiString> failures_;
};

// The ID of the button that a box with these flags presses by default.
int DefaultButtonOf(int flags);
