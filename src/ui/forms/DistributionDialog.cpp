#include "ui/forms/DistributionDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "stochastic/DistributionEditing.h"
#include "stochastic/DistributionType.h"
#include "ui/common/QtText.h"
#include "ui/common/SampleDump.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

namespace {

// The type the dialog shows for a distribution: BOOLEAN is not offered and
// an undefined one starts as a single value.
int OfferedType(int type) {
    for (const DialogTypeChoice& choice : DialogTypeChoices())
        if (choice.type == type) return type;
    return DistributionType::single;
}

QString NumberText(double value) { return ToQString(FormatG(value)); }

// An entry as a number: blanks removed, the rest one finite number. A
// mistyped entry ("1,5", "abc") is refused rather than read as 0, which
// would pass many checks and silently put a wrong value into the model.
bool EntryNumber(const QString& entry, double& value) {
    std::string compact = ToStdString(entry);
    std::erase_if(compact, [](char c) { return c == ' ' || c == '\t'; });
    double parsed = 0.0;
    if (!ParseWholeNumber(compact, parsed) || !std::isfinite(parsed)) return false;
    value = DialogEntryValue(compact);
    return true;
}

QString LimitText(double limit, double unitFactor) {
    return NumberText(unitFactor != 0.0 ? limit / unitFactor : limit);
}

} // namespace

DistributionDialog::DistributionDialog(const StochasticParameter& parameter,
                                       const std::vector<double>& samples, UserPrompts& prompts,
                                       QWidget* parent)
    : QDialog(parent), working_(parameter.distribution), samples_(samples), parameter_(parameter),
      prompts_(prompts) {
    setWindowTitle(ToQString(Translate("Distribution")));

    auto* inputLabel = new QLabel(ToQString(parameter.Label()), this);
    QFont bold = inputLabel->font();
    bold.setBold(true);
    inputLabel->setFont(bold);
    inputLabel->setVisible(!parameter.Label().empty());

    typeBox_ = new QComboBox(this);
    for (const DialogTypeChoice& choice : DialogTypeChoices())
        typeBox_->addItem(ToQString(Translate(choice.name)), choice.type);

    // One grid for every row, so the entries line up under the type list.
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(12);
    int row = 0;
    grid->addWidget(inputLabel, row++, 0, 1, 2);
    auto* typeLabel = new QLabel(ToQString(Translate("Distribution Type:")), this);
    typeLabel->setBuddy(typeBox_);
    grid->addWidget(typeLabel, row, 0);
    grid->addWidget(typeBox_, row++, 1);
    auto separator = [&] {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        grid->addWidget(line, row++, 0, 1, 2);
    };
    separator();
    for (int k = 0; k < maximumArguments; ++k) {
        argumentLabels_[k] = new QLabel(this);
        argumentEntries_[k] = new QLineEdit(this);
        argumentEntries_[k]->setMinimumWidth(180);
        argumentLabels_[k]->setBuddy(argumentEntries_[k]);
        grid->addWidget(argumentLabels_[k], row, 0);
        grid->addWidget(argumentEntries_[k], row++, 1);
        connect(argumentEntries_[k], &QLineEdit::textChanged, this,
                &DistributionDialog::UpdatePreview);
    }
    separator();

    // The limits of the input, in the units the user types, so that a
    // refused entry can be understood before OK.
    const Distribution& d = parameter.distribution;
    auto addInfo = [&](const char* label, const QString& value) {
        auto* text = new QLabel(value, this);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(new QLabel(ToQString(Translate(label)), this), row, 0);
        grid->addWidget(text, row++, 1);
        return text;
    };
    addInfo(TranslatableText("Minimum Limit"), LimitText(d.minLimit, d.unitFactor));
    addInfo(TranslatableText("Maximum Limit"),
            d.maxLimit > 0.0 ? LimitText(d.maxLimit, d.unitFactor) : ToQString(Translate("None")));
    preview_ = addInfo(TranslatableText("Distribution Text"), QString());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    // Apart from OK and Cancel: it writes a file and leaves the dialog open.
    dumpButton_ = new QPushButton(ToQString(Translate("Dump")), this);
    dumpButton_->setAutoDefault(false);
    dumpButton_->setEnabled(!samples_.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &DistributionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(dumpButton_, &QPushButton::clicked, this,
            [this] { DumpSamplesToChosenFile(parameter_, samples_, prompts_); });
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(dumpButton_);
    buttonRow->addStretch(1);
    buttonRow->addWidget(buttons);

    // Why the text it was opened on is invalid, worded as beside the field.
    textFault_ = new QLabel(this);
    textFault_->setObjectName(QStringLiteral("textFault"));
    textFault_->setWordWrap(true);
    QPalette colours = textFault_->palette();
    colours.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    textFault_->setPalette(colours);
    textFault_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(textFault_);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addSpacing(8);
    layout->addLayout(buttonRow);
    setMinimumWidth(400);

    const int type = OfferedType(working_.type);
    typeBox_->setCurrentIndex(typeBox_->findData(type));
    ShowType(type);
    FillEntries(type);
    UpdatePreview();
    connect(typeBox_, &QComboBox::currentIndexChanged, this, [this] {
        // What was typed for the old type stays in the working copy, so
        // going back to it shows those values again.
        int bad = -1;
        ReadEntries(working_, shownType_, bad);
        const int chosen = ChosenType();
        ShowType(chosen);
        FillEntries(chosen);
        UpdatePreview();
    });
}

int DistributionDialog::ChosenType() const {
    // Matched back by the shown text, as the list has always been read.
    return DialogTypeFromText(ToStdString(typeBox_->currentText()));
}

void DistributionDialog::ChooseType(int type) {
    typeBox_->setCurrentIndex(typeBox_->findData(OfferedType(type)));
}

std::vector<QLineEdit*> DistributionDialog::ArgumentEntries() const {
    const std::size_t count = DialogArgumentLabels(shownType_).size();
    return std::vector<QLineEdit*>(argumentEntries_, argumentEntries_ + count);
}

QStringList DistributionDialog::ArgumentLabels() const {
    QStringList labels;
    for (QLineEdit* entry : ArgumentEntries())
        for (int k = 0; k < maximumArguments; ++k)
            if (argumentEntries_[k] == entry) labels << argumentLabels_[k]->text();
    return labels;
}

QString DistributionDialog::PreviewText() const { return preview_->text(); }

void DistributionDialog::ShowType(int type) {
    shownType_ = type;
    const std::vector<std::string> labels = DialogArgumentLabels(type);
    for (int k = 0; k < maximumArguments; ++k) {
        const bool used = k < static_cast<int>(labels.size());
        argumentLabels_[k]->setVisible(used);
        argumentEntries_[k]->setVisible(used);
        argumentLabels_[k]->setText(used ? ToQString(Translate(labels[static_cast<std::size_t>(k)]))
                                         : QString());
    }
}

void DistributionDialog::FillEntries(int type) {
    const Distribution& d = working_;
    std::vector<double> values;
    switch (type) {
    case DistributionType::uniform:
    case DistributionType::logUniform: values = {d.GetMinimum(), d.GetMaximum()}; break;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        values = {d.GetMinimum(), d.GetLikely(), d.GetMaximum()};
        break;
    case DistributionType::normal:
    case DistributionType::logNormal: values = {d.GetMean(), d.GetStandardDeviation()}; break;
    case DistributionType::poisson: values = {d.GetRate()}; break;
    case DistributionType::binomial:
        values = {static_cast<double>(d.GetTrials()), d.probability};
        break;
    case DistributionType::exponential: values = {d.GetMean()}; break;
    default: values = {d.GetSingleValue()}; break;
    }
    for (int k = 0; k < maximumArguments; ++k)
        argumentEntries_[k]->setText(k < static_cast<int>(values.size())
                                         ? NumberText(values[static_cast<std::size_t>(k)])
                                         : QString());
}

bool DistributionDialog::ReadEntries(Distribution& distribution, int type, int& badEntry) const {
    const std::size_t count = DialogArgumentLabels(type).size();
    double v[maximumArguments] = {0.0, 0.0, 0.0};
    bool allNumbers = true;
    badEntry = -1;
    for (std::size_t k = 0; k < count; ++k) {
        if (!EntryNumber(argumentEntries_[k]->text(), v[k])) {
            allNumbers = false;
            if (badEntry < 0) badEntry = static_cast<int>(k);
            // An unreadable entry keeps the value the field held.
            v[k] = std::nan("");
        }
    }
    auto keep = [](double entered, double old) { return std::isnan(entered) ? old : entered; };
    switch (type) {
    case DistributionType::uniform:
    case DistributionType::logUniform:
        distribution.SetMinimumMaximum(keep(v[0], distribution.GetMinimum()),
                                       keep(v[1], distribution.GetMaximum()));
        break;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        distribution.SetMinimumLikelyMaximum(keep(v[0], distribution.GetMinimum()),
                                             keep(v[1], distribution.GetLikely()),
                                             keep(v[2], distribution.GetMaximum()));
        break;
    case DistributionType::normal:
    case DistributionType::logNormal:
        distribution.SetMeanStandardDeviation(keep(v[0], distribution.GetMean()),
                                              keep(v[1], distribution.GetStandardDeviation()));
        break;
    case DistributionType::poisson: distribution.SetRate(keep(v[0], distribution.GetRate())); break;
    case DistributionType::binomial:
        if (!distribution.SetTrials(keep(v[0], distribution.GetTrials()))) {
            allNumbers = false;
            if (badEntry < 0) badEntry = 0;
        }
        distribution.SetProbability(keep(v[1], distribution.probability));
        break;
    case DistributionType::exponential:
        distribution.SetExponentialMean(keep(v[0], distribution.GetMean()));
        break;
    default: distribution.SetSingleValue(keep(v[0], distribution.GetSingleValue())); break;
    }
    return allNumbers;
}

void DistributionDialog::ShowTextFault(const QString& fault) {
    textFault_->setText(fault);
    textFault_->setVisible(!fault.isEmpty());
}

QString DistributionDialog::TextFault() const { return textFault_->text(); }

void DistributionDialog::UpdatePreview() {
    Distribution built(working_);
    built.type = shownType_;
    int bad = -1;
    preview_->setText(ReadEntries(built, shownType_, bad) ? ToQString(built.Format()) : QString());
}

void DistributionDialog::accept() {
    Distribution built(working_);
    const int type = ChosenType();
    built.type = type;
    int bad = -1;
    if (!ReadEntries(built, type, bad)) {
        const std::string label =
            Translate(DialogArgumentLabels(type)[static_cast<std::size_t>(bad)]);
        const char* format = type == DistributionType::binomial && bad == 0
                                 ? TranslatableText("%s must be a whole number from 1 to 32767")
                                 : TranslatableText("%s must be a number");
        prompts_.ShowError(ToQString(FormatText(TranslateFormat(format), {label})));
        argumentEntries_[bad]->setFocus();
        argumentEntries_[bad]->selectAll();
        return;
    }
    if (!built.Validate()) {
        prompts_.ShowError(ToQString(built.ErrorText()));
        return;
    }
    working_ = built;
    QDialog::accept();
}

} // namespace varnex::ui
