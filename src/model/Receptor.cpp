#include "model/Receptor.h"

namespace varnex {

ReceptorContaminant& Receptor::ResultsFor(int contaminantIdentifier) {
    for (ReceptorContaminant& record : results)
        if (record.contaminant == contaminantIdentifier) return record;
    results.emplace_back();
    results.back().contaminant = contaminantIdentifier;
    return results.back();
}

ReceptorContaminant* Receptor::FindResults(int contaminantIdentifier) {
    for (ReceptorContaminant& record : results)
        if (record.contaminant == contaminantIdentifier) return &record;
    return nullptr;
}

} // namespace varnex
