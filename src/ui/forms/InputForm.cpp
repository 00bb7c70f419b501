#include "ui/forms/InputForm.h"

#include <cmath>

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "model/TextLimit.h"
#include "settings/Translate.h"
#include "ui/common/DialogPrompts.h"
#include "ui/forms/DistributionEdit.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

InputForm::InputForm(QWidget* parent) : QWidget(parent) {}

InputForm::~InputForm() = default;

QString InputForm::Tr(const char* english) { return ToQString(Translate(english)); }

QString InputForm::NumberText(double value) { return QString::number(value, 'g', 15); }

bool InputForm::ReadNumber(const QString& text, double& value) {
    bool ok = false;
    const double read = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(read)) return false;
    value = read;
    return true;
}

bool InputForm::TakeNumber(const QString& text, double& stored) {
    if (text.trimmed() == NumberText(stored)) return true;
    return ReadNumber(text, stored);
}

void InputForm::LimitTextLength(QLineEdit* edit) { edit->setMaxLength(static_cast<int>(maxTextBytes)); }

bool InputForm::CheckTextFits(const QString& text, const QString& label, QStringList& errors) {
    const std::size_t bytes = StoredTextBytes(ToStdString(text));
    if (bytes <= maxTextBytes) return true;
    QString field = label.trimmed();
    if (field.endsWith(QLatin1Char(':'))) field.chop(1);
    errors << ToQString(TextTooLongMessage(ToStdString(field.trimmed()), bytes));
    return false;
}

UserPrompts& InputForm::Prompts() {
    if (prompts_) return *prompts_;
    if (!ownPrompts_) ownPrompts_ = std::make_unique<DialogPrompts>(this);
    return *ownPrompts_;
}

InputForm::InputField InputForm::AddInput(QFormLayout* layout, const QString& objectName, const char* englishLabel) {
    InputField field;
    field.label = new QLabel(ToQString(Translate(englishLabel)), this);
    field.edit = new DistributionEdit(this);
    field.edit->setObjectName(objectName);
    field.edit->setMinimumWidth(260);
    layout->addRow(field.label, field.edit);
    return field;
}

void InputForm::LoadInput(InputField& field, const StochasticParameter& parameter) {
    field.edit->Load(parameter);
    // An input never entered is shown as an empty field to type into.
    if (parameter.distribution.type == 0) field.edit->clear();
    field.loadedText = field.edit->text();
    if (!parameter.Label().empty()) field.label->setText(ToQString(parameter.Label()));
}

bool InputForm::CheckInput(const InputField& field, QStringList& errors, const QString& owner) {
    const QString text = field.edit->text().trimmed();
    if (text.isEmpty() || field.edit->text() == field.loadedText || field.edit->IsTextValid()) return true;
    QString line = field.label->text() + QStringLiteral(": ") + field.edit->ErrorText();
    if (!owner.isEmpty()) line = owner + QStringLiteral(" - ") + line;
    errors << line;
    return false;
}

void InputForm::ApplyInput(const InputField& field, StochasticParameter& parameter) {
    if (field.edit->text() == field.loadedText) return;
    if (field.edit->text().trimmed().isEmpty()) {
        // Cleared by the user: the input is no longer entered.
        parameter.distribution.Parse(std::string());
        return;
    }
    field.edit->Apply(parameter);
}

bool InputForm::TakeOrSayWhy(const TakeEntries& take) {
    QStringList errors;
    if (take(errors)) return true;
    Prompts().ShowError(errors.join(QLatin1Char('\n')));
    return false;
}

std::function<void(int)> InputForm::MoveGuard(TakeEntries take, std::function<void(int)> show,
                                              std::function<void()> stayOnShown) {
    return [this, take = std::move(take), show = std::move(show), stayOnShown = std::move(stayOnShown)](int to) {
        if (!TakeOrSayWhy(take)) {
            stayOnShown();
            return;
        }
        show(to);
    };
}

void InputForm::GuardSelection(QListWidget* list, const int& shown, TakeEntries take, std::function<void(int)> show) {
    connect(list, &QListWidget::currentRowChanged, this,
            MoveGuard(std::move(take), std::move(show), [list, &shown] {
                QSignalBlocker blocker(list);
                list->setCurrentRow(shown);
            }));
}

void InputForm::GuardSelection(QComboBox* choice, const int& shown, TakeEntries take, std::function<void(int)> show) {
    connect(choice, &QComboBox::currentIndexChanged, this,
            MoveGuard(std::move(take), std::move(show), [choice, &shown] {
                QSignalBlocker blocker(choice);
                choice->setCurrentIndex(shown);
            }));
}

} // namespace varnex::ui
