// Throughput of saving and loading through the archive, in bytes of
// uncompressed values per second, on values shaped like a project file with
// its samples and results: labels, type codes, distribution arguments,
// per-iteration samples and result vectors that stay zero until breakthrough.
#include <benchmark/benchmark.h>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "archive/CompFile.h"

namespace {

using varnex::CompFile;

enum class Kind { boolean, shortInt, integer, real, text };

struct Value {
    Kind kind = Kind::real;
    std::int32_t integer = 0; // truth values and shorts too
    double real = 0;
    std::string text;
};

Value Number(Kind kind, std::int32_t integer, double real) {
    Value value;
    value.kind = kind;
    value.integer = integer;
    value.real = real;
    return value;
}
Value Boolean(bool v) { return Number(Kind::boolean, v ? 1 : 0, 0); }
Value Short(std::int16_t v) { return Number(Kind::shortInt, v, 0); }
Value Integer(std::int32_t v) { return Number(Kind::integer, v, 0); }
Value Real(double v) { return Number(Kind::real, 0, v); }
Value Text(std::string v) {
    Value value;
    value.kind = Kind::text;
    value.text = std::move(v);
    return value;
}

struct ProjectValues {
    std::vector<Value> values;
    std::int64_t bytes = 0; // as stored uncompressed
};

std::int64_t StoredBytes(const Value& value) {
    switch (value.kind) {
    case Kind::boolean:
    case Kind::shortInt: return 2;
    case Kind::integer: return 4;
    case Kind::real: return 8;
    case Kind::text: break;
    }
    const auto length = static_cast<std::int64_t>(value.text.size());
    return length == 0 ? 4 : 4 + length + 1;
}

const ProjectValues& Project() {
    static const ProjectValues project = [] {
        constexpr int iterations = 1001;
        const char* labels[] = {"Hydraulic conductivity [m/s]", "Thickness [m]",     "Porosity [-]",
                                "Infiltration [mm/year]",       "Half-life [years]", ""};
        std::mt19937 random(7);
        std::lognormal_distribution<double> sample(0.0, 1.0);
        ProjectValues p;
        auto add = [&p](Value value) {
            p.bytes += StoredBytes(value);
            p.values.push_back(std::move(value));
        };
        for (int parameter = 0; parameter < 120; ++parameter) {
            add(Text(labels[parameter % 6]));
            add(Integer(parameter % 12)); // distribution type
            for (double argument : {1.0e-5, 2.5e-5, 0.0, 1.0}) add(Real(argument));
            add(Real(-1.0e30));
            add(Real(1.0e30));
            add(Boolean(parameter % 3 == 0));
            add(Short(0));
            for (int i = 0; i < iterations; ++i) add(Real(sample(random)));
        }
        for (int result = 0; result < 80; ++result) {
            add(Text("Concentration at receptor [mg/l]"));
            const int breakthrough = static_cast<int>(random() % iterations);
            for (int i = 0; i < iterations; ++i)
                add(Real(i < breakthrough ? 0.0 : sample(random) * 1e-3));
        }
        return p;
    }();
    return project;
}

std::string ScratchPath() {
    return (std::filesystem::temp_directory_path() /
            ("varnex_bench_compfile_" + std::to_string(::getpid()) + ".vnx"))
        .string();
}

void PutAll(CompFile& file, const std::vector<Value>& values) {
    for (const Value& value : values) {
        switch (value.kind) {
        case Kind::boolean: file.WriteBool(value.integer != 0); break;
        case Kind::shortInt: file.WriteShort(static_cast<std::int16_t>(value.integer)); break;
        case Kind::integer: file.WriteInt(value.integer); break;
        case Kind::real: file.WriteDouble(value.real); break;
        case Kind::text: file.WriteString(value.text); break;
        }
    }
}

void BM_CompFileWrite(benchmark::State& state) {
    const ProjectValues& project = Project();
    const std::string path = ScratchPath();
    for (auto _ : state) {
        CompFile file;
        if (!file.Open(path, "wb")) {
            state.SkipWithError("cannot create the scratch file");
            break;
        }
        PutAll(file, project.values);
        file.Close();
    }
    state.SetBytesProcessed(state.iterations() * project.bytes);
    state.counters["compressed_ratio"] =
        static_cast<double>(std::filesystem::file_size(path)) / static_cast<double>(project.bytes);
    std::filesystem::remove(path);
}
// CPU time includes the system calls that write and read the file, and is
// steadier than wall time on a shared machine.
BENCHMARK(BM_CompFileWrite)->Unit(benchmark::kMillisecond);

void BM_CompFileRead(benchmark::State& state) {
    const ProjectValues& project = Project();
    const std::string path = ScratchPath();
    {
        CompFile file;
        if (!file.Open(path, "wb")) {
            state.SkipWithError("cannot create the scratch file");
            return;
        }
        PutAll(file, project.values);
        file.Close();
    }
    std::string text;
    for (auto _ : state) {
        CompFile file;
        if (!file.Open(path, "rb")) {
            state.SkipWithError("cannot open the scratch file");
            break;
        }
        for (const Value& value : project.values) {
            switch (value.kind) {
            case Kind::boolean: benchmark::DoNotOptimize(file.ReadBool()); break;
            case Kind::shortInt: benchmark::DoNotOptimize(file.ReadShort()); break;
            case Kind::integer: benchmark::DoNotOptimize(file.ReadInt()); break;
            case Kind::real: benchmark::DoNotOptimize(file.ReadDouble()); break;
            case Kind::text:
                file.ReadString(text);
                benchmark::DoNotOptimize(text);
                break;
            }
        }
        file.Close();
    }
    state.SetBytesProcessed(state.iterations() * project.bytes);
    std::filesystem::remove(path);
}
BENCHMARK(BM_CompFileRead)->Unit(benchmark::kMillisecond);

} // namespace
