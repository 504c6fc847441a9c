#include "platform/vcl/TestHook.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cxxabi.h>
#include <memory>

#include "platform/vcl/MessageLoop.h"

namespace {

AnsiString Hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

AnsiString DescribeBox(const AnsiString& text, const AnsiString& caption, int flags) {
    return "\"" + text + "\" (caption \"" + caption + "\", flags " + Hex(flags) + ")";
}

void WriteToStandardError(const AnsiString& message) {
    std::fprintf(stderr, "test hook: %s\n", message.c_str());
}

} // namespace

// ---- expectations ----

TestHook::MessageBoxExpectation&
TestHook::MessageBoxExpectation::Caption(const AnsiString& caption) {
    caption_ = caption;
    hasCaption_ = true;
    return *this;
}

TestHook::MessageBoxExpectation& TestHook::MessageBoxExpectation::Flags(int flags) {
    flags_ = flags;
    hasFlags_ = true;
    return *this;
}

TestHook::MessageBoxExpectation& TestHook::MessageBoxExpectation::Press(int id) {
    answer_ = id;
    hasAnswer_ = true;
    return *this;
}

TestHook::MessageBoxExpectation& TestHook::MessageBoxExpectation::Times(int count) {
    remaining_ = count;
    return *this;
}

TestHook::MessageBoxExpectation& TestHook::MessageBoxExpectation::Repeatedly() {
    remaining_ = -1;
    return *this;
}

TestHook::MessageBoxExpectation&
TestHook::MessageBoxExpectation::WhileOpen(std::function<void()> action) {
    whileOpen_ = std::move(action);
    return *this;
}

bool TestHook::MessageBoxExpectation::Matches(const AnsiString& text, const AnsiString& caption,
                                              int flags) const {
    return remaining_ != 0 && text == text_ && (!hasCaption_ || caption == caption_) &&
           (!hasFlags_ || flags == flags_);
}

AnsiString TestHook::MessageBoxExpectation::Describe() const {
    AnsiString description = "\"" + text_ + "\"";
    if (hasCaption_)
        description += " (caption \"" + caption_ + "\")";
    if (hasFlags_)
        description += " (flags " + Hex(flags_) + ")";
    return description;
}

TestHook::ModalExpectation& TestHook::ModalExpectation::Fill(std::function<void(TForm&)> fill) {
    fill_ = std::move(fill);
    return *this;
}

TestHook::ModalExpectation& TestHook::ModalExpectation::Result(TModalResult result) {
    result_ = result;
    hasResult_ = true;
    return *this;
}

TestHook::ModalExpectation& TestHook::ModalExpectation::Times(int count) {
    remaining_ = count;
    return *this;
}

TestHook::ModalExpectation& TestHook::ModalExpectation::Repeatedly() {
    remaining_ = -1;
    return *this;
}

// ---- the hook ----

TestHook::TestHook() : TestHook(FailureReporter()) {}

TestHook::TestHook(FailureReporter onFailure)
    : OnFailure(std::move(onFailure)), previous_(Application->hook_) {
    if (!OnFailure)
        OnFailure = previous_ ? previous_->OnFailure : FailureReporter(WriteToStandardError);
    Application->hook_ = this;
}

TestHook::~TestHook() {
    Verify();
    Application->hook_ = previous_;
}

void TestHook::Fail(const AnsiString& message) {
    failures_.push_back(message);
    if (OnFailure)
        OnFailure(message);
}

void TestHook::Verify() {
    for (const MessageBoxExpectation& e : boxExpectations_)
        if (e.remaining_ > 0)
            Fail("expected message box never shown: " + e.Describe());
    for (const ModalExpectation& e : modalExpectations_)
        if (e.remaining_ > 0)
            Fail("expected modal form never shown: " + e.description_);
    boxExpectations_.clear();
    modalExpectations_.clear();
}

TestHook::MessageBoxExpectation& TestHook::ExpectMessageBox(const AnsiString& text) {
    boxExpectations_.emplace_back();
    boxExpectations_.back().text_ = text;
    return boxExpectations_.back();
}

TestHook::ModalExpectation& TestHook::AddModal(const AnsiString& description,
                                               std::function<bool(TForm&)> matches) {
    modalExpectations_.emplace_back();
    ModalExpectation& expectation = modalExpectations_.back();
    expectation.description_ = description;
    expectation.matches_ = std::move(matches);
    return expectation;
}

TestHook::ModalAnswer<TForm> TestHook::ExpectModal(const AnsiString& classOrName) {
    ModalExpectation& expectation = AddModal(classOrName, [classOrName](TForm& form) {
        return form.Name == classOrName || ClassNameOf(form) == classOrName;
    });
    return ModalAnswer<TForm>(expectation);
}

AnsiString TestHook::Demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && plain ? AnsiString(plain.get()) : AnsiString(name);
}

int TestHook::BoxesShown(const AnsiString& text) const {
    return static_cast<int>(std::count_if(
        boxes_.begin(), boxes_.end(), [&](const MessageBoxCall& box) { return box.Text == text; }));
}

AnsiString TestHook::ClassNameOf(const TObject& object) {
    return Demangle(typeid(object).name());
}

int TestHook::AnswerMessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    MessageBoxCall call{text, caption, flags, DefaultButtonOf(flags), false};
    std::function<void()> whileOpen;
    for (MessageBoxExpectation& e : boxExpectations_) {
        if (!e.Matches(text, caption, flags))
            continue;
        if (e.remaining_ > 0)
            --e.remaining_;
        call.Expected = true;
        if (e.hasAnswer_)
            call.Result = e.answer_;
        whileOpen = e.whileOpen_;
        break;
    }
    boxes_.push_back(call);
    if (!call.Expected)
        Fail("unexpected message box " + DescribeBox(text, caption, flags));
    // A copy: the action may state or verify expectations.
    if (whileOpen)
        whileOpen();
    return call.Result;
}

TModalResult TestHook::AnswerModal(TForm& form) {
    ModalFormCall call{ClassNameOf(form), form.Name, "", mrCancel, false};
    ModalExpectation* found = nullptr;
    for (ModalExpectation& e : modalExpectations_)
        if (e.remaining_ != 0 && e.matches_(form)) {
            found = &e;
            break;
        }
    if (!found) {
        call.Caption = form.Caption;
        forms_.push_back(call);
        Fail("unexpected modal form " + call.ClassName + " \"" + call.Name + "\"");
        return mrCancel;
    }
    if (found->remaining_ > 0)
        --found->remaining_;
    call.Expected = true;
    const TModalResult result = Run(form, *found, call);
    call.Caption = form.Caption;
    call.Result = result;
    forms_.push_back(call);
    return result;
}

// Whether the user has seen the form. A client area that its controls
// cover all over gets no paint of its own: there the window's being on
// the screen is what counts.
bool TestHook::Painted(const TForm& form) {
    if (form.painted_)
        return true;
    const QWindow* window = form.Widget()->window()->windowHandle();
    return window && window->isExposed() && form.client_->visibleRegion().isEmpty();
}

// A user sees the form, and what its OnPaint does, before touching it; on
// a busy machine that paint can come late, so the wait is for the paint
// itself, with a bound far above any real delay. Then the other pending
// messages run.
void TestHook::WaitForFirstPaint(TForm& form) {
    if (!QCoreApplication::instance())
        return;
    QDeadlineTimer deadline(FirstPaintBoundMs);
    while (!Painted(form) && !deadline.hasExpired())
        WaitForEvents(MessageWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
}

TModalResult TestHook::Run(TForm& form, const ModalExpectation& expectation,
                           const ModalFormCall& call) {
    form.modal_ = true;
    form.modalResult_ = mrNone;
    form.painted_ = false;
    form.ShowForm();
    WaitForFirstPaint(form);
    if (expectation.fill_)
        expectation.fill_(form);
    if (expectation.hasResult_)
        form.modalResult_ = expectation.result_;
    if (form.modalResult_ == mrNone) {
        Fail("modal form " + call.ClassName + " was left without a modal result");
        form.modalResult_ = mrCancel;
    }
    form.CloseModal();
    if (form.modalResult_ == mrNone) {
        Fail("modal form " + call.ClassName + " refused to close");
        form.modalResult_ = mrCancel;
    }
    form.HideForm();
    form.modal_ = false;
    return form.modalResult_;
}
