#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWindow>
#include <filesystem>

#include "platform/vcl/Forms.h"
#include "platform/vcl/HelpViewer.h"
#include "platform/vcl/TestHook.h"
#include "tests/platform/vcl/ExampleForm.h"

namespace {

std::vector<QTextBrowser*> HelpWindows() {
    std::vector<QTextBrowser*> windows;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* browser = qobject_cast<QTextBrowser*>(widget); browser && browser->isVisible())
            windows.push_back(browser);
    return windows;
}

// A help book with its topics far apart, as the real books have them.
class HelpBook : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QDir(folder_.path()).mkdir("help"));
        QString page = "<html><body><h1>Korvel</h1>";
        for (const char* topic : {"IDH_Inhaltverzeichnis", "IDH_Spielregeln", "IDH_Verbindung"}) {
            page += QString("<h2><a name=\"%1\">%1</a></h2>").arg(topic);
            for (int i = 0; i < 80; ++i)
                page += "<p>Text of the topic.</p>";
        }
        page += "</body></html>";
        QFile file(QDir(folder_.path()).filePath("help/korvel.html"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(page.toUtf8());
        file.close();
        Application->HelpFile = QDir(folder_.path()).filePath("KORVEL.HLP").toStdString();
    }
    void TearDown() override { Application->HelpCommand(HELP_QUIT, 0); }

    QTemporaryDir folder_;
};

} // namespace

TEST(HelpPages, TheBookOfAHelpFileLiesInTheHelpFolderBesideIt) {
    const std::string programFolder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    const struct {
        const char* helpFile;
        std::string page;
    } cases[] = {{"/opt/korvel/KORVEL.HLP", "/opt/korvel/help/korvel.html"},
                 {"/opt/korvel/Hilfe.hlp", "/opt/korvel/help/hilfe.html"},
                 {"/opt/korvel\\Korvel.hlp", "/opt/korvel/help/korvel.html"},
                 {"KORVEL.HLP", programFolder + "/help/korvel.html"}};
    for (const auto& c : cases)
        EXPECT_EQ(HelpViewer::PageOf(c.helpFile), c.page) << c.helpFile;
}

TEST_F(HelpBook, HelpJumpShowsTheTopicAndContentsTheTop) {
    TestHook hook;
    ASSERT_TRUE(Application->HelpJump("IDH_Verbindung"));
    QApplication::processEvents();
    std::vector<QTextBrowser*> windows = HelpWindows();
    ASSERT_EQ(windows.size(), 1u);
    QTextBrowser* help = windows[0];
    EXPECT_EQ(help->source().fileName().toStdString(), "korvel.html");
    const int atTopic = help->verticalScrollBar()->value();
    EXPECT_GT(atTopic, 0);

    ASSERT_TRUE(Application->HelpJump("IDH_Spielregeln"));
    const int atRules = help->verticalScrollBar()->value();
    EXPECT_GT(atRules, 0);
    EXPECT_LT(atRules, atTopic);

    ASSERT_TRUE(Application->HelpCommand(HELP_CONTENTS, 0));
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);
    EXPECT_EQ(HelpWindows().size(), 1u) << "one help window only";
    EXPECT_EQ(hook.HelpTopics(),
              (std::vector<AnsiString>{"IDH_Verbindung", "IDH_Spielregeln", ""}));
}

TEST_F(HelpBook, AMissingPageSaysSo) {
    Application->HelpFile = QDir(folder_.path()).filePath("Hilfe.hlp").toStdString();
    TestHook hook;
    ASSERT_TRUE(Application->HelpJump("IDH_Spielregeln-german"));
    std::vector<QTextBrowser*> windows = HelpWindows();
    ASSERT_EQ(windows.size(), 1u);
    const std::string text = windows[0]->toPlainText().toStdString();
    EXPECT_NE(text.find("could not be found"), std::string::npos) << text;
    EXPECT_NE(text.find("help/hilfe.html"), std::string::npos) << text;
}

// Windows help was a program of its own; here a window opened from a
// modal dialog belongs to the dialog, so the dialog does not block it.
TEST_F(HelpBook, HelpFromAModalDialogTakesInputWhileTheDialogRuns) {
    TestHook hook;
    bool helpBelongsToDialog = false;
    hook.ExpectModal<TExampleForm>()
        .Fill([&](TExampleForm& form) {
            form.Widget()->hide();
            form.Widget()->setWindowModality(Qt::ApplicationModal);
            form.Widget()->show();
            ASSERT_EQ(QApplication::activeModalWidget(), form.Widget());
            Application->HelpJump("IDH_Spielregeln");
            std::vector<QTextBrowser*> windows = HelpWindows();
            // Qt blocks every window but the modal one and those it is an
            // ancestor of.
            helpBelongsToDialog =
                windows.size() == 1 && form.Widget()->windowHandle()->isAncestorOf(
                                           windows[0]->windowHandle(), QWindow::IncludeTransients);
        })
        .Result(mrOk);
    std::unique_ptr<TExampleForm> form(new TExampleForm(nullptr));
    form->ShowModal();
    EXPECT_TRUE(helpBelongsToDialog);
    form.reset();
    EXPECT_TRUE(Application->HelpJump("IDH_Verbindung"))
        << "the window is made again after its dialog";
    EXPECT_EQ(HelpWindows().size(), 1u);
}
