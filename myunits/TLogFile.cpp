#include "myunits/TLogFile.h"

#include <algorithm>

#include "myunits/Utils.h"

namespace {
constexpr int KeptLines = 1500;

std::unique_ptr<TFileStream> CreateLogStream(const AnsiString& fileName) {
    try {
        return std::make_unique<TFileStream>(fileName, fmCreate);
    } catch (const EFCreateError&) {
        return nullptr;
    }
}
} // namespace

TLogFile::TLogFile() {
    FileName = GetWriteDir(WrittenFile::Log) + "log.txt";
    TStringList previousLines;
    ReadPreviousLog(previousLines);
    CreateLog();
    for (int i = std::max(0, previousLines.Count - KeptLines); i < previousLines.Count; ++i)
        WriteLine(previousLines[i]);
    WriteLine("Korvel Logfile");
    WriteLine("System: " + GetSystemInfoText(true));
    WriteLine("-+++++++++++++++++++++++++++++++++++++++++++-");
}

TLogFile::~TLogFile() = default;

// A previous log that cannot be read counts as none.
void TLogFile::ReadPreviousLog(TStrings& lines) const {
    if (!FileExists(FileName))
        return;
    try {
        lines.LoadFromFile(FileName);
    } catch (const EStreamError&) {
        lines.Clear();
    }
}

// A log that cannot be created where it belongs (another copy of the game
// holds it) goes to the temporary folder.
void TLogFile::CreateLog() {
    Stream = CreateLogStream(FileName);
    if (Stream)
        return;
    FileName = GetTempDir() + "log.txt";
    Stream = CreateLogStream(FileName);
}

void TLogFile::Write(const char* text) {
    WriteLine(text);
}

void TLogFile::WriteLine(const AnsiString& text) {
    if (!Stream)
        return;
    const AnsiString line = text + "\n";
    // A full disk loses the line, not the game.
    Stream->Write(line.data(), static_cast<int>(line.size()));
}
