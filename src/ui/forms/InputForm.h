#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "stochastic/StochasticParameter.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;

namespace varnex {
class Project;
}

namespace varnex::ui {

class DistributionEdit;
class UserPrompts;

// One page of input: shown alone in a FormDialog or as a step of the
// ProjectWizard. A form reads what it shows from the project (Load), checks
// the user's entries (Validate) and only then writes them back (Apply), so a
// form left with failing entries never touches the model.
class InputForm : public QWidget {
    Q_OBJECT

public:
    explicit InputForm(QWidget* parent = nullptr);
    ~InputForm() override;

    // The caption of the page (translated).
    virtual QString Title() const = 0;
    // Focuses the field named `objectName` (an input's key, as the check
    // before a run names it), showing the entry it belongs to first where
    // the form shows one entry at a time; `entity` is the index of that
    // entry, or -1. False when the form has no such field.
    virtual bool FocusField(const QString& objectName, int entity = -1);
    // Focuses the first field whose entry is invalid; false when none is
    // (the fault is not one field's, a missing polygon say).
    bool FocusFirstInvalidField();
    virtual void Load(const Project& project) = 0;
    // Appends one message per failing entry; true when there is none.
    virtual bool Validate(QStringList& errors) = 0;
    // The last word before Apply, for entries that are allowed but worth a
    // warning; false keeps the user on the form.
    virtual bool ConfirmApply() { return true; }
    // Writes the entries into the project; called only after Validate passed.
    virtual void Apply(Project& project) = 0;

    // Questions and refusals of the form go here (not owned); without it
    // they are shown as message boxes.
    void SetPrompts(UserPrompts* prompts) { prompts_ = prompts; }

protected:
    // A stochastic input bound to its field. The text loaded is kept so that
    // an input the user did not touch is written back bit for bit (the text
    // form rounds to six digits).
    struct InputField {
        QLabel* label = nullptr;
        DistributionEdit* edit = nullptr;
        // The reason the text is invalid, beside the field (hidden while
        // it is valid).
        QLabel* message = nullptr;
        QString loadedText;
    };

    UserPrompts& Prompts();

    // The entries on view are taken (`take`) before anything replaces them;
    // when they fail the user is told why and false is returned.
    using TakeEntries = std::function<bool(QStringList& errors)>;
    bool TakeOrSayWhy(const TakeEntries& take);
    // A list of entries, or a choice of one, that shows one entry at a time:
    // moving to another first takes the entries on view; when they fail the
    // selection goes back to `shown` (read at the moment of the move), so
    // the user's typing is neither lost nor silently written.
    void GuardSelection(QListWidget* list, const int& shown, TakeEntries take,
                        std::function<void(int)> show);
    void GuardSelection(QComboBox* choice, const int& shown, TakeEntries take,
                        std::function<void(int)> show);

    InputField AddInput(QFormLayout* layout, const QString& objectName, const char* englishLabel);
    static void LoadInput(InputField& field, const StochasticParameter& parameter);
    // An empty field means "not entered" and is accepted: which inputs are
    // needed depends on the level and options, and the check before a run
    // reports the missing ones.
    static bool CheckInput(const InputField& field, QStringList& errors,
                           const QString& owner = QString());
    static void ApplyInput(const InputField& field, StochasticParameter& parameter);
    // Enables a field that the chosen options use and disables, with `hint`
    // (English, translated here) as its tooltip, one they leave unused. Its
    // value stays as it is either way: switching the option back brings
    // the user's entry back.
    static void SetUsed(InputField* field, bool used, const char* hint);
    static void SetUsed(QWidget* field, bool used, const char* hint);

    // One field per labelled input of the entity type (or only those whose
    // keys are listed), in its stored order; object names are `prefix`
    // followed by the input's key.
    template <class Entity>
    std::vector<InputField> AddInputs(QFormLayout* layout, const QString& prefix = QString(),
                                      const std::vector<std::string>& only = {}) {
        std::vector<InputField> fields;
        for (const auto& field : Entity::ParameterFields()) {
            bool wanted = only.empty();
            for (const std::string& key : only) wanted = wanted || key == field.key;
            if (!field.label[0] || !wanted) {
                fields.push_back(InputField());
                continue;
            }
            fields.push_back(
                AddInput(layout, prefix + QString::fromLatin1(field.key), field.label));
        }
        return fields;
    }
    template <class Entity>
    static void LoadInputs(std::vector<InputField>& fields, const Entity& entity) {
        const auto& table = Entity::ParameterFields();
        for (std::size_t k = 0; k < table.size() && k < fields.size(); ++k)
            if (fields[k].edit) LoadInput(fields[k], entity.*table[k].member);
    }
    template <class Entity>
    static bool CheckInputs(const std::vector<InputField>& fields, QStringList& errors,
                            const QString& owner = QString()) {
        bool valid = true;
        for (const InputField& field : fields)
            if (field.edit && !CheckInput(field, errors, owner)) valid = false;
        return valid;
    }
    template <class Entity>
    static void ApplyInputs(const std::vector<InputField>& fields, Entity& entity) {
        const auto& table = Entity::ParameterFields();
        for (std::size_t k = 0; k < table.size() && k < fields.size(); ++k)
            if (fields[k].edit) ApplyInput(fields[k], entity.*table[k].member);
    }
    template <class Entity>
    static InputField* FieldOf(std::vector<InputField>& fields,
                               StochasticParameter Entity::*member) {
        const auto& table = Entity::ParameterFields();
        for (std::size_t k = 0; k < table.size() && k < fields.size(); ++k)
            if (table[k].member == member) return &fields[k];
        return nullptr;
    }

    // A short translated text.
    static QString Tr(const char* english);
    // Numbers in text fields: every digit kept, so an untouched field reads
    // back the stored value.
    static QString NumberText(double value);
    static bool ReadNumber(const QString& text, double& value);
    // Keeps `stored` when the field still shows it.
    static bool TakeNumber(const QString& text, double& stored);
    // A project file holds each text in one string of limited length: a
    // line edit for such a text refuses more characters than that (a bound
    // only, since one character may take up to three bytes), and
    // CheckTextFits refuses, naming the field by `label` (a trailing colon
    // dropped), a text whose UTF-8 is still too long.
    static void LimitTextLength(QLineEdit* edit);
    static bool CheckTextFits(const QString& text, const QString& label, QStringList& errors);

private:
    // The slot of a guarded selection: `show` the entry moved to, or, when
    // the entries on view fail, `stayOnShown`.
    std::function<void(int)> MoveGuard(TakeEntries take, std::function<void(int)> show,
                                       std::function<void()> stayOnShown);

    UserPrompts* prompts_ = nullptr;
    std::unique_ptr<UserPrompts> ownPrompts_;
};

} // namespace varnex::ui
