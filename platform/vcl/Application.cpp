#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/HelpViewer.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/vcl/QtBridge.h"
#include "platform/vcl/TestHook.h"

namespace {

TApplication TheApplication;
TScreen TheScreen;

bool HaveWindows() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// The platform's own texts, such as the buttons of message boxes, in the
// user's language, as the system around the program shows them.
void InstallSystemTexts(QCoreApplication* application) {
    auto* texts = new QTranslator(application);
    if (texts->load(QLocale::system(), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(texts);
}

AnsiString ProgramName() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? AnsiString("korvel") : program.stem().string();
}

struct BoxButton {
    int id;
    QMessageBox::StandardButton button;
};

// The buttons of a message box, in the order the MB_ flags give them.
std::vector<BoxButton> ButtonsOf(int flags) {
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return {{IDOK, QMessageBox::Ok}, {IDCANCEL, QMessageBox::Cancel}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, QMessageBox::Abort},
                {IDRETRY, QMessageBox::Retry},
                {IDIGNORE, QMessageBox::Ignore}};
    case MB_YESNOCANCEL:
        return {
            {IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}, {IDCANCEL, QMessageBox::Cancel}};
    case MB_YESNO:
        return {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, QMessageBox::Retry}, {IDCANCEL, QMessageBox::Cancel}};
    default:
        return {{IDOK, QMessageBox::Ok}};
    }
}

size_t DefaultIndexOf(int flags, size_t buttonCount) {
    const size_t index = static_cast<size_t>((flags >> 8) & 0x0F);
    return index < buttonCount ? index : 0;
}

QMessageBox::Icon IconOf(int flags) {
    switch (flags & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QString WithLineFeeds(const AnsiString& text) {
    return ToQString(text).remove(u'\r');
}

} // namespace

TApplication* Application = &TheApplication;
TScreen* Screen = &TheScreen;

int DefaultButtonOf(int flags) {
    const std::vector<BoxButton> buttons = ButtonsOf(flags);
    return buttons[DefaultIndexOf(flags, buttons.size())].id;
}

// ---- TApplication ----

TApplication::TApplication()
    : TComponent(nullptr), Title([this] { return title_.empty() ? ProgramName() : title_; },
                                 [this](const AnsiString& v) { title_ = v; }),
      HelpFile([this] { return helpFile_; }, [this](const AnsiString& v) { helpFile_ = v; }),
      MainForm([this] { return mainForm_; }), Terminated([this] { return terminated_; }),
      Handle([this] { return reinterpret_cast<HWND>(this); }) {}

// By the time static objects end, Qt's own have ended before them, so no
// window can be freed here any more: Run (and the GUI test main) free
// them while Qt still runs. What is left then stays to the end of the
// process, and so does the QApplication made by Initialize.
TApplication::~TApplication() {
    while (ComponentCount > 0)
        RemoveComponent(Components[ComponentCount - 1]);
    help_.release();
}

void TApplication::Initialize() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static std::string name = ProgramName();
        static char* argv[] = {name.data(), nullptr};
        ownApplication_ = new QApplication(argc, argv);
        InstallSystemTexts(ownApplication_);
    }
    // The class library's forms are laid out for its 8-point face, which
    // is 11 pixels high.
    QFont font = QApplication::font();
    font.setPixelSize(11);
    QApplication::setFont(font);
}

void TApplication::Run() {
    if (!HaveWindows())
        Initialize();
    if (mainForm_ && !terminated_)
        mainForm_->Show();
    while (mainForm_ && !terminated_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    DestroyComponents();
    delete ownApplication_;
    ownApplication_ = nullptr;
}

void TApplication::Terminate() {
    terminated_ = true;
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

void TApplication::ProcessMessages() {
    const TNestedLoop nested;
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
    const TNestedLoop nested;
    WaitForEvents(MessageWaitMs);
}

void TApplication::DestroyComponents() {
    help_.reset();
    while (ComponentCount > 0) {
        TComponent* last = Components[ComponentCount - 1];
        delete last;
    }
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, int Flags) {
    const TNestedLoop nested;
    if (hook_)
        return hook_->AnswerMessageBox(Text, Caption, Flags);
    if (!HaveWindows()) {
        std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
        return DefaultButtonOf(Flags);
    }
    return ShowMessageBox(Text, Caption, Flags);
}

int TApplication::ShowMessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    QMessageBox box(IconOf(flags), ToQString(caption), WithLineFeeds(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    const std::vector<BoxButton> buttons = ButtonsOf(flags);
    std::vector<QAbstractButton*> shown;
    for (const BoxButton& b : buttons)
        shown.push_back(box.addButton(b.button));
    box.setDefaultButton(static_cast<QPushButton*>(shown[DefaultIndexOf(flags, buttons.size())]));
    if (flags & (MB_TOPMOST | MB_SYSTEMMODAL))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    for (size_t i = 0; i < shown.size(); ++i)
        if (box.clickedButton() == shown[i])
            return buttons[i].id;
    return DefaultButtonOf(flags);
}

void TApplication::ShowException(const std::exception& error) {
    // A message ends with a full stop unless it ends in punctuation.
    AnsiString text = error.what();
    if (!text.empty() && text.back() > '.')
        text += '.';
    MessageBox(text, Title, MB_OK | MB_ICONSTOP);
}

bool TApplication::ShowHelp(const AnsiString& topic) {
    if (helpFile_.empty() || !HaveWindows())
        return false;
    if (!help_)
        help_ = std::make_unique<HelpViewer>();
    help_->Show(helpFile_, topic, Title);
    return true;
}

bool TApplication::HelpJump(const AnsiString& topic) {
    if (hook_)
        hook_->RecordHelp(topic);
    return ShowHelp(topic);
}

bool TApplication::HelpCommand(int Command, int) {
    switch (Command) {
    case HELP_CONTENTS:
    case HELP_FINDER:
        if (hook_)
            hook_->RecordHelp("");
        return ShowHelp("");
    case HELP_QUIT:
        if (help_)
            help_->Close();
        return true;
    default:
        return false;
    }
}

// ---- TScreen ----

namespace {

QRect ScreenArea(bool desktop) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return desktop ? screen->virtualGeometry() : screen->geometry();
}

} // namespace

TScreen::TScreen()
    : Width([] { return ScreenArea(false).width(); }),
      Height([] { return ScreenArea(false).height(); }),
      DesktopWidth([] { return ScreenArea(true).width(); }),
      DesktopHeight([] { return ScreenArea(true).height(); }) {}
