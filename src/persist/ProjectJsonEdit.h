#pragma once

#include <string>

namespace varnex {

class Project;

// A value that a script or a scenario table gives for one place of a
// project's JSON form. `text` is always the value as written (a cell of a
// table, or the number as Python prints it); the kind says what else it is.
struct JsonEditValue {
    enum class Kind { text, integer, number, truth };
    Kind kind = Kind::text;
    std::string text;
    long long integer = 0;
    double number = 0.0;
    bool truth = false;

    static JsonEditValue Text(std::string text);
    static JsonEditValue Integer(long long value, std::string text);
    static JsonEditValue Number(double value, std::string text);
    static JsonEditValue Truth(bool value);
    // A table's cell: "true"/"false" a truth value, a whole number without
    // a point or exponent an integer, another number a number, else text.
    static JsonEditValue OfCell(const std::string& cell);
};

// Why an edit was refused.
enum class JsonEditProblem {
    none,
    notAPointer,  // not a JSON pointer at all
    namesNothing, // no such place in the project's JSON form
    wrongType,    // the place holds another kind of value (a list, a text, ...)
    invalid,      // an invalid distribution text, or the project would not read back
};

struct JsonEditResult {
    JsonEditProblem problem = JsonEditProblem::none;
    std::string message; // names the pointer and why
    explicit operator bool() const { return problem == JsonEditProblem::none; }
};

// Sets the value at `pointer` of the project's JSON form and reads the
// project back from it, so every rule of the JSON form applies. The value
// takes the type of the one it replaces: a text place (an input's
// distribution, a name) takes text, an input also a number (its single
// value); a number place a number (a whole one where it holds one); a
// truth value place a truth value. An input's text must be a valid
// distribution. On refusal the project is as it was. Writes and reads the
// program-wide iteration count as the JSON form does: the caller sets it to
// the project's first and takes it back after. A contaminant's decay chain
// places, "/contaminants/<i>/parent" (a contaminant's name; an empty text
// for none) and "/contaminants/<i>/yield" (an input), may be set on every
// contaminant, though the form holds them only for one with a parent.
JsonEditResult EditProjectJson(Project& project, const std::string& pointer,
                               const JsonEditValue& value);

} // namespace varnex
