#pragma once

#include <QString>

class QWidget;

namespace varnex::ui {

class InputForm;

// The input forms of the program, in the order the project wizard shows
// them; the four source forms repeat for every source. Forms after the
// wizard's are reached from menus only.
enum class FormKind {
    projectDetails,
    simulationLevel,
    activeProcesses,
    domain,
    waterQualityStandard,
    contaminantInventory,
    numberOfSources,
    sourceInventory,
    sourceDetails,
    infiltration,
    unsaturatedPathway,
    aquiferPathway,
    receptors,
    simulationParameters,
    dxfOptions,
};

// The English caption of a form ("Source Details").
const char* FormKindTitle(FormKind kind);

// A new, empty form of this kind; `sourceIndex` names the source of the four
// source forms and is ignored by the others.
InputForm* CreateInputForm(FormKind kind, int sourceIndex, QWidget* parent = nullptr);

} // namespace varnex::ui
