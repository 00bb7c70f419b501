#pragma once

#include "model/Project.h"

namespace varnex::test {

// The size of a generated Level 3 project.
struct ProjectSize {
    int sources = 3, layers = 2, contaminants = 5, receptors = 3, slices = 4;
};

// A realistic Level 3 project of the given size, valid as generated:
// `layers` pathways per source (till over Chalk, then alternating),
// `contaminants` species (four in five organics sorbing through koc),
// sources in rows of five, receptors downstream, time slices from 10 years
// doubling, all four transport processes on. The benchmarks time it and the
// tests run it at the program's limits.
Project GeneratedLevel3Project(const ProjectSize& size = ProjectSize());

} // namespace varnex::test
