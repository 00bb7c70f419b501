#include "ui/forms/DistributionEdit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>

#include "settings/Translate.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/DistributionEditing.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/QtText.h"
#include "ui/common/SampleDump.h"
#include "ui/forms/DistributionDialog.h"

namespace varnex::ui {

namespace {

const UserInterfaceSettings* sessionSettings = nullptr;

// The preferences hold Windows colour values, 0x00BBGGRR.
QColor FromColourValue(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

bool AutoCompleteOn() { return sessionSettings ? sessionSettings->autoComplete : true; }

QColor InvalidTextColour() {
    return FromColourValue(sessionSettings ? sessionSettings->invalidTextColour
                                           : UserInterfaceSettings::defaultInvalidTextColour);
}

QColor InvalidBackColour() {
    return FromColourValue(sessionSettings ? sessionSettings->invalidBackColour
                                           : UserInterfaceSettings::defaultInvalidBackColour);
}

} // namespace

DistributionEdit::DistributionEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { Recheck(); });
    connect(this, &QLineEdit::textEdited, this, &DistributionEdit::OnTextEdited);
}

DistributionEdit::~DistributionEdit() = default;

void DistributionEdit::UseSettings(const UserInterfaceSettings* settings) {
    sessionSettings = settings;
}

void DistributionEdit::Load(const StochasticParameter& parameter) {
    parameter_ = parameter;
    samples_ = parameter.Samples();
    setText(ToQString(parameter_.Format()));
    lastLength_ = static_cast<int>(text().size());
    StopAbsorbing();
    Recheck();
    // A loaded text that was valid before and is valid now still needs
    // its colours set once.
    ShowValidity();
}

bool DistributionEdit::IsTextValid() const { return valid_; }

QString DistributionEdit::ErrorText() const {
    if (valid_) return {};
    StochasticParameter trial(parameter_);
    trial.distribution.Parse(ToStdString(text()));
    return ToQString(trial.ErrorText());
}

QString DistributionEdit::FaultText() const {
    if (valid_) return {};
    StochasticParameter trial(parameter_);
    trial.distribution.Parse(ToStdString(text()));
    trial.distribution.label.clear();
    return ToQString(trial.ErrorText());
}

bool DistributionEdit::Apply(StochasticParameter& parameter) const {
    // Parse into a copy so that an invalid text never reaches the model.
    Distribution trial(parameter.distribution);
    if (!trial.Parse(ToStdString(text()))) return false;
    parameter.distribution = trial;
    return true;
}

void DistributionEdit::SetPrompts(UserPrompts* prompts) { prompts_ = prompts; }

UserPrompts& DistributionEdit::Prompts() {
    if (prompts_) return *prompts_;
    if (!ownPrompts_) ownPrompts_ = std::make_unique<DialogPrompts>(this);
    return *ownPrompts_;
}

void DistributionEdit::StopAbsorbing() {
    absorbKeyword_.clear();
    absorbed_ = 0;
    absorbCaret_ = -1;
    closingPending_ = false;
}

void DistributionEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool plainCharacter =
        typed.size() == 1 && typed[0].isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!plainCharacter) {
        // Moving the caret, deleting or pasting ends the keyword being typed.
        if (!typed.isEmpty() || event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
            event->key() == Qt::Key_Home || event->key() == Qt::Key_End)
            StopAbsorbing();
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar character = typed[0].toUpper();
    if (!absorbKeyword_.isEmpty() && !hasSelectedText() && cursorPosition() == absorbCaret_ &&
        absorbed_ < absorbKeyword_.size()) {
        // The next letter of the keyword, or its "(" (also after a keyword
        // typed only in part, "LOGT("): already there.
        const bool continues = character == absorbKeyword_[absorbed_];
        if (continues || character == QLatin1Char('(')) {
            absorbed_ = continues ? absorbed_ + 1 : static_cast<int>(absorbKeyword_.size());
            if (absorbed_ == absorbKeyword_.size()) absorbKeyword_.clear();
            event->accept();
            return;
        }
    }
    absorbKeyword_.clear();
    if (closingPending_ && character == QLatin1Char(')') && !hasSelectedText() &&
        cursorPosition() == text().size() - 1 && text().endsWith(QLatin1Char(')'))) {
        closingPending_ = false;
        setCursorPosition(static_cast<int>(text().size()));
        event->accept();
        return;
    }
    typingCharacter_ = true;
    QLineEdit::keyPressEvent(event);
    typingCharacter_ = false;
    if (!text().endsWith(QLatin1Char(')'))) closingPending_ = false;
}

void DistributionEdit::OnTextEdited(const QString& typed) {
    const int length = static_cast<int>(typed.size());
    const bool typedForward = length == lastLength_ + 1;
    lastLength_ = length;
    if (!typedForward || !typingCharacter_ || !AutoCompleteOn()) return;
    const std::optional<AutoCompletion> completion =
        AutoCompleteDistributionText(ToStdString(typed));
    if (!completion) return;
    setText(ToQString(completion->text));
    setCursorPosition(completion->caretPosition);
    lastLength_ = static_cast<int>(text().size());
    // The keyword's letters after the typed prefix, and its "(", may follow.
    absorbKeyword_ = text().left(completion->caretPosition);
    absorbed_ = length;
    absorbCaret_ = completion->caretPosition;
    closingPending_ = true;
}

void DistributionEdit::Recheck() {
    StochasticParameter trial(parameter_);
    const bool valid = trial.distribution.Parse(ToStdString(text()));
    const bool changed = valid != valid_;
    valid_ = valid;
    // The reason goes with the colour, so that hovering tells what is wrong.
    setToolTip(valid_ ? hint_ : FaultText());
    if (changed) {
        ShowValidity();
        emit ValidityChanged(valid_);
    }
}

void DistributionEdit::SetHint(const QString& hint) {
    hint_ = hint;
    setToolTip(valid_ ? hint_ : FaultText());
}

void DistributionEdit::ShowValidity() {
    if (valid_) {
        setPalette(QPalette());
        return;
    }
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Text, InvalidTextColour());
        colours.setColor(group, QPalette::Base, InvalidBackColour());
    }
    setPalette(colours);
}

QColor DistributionEdit::ShownTextColour() const {
    return palette().color(QPalette::Active, QPalette::Text);
}
QColor DistributionEdit::ShownBackColour() const {
    return palette().color(QPalette::Active, QPalette::Base);
}

bool DistributionEdit::OpenDistributionDialog() {
    // The dialog starts from what the field shows, even half typed: the
    // arguments that did read keep their values.
    StochasticParameter current(parameter_);
    current.distribution.Parse(ToStdString(text()));
    DistributionDialog dialog(current, samples_, Prompts(), this);
    if (!text().trimmed().isEmpty()) dialog.ShowTextFault(FaultText());
    if (dialog.exec() != QDialog::Accepted) return false;
    setText(ToQString(dialog.Result().Format()));
    lastLength_ = static_cast<int>(text().size());
    StopAbsorbing();
    return true;
}

bool DistributionEdit::DumpSamples() {
    if (samples_.empty()) return false;
    return DumpSamplesToChosenFile(parameter_, samples_, Prompts());
}

void DistributionEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() && !isReadOnly()) {
        event->accept();
        OpenDistributionDialog();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void DistributionEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->addSeparator();
    QAction* dialogAction = menu->addAction(ToQString(Translate("Distribution...")));
    dialogAction->setEnabled(isEnabled() && !isReadOnly());
    connect(dialogAction, &QAction::triggered, this, [this] { OpenDistributionDialog(); });
    QAction* dumpAction = menu->addAction(ToQString(Translate("Dump")));
    dumpAction->setEnabled(HasSamples());
    connect(dumpAction, &QAction::triggered, this, [this] { DumpSamples(); });
    menu->exec(event->globalPos());
    delete menu;
}

} // namespace varnex::ui
