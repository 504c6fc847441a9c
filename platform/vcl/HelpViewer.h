#pragma once
// The in-program help window that stands in for Windows help: one
// non-modal window that shows the HTML book of a help file, scrolled to a
// topic's anchor. The book of "<folder>/<Name>.hlp" is
// "<folder>/help/<name>.html" (the base name in lower case); a relative
// help file lies in the running program's folder. Topics are anchors of
// the page (<a name="IDH_Spielregeln"> or id="IDH_Spielregeln").

#include "platform/vcl/SysUtils.h"

class QTextBrowser;

class HelpViewer {
public:
    HelpViewer() = default;
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;
    ~HelpViewer();

    // The HTML page of a help file.
    static AnsiString PageOf(const AnsiString& helpFile);

    // Shows the page scrolled to `topic` (the top for ""); a missing page
    // shows a message saying so.
    void Show(const AnsiString& helpFile, const AnsiString& topic, const AnsiString& title);
    void Close();

    // The window, for tests; nullptr before the first Show.
    QTextBrowser* Window() const;

private:
    QTextBrowser* EnsureWindow();
    QTextBrowser* browser_ = nullptr;
};
