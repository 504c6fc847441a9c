#include "platform/vcl/HelpViewer.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "platform/vcl/QtBridge.h"

namespace {

AnsiString ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? AnsiString(".") : program.parent_path().string();
}

QString MissingPageText(const AnsiString& page) {
    return "<h2>Help is not available</h2><p>The help page <b>" + ToQString(page).toHtmlEscaped() +
           "</b> could not be found.</p>";
}

} // namespace

HelpViewer::~HelpViewer() {
    if (browser_) {
        QObject::disconnect(browser_, &QObject::destroyed, nullptr, nullptr);
        delete browser_;
    }
}

AnsiString HelpViewer::PageOf(const AnsiString& helpFile) {
    AnsiString file = helpFile;
    for (char& c : file)
        if (c == '\\')
            c = '/';
    std::filesystem::path path(file);
    if (path.is_relative())
        path = std::filesystem::path(ProgramFolder()) / path;
    const AnsiString book = LowerCase(path.stem().string()) + ".html";
    return (path.parent_path() / "help" / book).string();
}

QTextBrowser* HelpViewer::Window() const {
    return browser_;
}

QTextBrowser* HelpViewer::EnsureWindow() {
    if (!browser_) {
        browser_ = new QTextBrowser;
        browser_->setWindowFlag(Qt::Window);
        browser_->setOpenExternalLinks(true);
        browser_->resize(640, 520);
        QObject::connect(browser_, &QObject::destroyed, [this] { browser_ = nullptr; });
    }
    return browser_;
}

void HelpViewer::Show(const AnsiString& helpFile, const AnsiString& topic,
                      const AnsiString& title) {
    QTextBrowser* browser = EnsureWindow();
    // A window opened from a modal dialog must take input while the
    // dialog runs, so it belongs to that dialog.
    QWidget* modal = QApplication::activeModalWidget();
    if (browser->parentWidget() != modal) {
        browser->setParent(modal, Qt::Window);
        browser->resize(640, 520);
    }
    browser->setWindowTitle(ToQString(title.empty() ? AnsiString("Help") : title + " Help"));
    const AnsiString page = PageOf(helpFile);
    if (!FileExists(page)) {
        browser->setHtml(MissingPageText(page));
    } else {
        QUrl url = QUrl::fromLocalFile(ToQString(page));
        if (!topic.empty())
            url.setFragment(ToQString(topic));
        browser->setSource(url);
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
    if (topic.empty())
        browser->verticalScrollBar()->setValue(0);
    else
        browser->scrollToAnchor(ToQString(topic));
}

void HelpViewer::Close() {
    if (browser_)
        browser_->close();
}
