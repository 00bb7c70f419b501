#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ParameterField.h"
#include "results/ResultVector.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

// A contaminant species of the project, with its properties in the aquifer
// and its water quality standard.
class Contaminant {
public:
    // Identifiers up to this are species of the standards files; the user's
    // own species have larger ones.
    static constexpr int largestStandardIdentifier = 1000;
    // Standard status when the selected standard set has no value.
    static constexpr int noStandard = 2;

    Contaminant();
    static const std::vector<ParameterField<Contaminant>>& ParameterFields();
    // The yield's key, label and limits, as its table would hold them: it is
    // kept out of the table (see `yield`), so everything that walks the
    // table and needs the yield visits this too.
    static const ParameterField<Contaminant>& YieldField();
    void ApplyNames();
    void Renumber();

    std::string name; // unique in the project
    int identifier = -1;
    // An organic species: it partitions into soil air (Henry's law) and its
    // aquifer partition coefficient may come from koc.
    bool henryFlag = false;
    // 0 "Input kd": the aquifer partition coefficient is entered; 1 "koc":
    // it is koc x aquifer foc x 0.01.
    int partitionFromKoc = 0;
    StochasticParameter koc; // "Partition coefficient to organic fraction (koc) [ml/g]"
    // 2 when the selected set has no value; 0 for "User Defined"; otherwise
    // the flag read with the standard.
    int standardStatus = noStandard;
    double standard = 0.0; // water quality standard, mg/l
    double furtherConstant1 = 0.0;
    double furtherConstant2 = 0.0;
    StochasticParameter partitionCoefficient; // "Partition Coefficient [ml/g]"
    StochasticParameter halfLife;             // "Half Life [years]"
    // "Degradation Rate Measurement": 0 "In Situ", 1 "Aqueous Phase".
    int halfLifeOption = 0;
    StochasticParameter backgroundConcentration; // "Background Concentration [mg/l]"
    // Non-zero: "Species Present as Background Concentration" in the aquifer.
    int backgroundOption = 0;

    // Decay chain: the identifier of the contaminant whose degradation forms
    // this one (noParent: none), and the yield, the mass of this contaminant
    // formed per mass of the parent degraded ("Yield [mg/mg]"; for a
    // chlorinated ethene the ratio of the molar masses). The yield is used
    // only with a parent; it is not among ParameterFields(), so that
    // contaminants without a parent keep their stored layout and parameter
    // identities.
    static constexpr int noParent = -1;
    int parentIdentifier = noParent;
    // A yield takes an identity number only once it is used (Numbered):
    // every other input of a new entity draws the next number, and those
    // numbers are saved, so a yield drawing one too would shift the inputs
    // of every entity made after a contaminant and change the project files
    // of projects without chains.
    static constexpr std::int32_t unnumbered = StochasticParameter::noIdentity;
    StochasticParameter yield{StochasticParameter::Unnumbered{}};
    // Gives the yield an identity of its own when it has none yet (the
    // first time a run, a form or a file uses it).
    void NumberYield() {
        if (yield.id == unnumbered) yield.Renumber();
    }

    // Result of a run: the aquifer retardation factor, unlabelled.
    ResultVector aquiferRetardation;
};

} // namespace varnex
