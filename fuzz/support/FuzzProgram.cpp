#include "fuzz/support/FuzzProgram.h"

#include <cstdio>
#include <cstdlib>

#include "fuzz/support/FuzzEnvironment.h"
#include "game/gamecontrol.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"

void FuzzProgram::Start() {
    static const bool started = [] {
        FuzzEnvironment::Enter({.gui = true, .programData = true});
        Form1 = new TForm1(Application);
        HighScoreForm = new THighScoreForm(Application);
        Form1->Show();
        if (!Form1->Game || Application->Terminated) {
            std::fprintf(stderr, "The program did not start: are its data files built?\n");
            std::exit(2);
        }
        Form1->Game->GameTimer->Enabled = false;
        return true;
    }();
    (void)started;
}
