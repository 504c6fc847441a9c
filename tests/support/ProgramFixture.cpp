#include "tests/support/ProgramFixture.h"

#include <QTimer>
#include <filesystem>
#include <fstream>

#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "online/TRecommendForm.h"
#include "online/TSubscribeNewsletterForm.h"
#include "platform/vcl/CSpin.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win32/Clock.h"
#include "tests/support/Pump.h"
#include "tests/support/StoredSettings.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TPlayerSelectionForm.h"

namespace fs = std::filesystem;

ProgramFixture::ProgramFixture(double clockScale)
    : savedClockScale_(GetClockScale()), folder_(GetProgramDir()) {
    SetClockScale(clockScale);
    // Every test is a run of its own.
    Application->ResetTermination();
    TSubscribeNewsletterForm::AutomaticOfferShown = false;
    TRecommendForm::AutomaticOfferMade = false;
}

ProgramFixture::~ProgramFixture() {
    SetClockScale(savedClockScale_);
}

void ProgramFixture::TearDown() {
    if (Running())
        StopProgram();
}

void ProgramFixture::StartProgram() {
    Form1 = new TForm1(Application);
    HighScoreForm = new THighScoreForm(Application);
    Form1->Show();
}

void ProgramFixture::StartIdleProgram() {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    if (Form1->Game)
        Form1->Game->GameTimer->Enabled = false;
}

void ProgramFixture::StopProgram() {
    Form1->Close();
    delete Form1;
    Form1 = nullptr;
    delete HighScoreForm;
    HighScoreForm = nullptr;
}

void ProgramFixture::Restart() {
    StopProgram();
    StartProgram();
}

bool ProgramFixture::Running() const {
    return Form1 != nullptr;
}

VellGameControl& ProgramFixture::Game() {
    return *Form1->Game;
}

AnsiString ProgramFixture::Text(int number) {
    if (Form1 && Form1->Languages)
        return Form1->Languages->GetString(number);
    TMyLanguages languages(folder_ + "Languages.rc", true);
    return languages.GetString(number);
}

void ProgramFixture::StoreSettings(const std::map<int, AnsiString>& values) {
    Text(0); // fixes the language base that one default depends on
    // The store enciphers through the shared cipher, which the running
    // program owns.
    std::unique_ptr<TGlobalBlowFish> cipher;
    if (!Form1)
        cipher = std::make_unique<TGlobalBlowFish>();
    StoreGameSettings(values);
}

void ProgramFixture::UseLocale(const char* locale) {
    language_.Set(locale);
}

void ProgramFixture::WriteFile(const std::string& name, const std::string& content) {
    RemoveFile(name);
    std::ofstream(folder_ + name, std::ios::binary) << content;
}

void ProgramFixture::CopyFile(const std::string& name, const std::string& source) {
    RemoveFile(name);
    fs::copy_file(source, folder_ + name);
}

void ProgramFixture::RemoveFile(const std::string& name) {
    fs::remove_all(folder_ + name);
}

void ProgramFixture::RecordShellOpens() {
    shell_ = std::make_unique<TempFolder>("shell");
    shell_->Write("open", "#!/bin/sh\necho \"$1\" >> " + shell_->File("opened") + "\n");
    fs::permissions(shell_->File("open"), fs::perms::owner_all);
    opener_ = std::make_unique<ScopedEnv>("KORVEL_OPEN_COMMAND", shell_->File("open").c_str());
}

std::string ProgramFixture::FirstShellOpen() {
    std::string line;
    // The opener runs in a process of its own.
    RunUntil(
        [&] {
            std::ifstream file(shell_->File("opened"));
            return bool(std::getline(file, line));
        },
        30);
    return line;
}

void ProgramFixture::ExpectWelcome() {
    hook.ExpectMessageBox(Text(299)).Caption(Text(207)).Flags(MB_ICONEXCLAMATION);
}

void ProgramFixture::ExpectSelection(const MatchChoice& choice) {
    hook.ExpectModal<TPlayerSelectionForm>().Fill([choice](TPlayerSelectionForm& form) {
        if (choice.graphicsSet) {
            form.ComboBox1->ItemIndex = *choice.graphicsSet;
            form.ComboBox1Change(&form);
        }
        const bool twoPeople = choice.opponent == MatchChoice::TwoPeople;
        (twoPeople ? form.RadioButton1 : form.RadioButton2)->Click();
        form.Edit2->Text = choice.player1;
        if (twoPeople)
            form.Edit1->Text = choice.player2;
        form.CSpinEdit1->Value = choice.matchLength;
        if (choice.difficulty)
            form.RadioGroup1->ItemIndex = *choice.difficulty;
        form.Button1->Click();
    });
}

std::unique_ptr<QTimer> ProgramFixture::OnEveryPass(std::function<void()> action) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(0); // times out whenever the event loop has nothing else to do
    QObject::connect(timer.get(), &QTimer::timeout, std::move(action));
    timer->start();
    return timer;
}

bool ProgramFixture::RunUntil(const std::function<bool()>& done, double seconds,
                              const std::function<void()>& step) {
    return PumpUntil(
        [&] {
            if (done())
                return true;
            if (step)
                step();
            return false;
        },
        static_cast<int>(seconds * 1000));
}
