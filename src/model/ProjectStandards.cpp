// The water quality standards and the default contaminant list, read from
// the standards files in the Info folder beside the program.

#include <fstream>

#include "base/Exception.h"
#include "base/ProgramPaths.h"
#include "model/Project.h"
#include "model/StandardsFiles.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

[[noreturn]] void CannotOpenStandards() {
    throw Exception(Translate("Cannot open wqs file") + ".");
}

std::string InfoPath(const std::string& infoDirectory, const std::string& name) {
    return infoDirectory.empty() ? InfoFilePath(name) : infoDirectory + "/" + name;
}

} // namespace

void Project::LoadStandards(const std::string& infoDirectory) {
    std::ifstream list(InfoPath(infoDirectory, "Regs.dat"));
    if (!list) CannotOpenStandards();
    std::vector<StandardSet> sets;
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto entry = ParseStandardsListLine(line);
        if (!entry) continue;
        sets.push_back(StandardSet{entry->name, entry->fileName, {}});
    }
    for (StandardSet& set : sets) {
        std::ifstream data(InfoPath(infoDirectory, set.fileName));
        if (!data) CannotOpenStandards();
        while (std::getline(data, line)) {
            const auto parsed = ParseStandardsDataLine(line);
            if (!parsed) continue;
            // The first set that names a species decides its name and kind.
            if (!FindContaminant(parsed->identifier)) {
                Contaminant contaminant;
                contaminant.name = parsed->name;
                contaminant.identifier = parsed->identifier;
                contaminant.henryFlag = parsed->organic;
                contaminant.partitionFromKoc = parsed->organic ? 1 : 0;
                contaminants.push_back(std::move(contaminant));
            }
            WaterQualityStandard record;
            record.contaminant = parsed->identifier;
            record.flag = parsed->flag;
            record.standard = parsed->standardMgPerL;
            set.records.push_back(record);
        }
    }
    standardSets = std::move(sets);
    SyncAllInventories();
}

void Project::ApplyStandards() {
    for (Contaminant& contaminant : contaminants) {
        if (standardSelection == userDefinedStandardSelection) {
            contaminant.standardStatus = 0;
            continue;
        }
        const WaterQualityStandard* record = nullptr;
        if (standardSelection >= 1 && standardSelection <= static_cast<int>(standardSets.size()))
            record = standardSets[static_cast<std::size_t>(standardSelection - 1)].Find(
                contaminant.identifier);
        if (!record) {
            contaminant.standardStatus = Contaminant::noStandard;
            continue;
        }
        contaminant.standardStatus = record->flag;
        contaminant.standard = record->standard;
        contaminant.furtherConstant1 = record->furtherConstant1;
        contaminant.furtherConstant2 = record->furtherConstant2;
    }
}

} // namespace varnex
