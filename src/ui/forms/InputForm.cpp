#include "ui/forms/InputForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "model/TextLimit.h"
#include "settings/Translate.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/QtText.h"
#include "ui/forms/DistributionEdit.h"

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

void InputForm::LimitTextLength(QLineEdit* edit) {
    edit->setMaxLength(static_cast<int>(maxTextBytes));
}

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

InputForm::InputField InputForm::AddInput(QFormLayout* layout, const QString& objectName,
                                          const char* englishLabel) {
    InputField field;
    field.label = new QLabel(ToQString(Translate(englishLabel)), this);
    field.edit = new DistributionEdit(this);
    field.edit->setObjectName(objectName);
    field.edit->setMinimumWidth(260);
    field.label->setBuddy(field.edit);
    layout->addRow(field.label, field.edit);
    // The reason an entry is invalid, in a row of its own under the field
    // that is shown only while there is one.
    field.message = new QLabel(this);
    field.message->setObjectName(objectName + QStringLiteral("Message"));
    field.message->setWordWrap(true);
    QPalette colours = field.message->palette();
    colours.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    field.message->setPalette(colours);
    QFont small = field.message->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    field.message->setFont(small);
    layout->addRow(QString(), field.message);
    layout->setRowVisible(field.message, false);
    DistributionEdit* edit = field.edit;
    QLabel* message = field.message;
    connect(edit, &QLineEdit::textChanged, message, [edit, message, layout] {
        // An empty field is "not entered", which the form accepts.
        const QString fault = edit->text().trimmed().isEmpty() ? QString() : edit->FaultText();
        message->setText(fault);
        layout->setRowVisible(message, !fault.isEmpty());
    });
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
    if (text.isEmpty() || field.edit->text() == field.loadedText || field.edit->IsTextValid())
        return true;
    // Named once, by the label the user sees (at Level 3a it differs from
    // the input's own), then the faults alone.
    QString line = field.label->text() + QStringLiteral(": ") + field.edit->FaultText();
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

void InputForm::SetUsed(InputField* field, bool used, const char* hint) {
    if (!field || !field->edit) return;
    field->edit->setEnabled(used);
    field->edit->SetHint(used ? QString() : Tr(hint));
    if (field->label) {
        field->label->setEnabled(used);
        field->label->setToolTip(used ? QString() : Tr(hint));
    }
}

void InputForm::SetUsed(QWidget* field, bool used, const char* hint) {
    if (!field) return;
    field->setEnabled(used);
    field->setToolTip(used ? QString() : Tr(hint));
}

bool InputForm::FocusField(const QString& objectName, int entity) {
    // The forms that show one entry at a time list the entries in the
    // project's order: choosing the row shows the entry's fields.
    if (entity >= 0) {
        for (const char* name : {"contaminantList", "inventoryList", "pathwayList"})
            if (auto* list = findChild<QListWidget*>(QLatin1String(name));
                list && entity < list->count())
                list->setCurrentRow(entity);
        if (auto* table = findChild<QTableWidget*>(QStringLiteral("receptorTable"));
            table && entity < table->rowCount()) {
            table->setCurrentCell(entity, objectName == QLatin1String("y")   ? 2
                                          : objectName == QLatin1String("x") ? 1
                                                                             : 0);
            table->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    auto* field = findChild<QWidget*>(objectName);
    if (!field) return false;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
    return true;
}

bool InputForm::FocusFirstInvalidField() {
    for (DistributionEdit* edit : findChildren<DistributionEdit*>()) {
        if (edit->IsTextValid() || edit->text().trimmed().isEmpty() || !edit->isEnabledTo(this))
            continue;
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return true;
    }
    return false;
}

bool InputForm::TakeOrSayWhy(const TakeEntries& take) {
    QStringList errors;
    if (take(errors)) return true;
    Prompts().ShowError(errors.join(QLatin1Char('\n')));
    return false;
}

std::function<void(int)> InputForm::MoveGuard(TakeEntries take, std::function<void(int)> show,
                                              std::function<void()> stayOnShown) {
    return [this, take = std::move(take), show = std::move(show),
            stayOnShown = std::move(stayOnShown)](int to) {
        if (!TakeOrSayWhy(take)) {
            stayOnShown();
            return;
        }
        show(to);
    };
}

void InputForm::GuardSelection(QListWidget* list, const int& shown, TakeEntries take,
                               std::function<void(int)> show) {
    connect(list, &QListWidget::currentRowChanged, this,
            MoveGuard(std::move(take), std::move(show), [list, &shown] {
                QSignalBlocker blocker(list);
                list->setCurrentRow(shown);
            }));
}

void InputForm::GuardSelection(QComboBox* choice, const int& shown, TakeEntries take,
                               std::function<void(int)> show) {
    connect(choice, &QComboBox::currentIndexChanged, this,
            MoveGuard(std::move(take), std::move(show), [choice, &shown] {
                QSignalBlocker blocker(choice);
                choice->setCurrentIndex(shown);
            }));
}

} // namespace varnex::ui
