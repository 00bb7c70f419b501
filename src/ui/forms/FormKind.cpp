#include "ui/forms/FormKind.h"

#include "settings/Translate.h"
#include "ui/forms/ActiveProcessesForm.h"
#include "ui/forms/AquiferPathwayForm.h"
#include "ui/forms/ContaminantInventoryForm.h"
#include "ui/forms/DomainForm.h"
#include "ui/forms/DxfOptionsForm.h"
#include "ui/forms/InfiltrationForm.h"
#include "ui/forms/NumberOfSourcesForm.h"
#include "ui/forms/ProjectDetailsForm.h"
#include "ui/forms/ReceptorsForm.h"
#include "ui/forms/SimulationLevelForm.h"
#include "ui/forms/SimulationParametersForm.h"
#include "ui/forms/SourceDetailsForm.h"
#include "ui/forms/SourceInventoryForm.h"
#include "ui/forms/UnsaturatedPathwayForm.h"
#include "ui/forms/WaterQualityStandardForm.h"

namespace varnex::ui {

const char* FormKindTitle(FormKind kind) {
    switch (kind) {
    case FormKind::projectDetails: return TranslatableText("Project Details");
    case FormKind::simulationLevel: return TranslatableText("Simulation Level");
    case FormKind::activeProcesses: return TranslatableText("Active Processes");
    case FormKind::domain: return TranslatableText("Domain");
    case FormKind::waterQualityStandard: return TranslatableText("Water Quality Standard");
    case FormKind::contaminantInventory: return TranslatableText("Contaminant Inventory");
    case FormKind::numberOfSources: return TranslatableText("Number of Sources");
    case FormKind::sourceInventory: return TranslatableText("Source Inventory");
    case FormKind::sourceDetails: return TranslatableText("Source Details");
    case FormKind::infiltration: return TranslatableText("Infiltration");
    case FormKind::unsaturatedPathway: return TranslatableText("Unsaturated Pathway");
    case FormKind::aquiferPathway: return TranslatableText("Aquifer Pathway");
    case FormKind::receptors: return TranslatableText("Receptor(s)");
    case FormKind::simulationParameters: return TranslatableText("Simulation Parameters");
    case FormKind::dxfOptions: return TranslatableText("DXF Options");
    }
    return "";
}

InputForm* CreateInputForm(FormKind kind, int sourceIndex, QWidget* parent) {
    const auto source = static_cast<std::size_t>(sourceIndex < 0 ? 0 : sourceIndex);
    switch (kind) {
    case FormKind::projectDetails: return new ProjectDetailsForm(parent);
    case FormKind::simulationLevel: return new SimulationLevelForm(parent);
    case FormKind::activeProcesses: return new ActiveProcessesForm(parent);
    case FormKind::domain: return new DomainForm(parent);
    case FormKind::waterQualityStandard: return new WaterQualityStandardForm(parent);
    case FormKind::contaminantInventory: return new ContaminantInventoryForm(parent);
    case FormKind::numberOfSources: return new NumberOfSourcesForm(parent);
    case FormKind::sourceInventory: return new SourceInventoryForm(source, parent);
    case FormKind::sourceDetails: return new SourceDetailsForm(source, parent);
    case FormKind::infiltration: return new InfiltrationForm(source, parent);
    case FormKind::unsaturatedPathway: return new UnsaturatedPathwayForm(source, parent);
    case FormKind::aquiferPathway: return new AquiferPathwayForm(parent);
    case FormKind::receptors: return new ReceptorsForm(parent);
    case FormKind::simulationParameters: return new SimulationParametersForm(parent);
    case FormKind::dxfOptions: return new DxfOptionsForm(parent);
    }
    return nullptr;
}

} // namespace varnex::ui
