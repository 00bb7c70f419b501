#include "model/StandardSet.h"

namespace varnex {

const WaterQualityStandard* StandardSet::Find(int contaminantIdentifier) const {
    for (const WaterQualityStandard& record : records)
        if (record.contaminant == contaminantIdentifier) return &record;
    return nullptr;
}

} // namespace varnex
