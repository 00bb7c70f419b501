#include "persist/ProjectJson.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/Project.h"
#include "persist/ProjectJsonReader.h"
#include "persist/ProjectJsonText.h"
#include "persist/ProjectJsonWriter.h"

namespace varnex {

std::string WriteProjectJson(const Project& project) {
    ProjectJsonWriter writer(project);
    return PrintProjectJson(writer.Document());
}

std::map<std::int32_t, std::string> InputJsonPointers(const Project& project) {
    ProjectJsonWriter writer(project);
    writer.Document();
    return writer.InputPointers();
}

bool ReadProjectJson(const std::string& text, Project& project,
                     std::vector<std::string>& problems) {
    problems.clear();
    // The standard sets come from the standards files beside the program,
    // not from the document, and Reset leaves them alone.
    project.Reset();
    ProblemList list(problems);
    try {
        nlohmann::ordered_json document;
        if (ParseProjectJsonText(text, document, list)) {
            ProjectJsonReader reader(project, list);
            reader.Read(document);
            if (list.Empty()) {
                project.SyncAllInventories();
                project.ApplyNames();
                SetIterationCount(reader.Iterations());
                return true;
            }
        }
    } catch (const std::exception& error) {
        // Only exhaustion of memory is expected here; it is a problem of
        // this document like any other.
        list.Add(std::string("the document cannot be read: ") + error.what());
    }
    list.Finish();
    if (problems.empty()) problems.push_back("the document cannot be read");
    project.Reset();
    return false;
}

bool LoadProjectJsonFile(const std::string& path, Project& project,
                         std::vector<std::string>& problems) {
    std::error_code ignored;
    errno = 0;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ignored)) in.open(path, std::ios::binary);
    std::string text;
    // Read in pieces up to the limit, so that an endless source (a device,
    // a pipe that never ends) or a huge file is refused rather than filling
    // memory.
    bool tooLarge = false;
    if (in.is_open()) {
        char piece[65536];
        while (in.read(piece, sizeof piece) || in.gcount() > 0) {
            text.append(piece, static_cast<std::size_t>(in.gcount()));
            if (text.size() > maximumProjectJsonBytes) {
                tooLarge = true;
                break;
            }
        }
    }
    if (tooLarge) {
        problems.clear();
        project.Reset();
        problems.push_back(path + ": larger than " +
                           std::to_string(maximumProjectJsonBytes / (1024 * 1024)) +
                           " MiB, more than any project's JSON form takes");
        return false;
    }
    if (!in.is_open() || in.bad()) {
        const int error = errno;
        problems.clear();
        project.Reset();
        problems.push_back(path + ": cannot be read" +
                           (error ? std::string(" (") + std::strerror(error) + ")" : ""));
        return false;
    }
    return ReadProjectJson(text, project, problems);
}

} // namespace varnex
