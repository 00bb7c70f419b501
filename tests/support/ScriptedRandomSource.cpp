#include "support/ScriptedRandomSource.h"

#include "archive/FileVersion.h"
#include "settings/TranslationTable.h"
#include "stochastic/DistributionMessages.h"
#include "stochastic/IterationCount.h"
#include "stochastic/ParameterIdentity.h"
#include "stochastic/RandomStream.h"

namespace varnex::test {

ScriptedRandomSource::ScriptedRandomSource(std::vector<int> values) : values_(std::move(values)) {
    SetProcessRandomSource(this);
}

ScriptedRandomSource::~ScriptedRandomSource() { SetProcessRandomSource(nullptr); }

int ScriptedRandomSource::Next() {
    const int value = values_.empty() ? 0 : values_[consumed_ % values_.size()];
    ++consumed_;
    return value;
}

void ResetProgramState() {
    SetProcessRandomSource(nullptr);
    SetRandomSeed(RandomStream::initialState);
    SetIterationCount(defaultIterationCount);
    ResetParameterIdCounter();
    ActiveFileVersion() = ProgramVersion();
    SetResultsSaved(false);
    ProgramTranslationTable().Clear();
    ProgramTranslationTable().SetLanguageName("English");
    BuildDistributionMessageTable();
}

} // namespace varnex::test
