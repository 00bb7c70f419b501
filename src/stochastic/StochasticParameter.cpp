#include "stochastic/StochasticParameter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "base/NumberText.h"
#include "stochastic/IterationCount.h"
#include "stochastic/ParameterIdentity.h"

namespace varnex {

StochasticParameter::StochasticParameter() : id(NextParameterId()) {}

StochasticParameter::StochasticParameter(const StochasticParameter& other)
    : distribution(other.distribution), id(other.id), auxFlag(other.auxFlag),
      auxValue(other.auxValue) {}

StochasticParameter::StochasticParameter(StochasticParameter&& other) noexcept
    : distribution(std::move(other.distribution)), id(other.id), auxFlag(other.auxFlag),
      auxValue(other.auxValue), samples_(std::move(other.samples_)) {}

StochasticParameter& StochasticParameter::operator=(const StochasticParameter& other) {
    if (this != &other) {
        distribution = other.distribution;
        id = other.id;
        auxFlag = other.auxFlag;
        auxValue = other.auxValue;
    }
    return *this;
}

StochasticParameter& StochasticParameter::operator=(StochasticParameter&& other) noexcept {
    if (this != &other) {
        distribution = std::move(other.distribution);
        id = other.id;
        auxFlag = other.auxFlag;
        auxValue = other.auxValue;
        samples_ = std::move(other.samples_);
    }
    return *this;
}

void StochasticParameter::Renumber() { id = NextParameterId(); }

bool StochasticParameter::AppendReport(std::string& report, const std::string& owner) {
    if (distribution.Validate()) return true;
    if (!report.empty()) report += "\n";
    report += "\t" + owner + " " + distribution.ErrorText();
    return false;
}

bool StochasticParameter::AppendReport(std::string& report) {
    if (distribution.Validate()) return true;
    if (!report.empty()) report += "\n";
    report += "\t" + distribution.ErrorText();
    return false;
}

void StochasticParameter::Resize(int count) {
    if (count <= 0) {
        FreeSamples();
        return;
    }
    samples_.resize(static_cast<std::size_t>(count), 0.0);
}

void StochasticParameter::Resize() { Resize(IterationCount()); }

void StochasticParameter::FreeSamples() {
    samples_.clear();
    samples_.shrink_to_fit();
}

void StochasticParameter::SetSamples(std::vector<double>&& values) {
    samples_ = std::move(values);
    if (!samples_.empty()) distribution.sample = samples_.back();
}

void StochasticParameter::SampleAll(bool central) {
    Resize();
    for (double& value : samples_) value = distribution.Draw(central);
}

double StochasticParameter::SampleOne(std::size_t iteration, bool central) {
    return SampleAt(iteration) = distribution.Draw(central);
}

double& StochasticParameter::SampleAt(std::size_t iteration) {
    if (iteration >= samples_.size())
        throw std::out_of_range("sample " + std::to_string(iteration) + " of " + Label());
    return samples_[iteration];
}

double StochasticParameter::SampleAt(std::size_t iteration) const {
    return const_cast<StochasticParameter*>(this)->SampleAt(iteration);
}

bool StochasticParameter::DumpSamples(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << Label() << "\n" << samples_.size() << " iterations\n";
    for (std::size_t i = 0; i < samples_.size(); ++i)
        out << (i + 1) << "\t" << FormatG(samples_[i]) << "\n";
    out.flush();
    return static_cast<bool>(out);
}

void StochasticParameter::Write(CompFile& archive) const {
    archive.WriteInt(id);
    distribution.Write(archive);
    archive.WriteBool(auxFlag).WriteInt(auxValue);
    if (ResultsSaved()) {
        archive.WriteInt(static_cast<std::int32_t>(samples_.size()));
        for (double value : samples_) archive.WriteDouble(value);
    }
}

void StochasticParameter::Read(CompFile& archive) {
    archive.ReadInt(id);
    if (id > maximumStoredParameterId)
        throw CompFileException(CompFileException::readFailed, archive.FileName());
    RaiseParameterIdCounter(id);
    distribution.Read(archive);
    archive.ReadBool(auxFlag).ReadInt(auxValue);
    if (!ResultsSaved()) return;
    const std::int32_t count = archive.ReadInt();
    // No run has more samples than the largest iteration count.
    if (count < 0 || count > maximumIterationCount)
        throw CompFileException(CompFileException::readFailed, archive.FileName());
    if (count == 0) {
        FreeSamples();
        return;
    }
    // The count comes from the file: memory grows with the values actually
    // present, so a damaged count cannot claim gigabytes before the archive
    // runs out of data.
    std::vector<double> values;
    values.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), 1u << 16));
    for (std::int32_t i = 0; i < count; ++i) values.push_back(archive.ReadDouble());
    samples_ = std::move(values);
}

} // namespace varnex
