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

bool ReadProjectJson(const std::string& text, Project& project, std::vector<std::string>& problems) {
    problems.clear();
    // The standard sets come from the standards files beside the program,
    // not from the document, and Reset leaves them alone.
    project.Reset();
    try {
        nlohmann::ordered_json document;
        if (ParseProjectJsonText(text, document, problems)) {
            ProjectJsonReader reader(project, problems);
            reader.Read(document);
            if (problems.empty()) {
                project.SyncAllInventories();
                project.ApplyNames();
                SetIterationCount(reader.Iterations());
                return true;
            }
        }
    } catch (const std::exception& error) {
        // Only exhaustion of memory is expected here; it is a problem of
        // this document like any other.
        problems.push_back(std::string("the document cannot be read: ") + error.what());
    }
    if (problems.empty()) problems.push_back("the document cannot be read");
    project.Reset();
    return false;
}

bool LoadProjectJsonFile(const std::string& path, Project& project, std::vector<std::string>& problems) {
    std::error_code ignored;
    errno = 0;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ignored)) in.open(path, std::ios::binary);
    std::string text;
    if (in.is_open()) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        const int error = errno;
        problems.clear();
        project.Reset();
        problems.push_back(path + ": cannot be read" + (error ? std::string(" (") + std::strerror(error) + ")" : ""));
        return false;
    }
    return ReadProjectJson(text, project, problems);
}

} // namespace varnex
