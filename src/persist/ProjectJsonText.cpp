#include "persist/ProjectJsonText.h"

#include <set>

#include "persist/ProjectJsonPath.h"

namespace varnex {

namespace {

using Json = nlohmann::ordered_json;

// The byte at which the nesting first exceeds the limit, or npos. Brackets
// inside strings do not count; anything malformed is left to the parser.
std::size_t FindExcessiveNesting(const std::string& text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maximumProjectJsonDepth) return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return std::string::npos;
}

// nlohmann prefixes its messages with "[json.exception.<kind>.<id>] ".
std::string WithoutExceptionTag(const std::string& message) {
    if (message.rfind("[json.exception.", 0) == 0) {
        const std::size_t end = message.find("] ");
        if (end != std::string::npos) return message.substr(end + 2);
    }
    return message;
}

// A first pass over the text that finds syntax errors (with their byte) and
// duplicate keys (with their path). The parser behind it keeps its own stack
// of open values instead of recursing.
class DuplicateKeyFinder : public nlohmann::json_sax<Json> {
public:
    explicit DuplicateKeyFinder(ProblemList& problems) : problems_(problems) {}

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override {
        Value();
        frames_.push_back(Frame{true, {}, {}, 0, 0});
        return true;
    }
    bool key(string_t& name) override {
        Frame& frame = frames_.back();
        frame.key = name;
        if (!frame.keys.insert(name).second)
            problems_.Add(
                JsonProblem(Path(), "duplicate key (only one value of a key can be read)"));
        return true;
    }
    bool end_object() override {
        frames_.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        Value();
        frames_.push_back(Frame{false, {}, {}, 0, 0});
        return true;
    }
    bool end_array() override {
        frames_.pop_back();
        return true;
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override {
        syntaxProblem_ = "byte " + std::to_string(position) +
                         ": invalid JSON: " + WithoutExceptionTag(error.what());
        return false;
    }

    const std::string& SyntaxProblem() const { return syntaxProblem_; }

private:
    struct Frame {
        bool object;
        std::set<std::string> keys;
        std::string key;     // object: the key being read
        std::size_t next;    // array: index of the next element
        std::size_t current; // array: index of the element being read
    };

    bool Value() {
        if (!frames_.empty() && !frames_.back().object)
            frames_.back().current = frames_.back().next++;
        return true;
    }

    std::string Path() const {
        std::string path;
        for (const Frame& frame : frames_)
            path = frame.object ? JsonPointerChild(path, frame.key)
                                : JsonPointerChild(path, frame.current);
        return path;
    }

    ProblemList& problems_;
    std::vector<Frame> frames_;
    std::string syntaxProblem_;
};

std::string Scalar(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool IsFlatArray(const Json& array) {
    for (const Json& element : array) {
        if (element.is_object()) return false;
        if (element.is_array())
            for (const Json& inner : element)
                if (inner.is_structured()) return false;
    }
    return true;
}

void Print(const Json& value, int indent, std::string& out) {
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    if (value.is_object()) {
        if (value.empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        bool first = true;
        for (const auto& item : value.items()) {
            if (!first) out += ",\n";
            first = false;
            out += inner + Scalar(Json(item.key())) + ": ";
            Print(item.value(), indent + 2, out);
        }
        out += "\n" + std::string(static_cast<std::size_t>(indent), ' ') + "}";
        return;
    }
    if (value.is_array()) {
        if (value.empty()) {
            out += "[]";
            return;
        }
        const bool flat = IsFlatArray(value);
        out += flat ? "[" : "[\n";
        bool first = true;
        for (const Json& element : value) {
            if (!first) out += flat ? ", " : ",\n";
            first = false;
            if (!flat) out += inner;
            Print(element, indent + 2, out);
        }
        if (!flat) out += "\n" + std::string(static_cast<std::size_t>(indent), ' ');
        out += "]";
        return;
    }
    out += Scalar(value);
}

} // namespace

bool ParseProjectJsonText(const std::string& text, Json& document, ProblemList& problems) {
    const std::size_t tooDeep = FindExcessiveNesting(text);
    if (tooDeep != std::string::npos) {
        problems.Add("byte " + std::to_string(tooDeep + 1) +
                     ": the document is nested deeper than " +
                     std::to_string(maximumProjectJsonDepth) + " levels");
        return false;
    }
    try {
        DuplicateKeyFinder finder(problems);
        if (!Json::sax_parse(text, &finder)) {
            problems.Add(finder.SyntaxProblem().empty() ? std::string("invalid JSON")
                                                        : finder.SyntaxProblem());
            return false;
        }
        document = Json::parse(text);
        return true;
    } catch (const std::exception& error) {
        // Not expected after the first pass accepted the text; reported
        // rather than thrown all the same.
        problems.Add(std::string("invalid JSON: ") + WithoutExceptionTag(error.what()));
        return false;
    }
}

std::string PrintProjectJson(const Json& document) {
    std::string out;
    Print(document, 0, out);
    out += "\n";
    return out;
}

} // namespace varnex
