#pragma once
// What every error message of the program shows of a failure: its number and
// description, or, for a refusal made on purpose, the plain words of the
// refusal. The one place that turns whatever was thrown into those.
#include <QString>

#include <stdexcept>

namespace zarv {

// A failure the program raises itself, with the number and description its
// error messages show (the data layer's, a file conversion's, a workbook step's).
class NumberedError : public std::runtime_error {
public:
    NumberedError(long number, const QString& description);
    long number() const { return number_; }
    const QString& description() const { return description_; }

private:
    long number_;
    QString description_;
};

// Input refused on purpose: what is wrong, on which line (0: the file as a
// whole), and what the clerk can do about it. Shown as one plain message,
// never as an unexpected error.
class Refusal : public std::runtime_error {
public:
    Refusal(const QString& what, const QString& remedy, int line = 0);
    const QString& problem() const { return problem_; }
    const QString& remedy() const { return remedy_; }
    int line() const { return line_; }
    // A refusal raised while a line was read names that line.
    void setLineIfUnset(int line)
    {
        if (line_ == 0)
            line_ = line;
    }
    // "Line 12: <what>\n\n<remedy>", or without the line.
    QString message() const;

private:
    QString problem_;
    QString remedy_;
    int line_;
};

struct Failure {
    long number = 0;
    QString description;   // for a refusal, its whole message
    bool refused = false;  // a Refusal: shown in plain words, with no number
};

// Call inside a catch block: what the exception in flight is to the user.
Failure currentFailure();

} // namespace zarv
