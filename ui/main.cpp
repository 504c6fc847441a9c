// The program entry: the application object, its help file and title, the
// main window and the forms created with it, and the message loop.

#include <exception>

#include "online/TUpdateNotification.h"
#include "platform/vcl/Forms.h"
#include "ui/TForm1.h"

int main() {
    try {
        Application->Initialize();
        Application->HelpFile = "KORVEL.HLP";
        Application->Title = "Korvel";
        Application->CreateForm(Form1);
        Application->CreateForm(UpdateNotification);
        Application->Run();
    } catch (const std::exception& error) {
        Application->ShowException(error);
    }
    return 0;
}
