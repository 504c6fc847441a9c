#pragma once
// The program's log "log.txt" beside the program, or in the user's state
// folder when the program folder is read-only: keeps the last 1500 lines
// of the previous run, writes a header and then takes lines until the
// program closes. Lines end with a line feed only.

#include <memory>

#include "myunits/singleton.h"
#include "platform/vcl/Classes.h"

class TLogFile : public Singleton<TLogFile> {
public:
    TLogFile();
    ~TLogFile();

    void Write(const char* text);
    void WriteLine(const AnsiString& text);

private:
    void ReadPreviousLog(TStrings& lines) const;
    void CreateLog();

    AnsiString FileName;
    // Null when neither the program folder nor the temporary folder takes
    // the log: the program runs on without one.
    std::unique_ptr<TFileStream> Stream;
};
