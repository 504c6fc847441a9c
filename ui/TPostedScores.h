#pragma once
// "posted.txt", the record of the results already mailed to the maker's
// high-score relay: lines of text, each mail's score lines followed by an
// empty line. It lives where GetWriteDir puts kept records (beside the
// program, or the user's data folder for an installed game); where that
// place cannot take it, in the temporary folder. Both places are read, so a
// result recorded in either counts as posted.
//
// A file that is there but cannot be read (or holds more than MaxBytes) is
// never replaced, so a record that could not be read is not lost to the
// next save; what fails is written to the log, and nothing is shown.

#include <vector>

#include "platform/vcl/Classes.h"

class TLogFile;

class TPostedScores {
public:
    static constexpr int64_t MaxBytes = 1024 * 1024;

    // Reads both places.
    explicit TPostedScores(TLogFile& log);

    // Everything recorded in either place, as one text.
    AnsiString Text() const;
    // Adds the lines, as one item, to the first place that takes them:
    // that place's file is written anew with its own lines and the item,
    // each followed by CR LF. False when no place took them.
    bool Record(const AnsiString& lines);

private:
    struct Place {
        explicit Place(const AnsiString& name) : fileName(name) {}
        AnsiString fileName;
        bool readable = true;
        AnsiString text;
    };

    void Read(Place& place);
    bool Save(const Place& place, const AnsiString& lines);

    std::vector<Place> places_;
    TLogFile& log_;
};
